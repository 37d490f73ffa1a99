#include "app/model/firmware_load_loop.h"

#include <string>

#include "firmware/firmware_loader.h"

namespace qtk {

std::unique_ptr<FirmwareProject> LoadFirmwareFromDialog(LoadDialogPort& dialog,
                                                        LoadSession& session,
                                                        UserDialogs& dialogs) {
  session.load_status = 0;
  dialog.SetLoadStatus(0);
  dialog.SetRetryMark(false);
  while (dialog.ShowModal()) {
    std::string firmware_path;
    std::string config_path;
    if (!dialog.GetLoadPaths(firmware_path, config_path))
      continue;
    auto project =
        OpenFirmware(firmware_path, config_path, dialog.EnteredPassword(), session, dialogs);
    if (project)
      return project;
    dialog.SetLoadStatus(session.load_status);
    dialog.SetRetryMark(true);
  }
  return nullptr;
}

}  // namespace qtk
