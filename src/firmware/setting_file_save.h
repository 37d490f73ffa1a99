#pragma once

#include <string>

#include "common/user_dialogs.h"
#include "firmware/firmware_project.h"

namespace qtk {

// "Save Settings...": writes the project's record as a setting file and shows
// "Save setting file OK!". Refused, with nothing written, when the path is one of the
// project's input files (the loaded firmware above all); a file that cannot be written shows
// "Can not open setting file " + path. True when the file was written.
bool SaveProjectSettingFile(FirmwareProject& project, const LoadSession& session,
                            const std::string& path, UserDialogs& dialogs);

}  // namespace qtk
