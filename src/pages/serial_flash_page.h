#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/flash_tables.h"
#include "pages/flash_device_editor.h"
#include "pages/page_base.h"

namespace qtk {

namespace serial_flash_messages {
inline constexpr const char* kCannotEdit =
    "Can not edit this flash device, it is supported internal.";
inline constexpr const char* kCannotDelete =
    "Can not delete this flash device, it is supported internal.";
inline constexpr const char* kDeleteQuestion = "Are you sure want to delete this flash device?";
inline constexpr const char* kEmptyQuestion =
    "Warning: Flash device is empty! Are you sure to save?";
inline constexpr const char* kDuplicate = "Error :The flash ID 0x%X is duplicate.";
}  // namespace serial_flash_messages

// The list's column captions and widths.
inline constexpr const char* kFlashListHeaders[] = {"ID", "Command", "Byte Address", "Description"};
inline constexpr int kFlashListWidths[] = {40, 70, 90, 600};

// The Serial flash page: the serial flash device list of record bytes 944-1127. Devices of the
// description's catalogue are supported by the firmware's own code, so they can be neither
// edited nor deleted; the user adds, edits and deletes the others. Without [FlashDevice]
// Support the page is empty and inactive.
class SerialFlashPage : public PageModel<PageId::kSerialFlash> {
 public:
  using Row = std::vector<std::string>;  // ID, Command, Byte Address, Description

  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  void ImportSettings(const CustomerSettings::Bytes& file) override;
  std::vector<PageField> Fields() override;

  bool supported() const { return supported_; }
  const std::vector<FlashDeviceEntry>& devices() const { return devices_; }
  std::vector<Row> Rows() const;

  // The selected row, -1 for none. Every refill of the list leaves no row selected.
  int selected() const { return selected_; }
  void Select(int row);
  bool EditEnabled() const { return supported_ && selected_ >= 0; }
  bool DeleteEnabled() const { return EditEnabled(); }
  bool NewEnabled() const { return supported_ && devices_.size() < record::kFlashDeviceSlots; }

  // "New": the dialog for a new entry.
  FlashDeviceEditor StartNew() const;
  // "Edit": the dialog for the selected entry; nothing without a selection, or (after the
  // message) for a catalogue device.
  std::optional<FlashDeviceEditor> StartEdit();
  // The dialog closed: its entry, if any, is appended (New) or replaces the edited one.
  void Finish(const FlashDeviceEditor& editor);
  // The dialog's OK: its rules, with the page's message boxes. False keeps it open.
  bool AcceptEditor(FlashDeviceEditor& editor) { return editor.Accept(dialogs()); }
  // "Delete": the selected entry, after the confirmation; refused for a catalogue device.
  void Delete();

 private:
  bool InCatalogue(const FlashDeviceEntry& entry) const;
  void Refill() { selected_ = -1; }
  std::string SetRows(const FieldRows& rows);

  bool supported_ = false;
  std::vector<FlashDeviceEntry> devices_;
  FlashDeviceTable catalogue_;
  SectorStructTable sectors_;
  DeviceValueTable values_;
  int selected_ = -1;
  int edited_ = -1;  // the entry the open Edit dialog works on
};

}  // namespace qtk
