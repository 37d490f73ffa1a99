#pragma once

#include <cstddef>
#include <string>

#include "common/user_dialogs.h"

namespace qtk {

// Values of the Load Firmware dialog that outlive it for the whole run: the last paths and
// switch (to prefill the next opening) and the password the firmware load checks. Empty and
// false at program start. Owned by the application and handed to each form.
struct LoadFirmwareMemory {
  std::string last_firmware_path;
  std::string last_config_path;
  bool last_use_external = false;
  std::string entered_password;
};

// The state and rules of the Load Firmware dialog without any widgets. The dialog binds its
// controls to the public fields and calls the operations; the caller's load loop uses
// GetLoadPaths and the remembered password.
class LoadFirmwareForm {
 public:
  static constexpr std::size_t kPathLimit = 256;
  static constexpr std::size_t kPasswordLimit = 8;
  // Firmware load status meaning the typed password did not match the firmware.
  static constexpr int kWrongPasswordStatus = -3;

  inline static const std::string kBinaryFilter = "Binary Files(*.bin)|*.bin|All Files (*.*)|*.*||";
  inline static const std::string kConfigFilter = "Config Files(*.ini)|*.ini|All Files (*.*)|*.*||";

  enum class FocusTarget { DialogDefault, Password, FirmwareBrowse };

  LoadFirmwareForm(LoadFirmwareMemory& memory, std::string default_config_path);

  // Prefills the fields from the remembered values and empties the password; runs each time
  // the dialog is shown.
  void Open();

  // A firmware file the user dropped: the next opening shows it in place of the remembered
  // path and leads to the password. The remembered values change only on OK.
  void PrefillFirmwarePath(std::string path) { dropped_firmware_path_ = std::move(path); }

  // Where the keyboard focus goes when the dialog opens: after a failed load the user is led
  // to the field that most likely needs changing.
  FocusTarget InitialFocus() const;

  // The config path, its label and browse button are usable only for an external file.
  bool ConfigControlsEnabled() const { return use_external; }

  // Browse buttons: ask through the dialogs port; on a choice the trimmed path replaces the
  // field and true is returned.
  bool BrowseFirmware(UserDialogs& dialogs);
  bool BrowseConfig(UserDialogs& dialogs);
  FileDialogRequest FirmwareBrowseRequest() const;
  FileDialogRequest ConfigBrowseRequest() const;

  // OK: clips the fields to their limits and remembers them and the password. Nothing is
  // validated; empty fields are caught by GetLoadPaths and by the firmware load.
  void Accept();

  // The firmware path and the description path to load (the external one only when
  // use_external is set). True when both are non-empty.
  bool GetLoadPaths(std::string& firmware_path_out, std::string& config_path_out) const;

  const std::string& DefaultConfigPath() const { return default_config_path_; }
  const LoadFirmwareMemory& Memory() const { return memory_; }

  std::string firmware_path;
  std::string config_path;
  // The password's single bytes (Latin-1), as the record keeps them.
  std::string password;
  bool use_external = false;
  bool retry_mark = false;
  int load_status = 0;

 private:
  LoadFirmwareMemory& memory_;
  std::string default_config_path_;
  std::string dropped_firmware_path_;
  bool opened_with_dropped_file_ = false;
};

// Keeps at most `limit` characters of UTF-8 text, never splitting a character.
std::string ClipCharacters(const std::string& text, std::size_t limit);

// Removes white space at both ends.
std::string TrimWhiteSpace(const std::string& text);

}  // namespace qtk
