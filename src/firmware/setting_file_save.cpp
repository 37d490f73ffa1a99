#include "firmware/setting_file_save.h"

#include "firmware/output_guard.h"
#include "settings/setting_file.h"

namespace qtk {

bool SaveProjectSettingFile(FirmwareProject& project, const LoadSession& session,
                            const std::string& path, UserDialogs& dialogs) {
  if (!OutputsAvoidInputs({path}, ProjectInputFiles(project, session), dialogs))
    return false;
  if (!WriteSettingFile(path, project.settings, project.config.SupportsFlashDevices(), dialogs))
    return false;
  dialogs.ShowMessage(setting_file_messages::kSaved);
  return true;
}

}  // namespace qtk
