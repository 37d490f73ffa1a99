#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/user_dialogs.h"
#include "config/flash_tables.h"
#include "pages/combo_state.h"

namespace qtk {

namespace flash_editor_messages {
inline constexpr const char* kCaption = "Edit Serial Flash Device";
inline constexpr const char* kFlashIdError = "Flash ID is error.";
inline constexpr const char* kExists = "The flash device is exist already.";
}  // namespace flash_editor_messages

inline constexpr const char* kFlashIdCharacters = "0123456789abcdefABCDEF";
inline constexpr size_t kFlashIdLength = 2;

// The "Edit Serial Flash Device" dialog without its widgets: the flash ID as typed, the device
// value and sector structure drop-downs, and the OK rules. It works on copies of the device
// list and the tables taken when it opens, and is discarded after one New or Edit.
class FlashDeviceEditor {
 public:
  // New: both drop-downs on their first entry, the flash ID empty.
  FlashDeviceEditor(std::vector<FlashDeviceEntry> devices, DeviceValueTable values,
                    SectorStructTable sectors);
  // Edit of the entry at `index`: its flash ID as two upper-case digits, the drop-downs on
  // the rows with its BitOffset and sector structure number (none when the tables lack them).
  FlashDeviceEditor(std::vector<FlashDeviceEntry> devices, int index, DeviceValueTable values,
                    SectorStructTable sectors);

  bool editing() const { return edited_ >= 0; }

  std::string flash_id;  // as typed: at most two hexadecimal digits
  ComboState device_value;
  ComboState sector_struct;

  // Typing in the flash ID box: characters other than hexadecimal digits are dropped, and the
  // box holds two characters.
  void TypeFlashId(const std::string& typed);

  // OK. False keeps the dialog open after its message; true closes it, with `result()` set
  // when the page is to take the entry.
  bool Accept(UserDialogs& dialogs);
  // Cancel: the page takes nothing.
  void Cancel() { result_.reset(); }

  const std::optional<FlashDeviceEntry>& result() const { return result_; }

 private:
  void FillTables();

  std::vector<FlashDeviceEntry> devices_;
  int edited_ = -1;
  DeviceValueTable values_;
  SectorStructTable sectors_;
  std::optional<FlashDeviceEntry> result_;
};

}  // namespace qtk
