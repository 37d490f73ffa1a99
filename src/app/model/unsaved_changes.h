#pragma once

#include <memory>
#include <string>
#include <vector>

#include "firmware/firmware_project.h"
#include "pages/settings_page.h"

namespace qtk {

// Everything of a loaded project that the user changes and "Save FW..." writes: every page's
// fields as its controls show them, every chunk mark with its file, the password in force and
// whether the password words are to be written anew. Two equal summaries mean nothing to save;
// a value changed and changed back again is no change.
std::string EditableState(const std::vector<std::unique_ptr<SettingsPage>>& pages,
                          const FirmwareProject& project, const LoadSession& session);

}  // namespace qtk
