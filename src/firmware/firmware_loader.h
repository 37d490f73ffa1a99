#pragma once

#include <memory>
#include <string>

#include "common/user_dialogs.h"
#include "firmware/firmware_project.h"

namespace qtk {

// Messages of the load, as the user sees them.
namespace load_messages {
inline constexpr const char* kSelectConfig = "Please select a config file first.";
inline constexpr const char* kCannotOpenConfig = "Can not open config file ";
inline constexpr const char* kSelectFirmware = "Please select a firmware file first.";
inline constexpr const char* kCannotOpenFirmware = "Can not open firmware file.";
inline constexpr const char* kNotStandard = "It is not a standard firmware file!";
inline constexpr const char* kOldCommonChunk =
    "Can not config the old version Common chunk firmware, please use the old version bin "
    "tool(lower then ver2.0)!";
inline constexpr const char* kNoCommonChunk = "Can not get common data chunk!\n";
inline constexpr const char* kConfigVersionOld =
    "The FW config version is old, please use the QTK %s or older version!";
inline constexpr const char* kConfigVersionNew =
    "The FW config version is higher than QTK, please use the last version QTK!";
inline constexpr const char* kWrongPassword = "The password is wrong, please try again!";
inline constexpr const char* kNoDynamicPanel =
    "This bin don't support dyn panel,please use QTK2.XX";
}  // namespace load_messages

// Tool version names indexed by the record's configuration version.
const char* ToolVersionName(int config_version);

// Opens a firmware image with its configuration description and checks the password.
// The load works on a fresh project and hands it over only when every step succeeded, so a
// failed load or reload never leaves a mix of two images behind. On failure the reason has
// been shown through the dialogs and session.load_status says which field to fix. On success
// session.current_password holds the accepted password.
std::unique_ptr<FirmwareProject> OpenFirmware(const std::string& firmware_path,
                                              const std::string& config_path,
                                              const std::string& entered_password,
                                              LoadSession& session, UserDialogs& dialogs);

// The same load with a configuration description that is already loaded: it is copied into
// the new project and its file is not read again (one description serving many images).
std::unique_ptr<FirmwareProject> OpenFirmwareImage(const std::string& firmware_path,
                                                   const ConfigDescription& config,
                                                   const std::string& entered_password,
                                                   LoadSession& session, UserDialogs& dialogs);

}  // namespace qtk
