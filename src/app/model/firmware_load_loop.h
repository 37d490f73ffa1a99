#pragma once

#include <memory>

#include "app/model/load_dialog_port.h"
#include "common/user_dialogs.h"
#include "firmware/firmware_project.h"

namespace qtk {

// Shows the Load Firmware dialog until a firmware loads or the user cancels. Paths that are
// incomplete show the dialog again as it was; a failed load shows it again with the retry
// mark set, so the focus goes to the field the failure points at. Returns the loaded project,
// or nothing after a cancel. Each attempt loads into a fresh project, so nothing the caller
// holds changes before a load has succeeded.
std::unique_ptr<FirmwareProject> LoadFirmwareFromDialog(LoadDialogPort& dialog,
                                                        LoadSession& session, UserDialogs& dialogs);

}  // namespace qtk
