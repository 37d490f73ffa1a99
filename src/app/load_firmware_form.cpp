#include "app/load_firmware_form.h"

#include <utility>

namespace qtk {

std::string ClipCharacters(const std::string& text, std::size_t limit) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Continuation bytes of a UTF-8 sequence belong to the character before them.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
      continue;
    if (count == limit)
      return text.substr(0, i);
    ++count;
  }
  return text;
}

std::string TrimWhiteSpace(const std::string& text) {
  const char* const kSpace = " \t\r\n\v\f";
  const auto first = text.find_first_not_of(kSpace);
  if (first == std::string::npos)
    return std::string();
  const auto last = text.find_last_not_of(kSpace);
  return text.substr(first, last - first + 1);
}

LoadFirmwareForm::LoadFirmwareForm(LoadFirmwareMemory& memory, std::string default_config_path)
    : memory_(memory), default_config_path_(std::move(default_config_path)) {}

void LoadFirmwareForm::Open() {
  firmware_path = memory_.last_firmware_path;
  config_path = memory_.last_config_path;
  use_external = memory_.last_use_external;
  password.clear();
  opened_with_dropped_file_ = !dropped_firmware_path_.empty();
  if (opened_with_dropped_file_)
    firmware_path = std::exchange(dropped_firmware_path_, std::string());
}

LoadFirmwareForm::FocusTarget LoadFirmwareForm::InitialFocus() const {
  if (!retry_mark)
    return opened_with_dropped_file_ ? FocusTarget::Password : FocusTarget::DialogDefault;
  return load_status == kWrongPasswordStatus ? FocusTarget::Password : FocusTarget::FirmwareBrowse;
}

FileDialogRequest LoadFirmwareForm::FirmwareBrowseRequest() const {
  FileDialogRequest request;
  request.filter = kBinaryFilter;
  request.initial_path = firmware_path;
  request.must_exist = true;
  request.read_only_ticked = true;
  return request;
}

FileDialogRequest LoadFirmwareForm::ConfigBrowseRequest() const {
  FileDialogRequest request = FirmwareBrowseRequest();
  request.filter = kConfigFilter;
  request.initial_path = config_path;
  return request;
}

bool LoadFirmwareForm::BrowseFirmware(UserDialogs& dialogs) {
  const auto chosen = dialogs.AskOpenFile(FirmwareBrowseRequest());
  if (!chosen)
    return false;
  firmware_path = TrimWhiteSpace(*chosen);
  return true;
}

bool LoadFirmwareForm::BrowseConfig(UserDialogs& dialogs) {
  const auto chosen = dialogs.AskOpenFile(ConfigBrowseRequest());
  if (!chosen)
    return false;
  config_path = TrimWhiteSpace(*chosen);
  return true;
}

void LoadFirmwareForm::Accept() {
  firmware_path = ClipCharacters(firmware_path, kPathLimit);
  config_path = ClipCharacters(config_path, kPathLimit);
  // The password is kept as its single bytes (Latin-1), one byte per character.
  password = password.substr(0, kPasswordLimit);
  memory_.last_use_external = use_external;
  memory_.last_firmware_path = firmware_path;
  memory_.last_config_path = config_path;
  memory_.entered_password = password;
}

bool LoadFirmwareForm::GetLoadPaths(std::string& firmware_path_out,
                                    std::string& config_path_out) const {
  firmware_path_out = firmware_path;
  config_path_out = use_external ? config_path : default_config_path_;
  return !firmware_path_out.empty() && !config_path_out.empty();
}

}  // namespace qtk
