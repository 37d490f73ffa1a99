#include "pages/serial_flash_page.h"

#include <cstdio>
#include <utility>

#include "config/text_helpers.h"
#include "pages/record_fields.h"
#include "settings/setting_file.h"

namespace qtk {
namespace {

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
  return text;
}

// A cell of the form the list shows ("0x1F"): the byte, or nothing.
std::optional<uint8_t> CellByte(const std::string& cell) {
  if (!IsHex(cell, true))
    return std::nullopt;
  const std::optional<uint32_t> value = HexValue(cell, true);
  if (!value || *value > 0xFF)
    return std::nullopt;
  return static_cast<uint8_t>(*value);
}

}  // namespace

void SerialFlashPage::Load() {
  selected_ = -1;
  edited_ = -1;
  supported_ = config().SupportsFlashDevices();
  if (!supported_) {
    devices_.clear();
    catalogue_.clear();
    sectors_.clear();
    values_.clear();
    return;
  }
  devices_ = settings().flash_devices();
  catalogue_ = config().GetFlashDevices();
  sectors_ = config().GetSectorStructs();
  values_ = config().GetDeviceValues();
}

std::vector<SerialFlashPage::Row> SerialFlashPage::Rows() const {
  std::vector<Row> rows;
  for (const FlashDeviceEntry& entry : devices_) {
    const std::optional<DeviceValue> value = FindDeviceValue(entry, values_);
    rows.push_back({Hex2(entry.flash_id), value ? Hex2(value->command) : std::string(),
                    value ? Hex2(value->byte_address) : std::string(),
                    DescribeDeviceEntry(entry, catalogue_, sectors_)});
  }
  return rows;
}

void SerialFlashPage::Select(int row) {
  selected_ = supported_ && row >= 0 && row < static_cast<int>(devices_.size()) ? row : -1;
}

bool SerialFlashPage::InCatalogue(const FlashDeviceEntry& entry) const {
  for (const FlashDeviceEntry& device : catalogue_.data) {
    if (device.flash_id == entry.flash_id && device.bit_offset == entry.bit_offset)
      return true;
  }
  return false;
}

FlashDeviceEditor SerialFlashPage::StartNew() const {
  return FlashDeviceEditor(devices_, values_, sectors_);
}

std::optional<FlashDeviceEditor> SerialFlashPage::StartEdit() {
  edited_ = -1;
  if (!EditEnabled())
    return std::nullopt;
  if (InCatalogue(devices_[static_cast<size_t>(selected_)])) {
    dialogs().ShowMessage(serial_flash_messages::kCannotEdit);
    return std::nullopt;
  }
  edited_ = selected_;
  return FlashDeviceEditor(devices_, edited_, values_, sectors_);
}

void SerialFlashPage::Finish(const FlashDeviceEditor& editor) {
  const int edited = std::exchange(edited_, -1);
  if (!editor.result())
    return;
  if (editor.editing()) {
    if (edited < 0 || edited >= static_cast<int>(devices_.size()))
      return;
    devices_[static_cast<size_t>(edited)] = *editor.result();
  } else {
    // New stays disabled at the list's limit: the record has room for 60 entries only.
    if (!NewEnabled())
      return;
    devices_.push_back(*editor.result());
  }
  Refill();
}

void SerialFlashPage::Delete() {
  if (!DeleteEnabled())
    return;
  if (InCatalogue(devices_[static_cast<size_t>(selected_)])) {
    dialogs().ShowMessage(serial_flash_messages::kCannotDelete);
    return;
  }
  if (dialogs().ShowMessage(serial_flash_messages::kDeleteQuestion, MessageIcon::Question,
                            MessageButtons::OkCancel) != MessageAnswer::Ok)
    return;
  devices_.erase(devices_.begin() + selected_);
  Refill();
}

bool SerialFlashPage::Store() {
  if (!supported_)
    return true;
  if (devices_.empty() &&
      dialogs().ShowMessage(serial_flash_messages::kEmptyQuestion, MessageIcon::Warning,
                            MessageButtons::YesNo) != MessageAnswer::Yes)
    return false;
  for (size_t i = 0; i < devices_.size(); ++i) {
    for (size_t j = i + 1; j < devices_.size(); ++j) {
      if (devices_[i].flash_id == devices_[j].flash_id &&
          devices_[i].bit_offset == devices_[j].bit_offset) {
        char text[64];
        std::snprintf(text, sizeof text, serial_flash_messages::kDuplicate,
                      static_cast<unsigned>(devices_[i].flash_id));
        dialogs().ShowMessage(text);
        return false;
      }
    }
  }
  settings().flash_devices() = devices_;
  return true;
}

void SerialFlashPage::ImportSettings(const CustomerSettings::Bytes& file) {
  ImportSerialFlashSettings(settings(), file);
  Load();
}

// The list set as a whole, as the user would reach it: a changed row is an Edit of that
// entry, rows beyond the list are News, and a shorter list deletes entries from its end; each
// step with the page's own rules and messages.
std::string SerialFlashPage::SetRows(const FieldRows& rows) {
  if (rows.size() > record::kFlashDeviceSlots)
    return "the list holds at most " + std::to_string(record::kFlashDeviceSlots) + " devices";
  const std::vector<Row> shown = Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string row = "row " + std::to_string(i + 1);
    if (rows[i].size() != 4)
      return row + " needs four cells, \"ID\", \"Command\", \"Byte Address\" and \"Description\"";
    if (i < shown.size() && rows[i] == shown[i])
      continue;
    const std::optional<uint8_t> id = CellByte(rows[i][0]);
    if (!id)
      return row + " \"ID\" takes a byte as 0x and two hexadecimal digits";
    int value_index = -1;
    const std::optional<uint8_t> command = CellByte(rows[i][1]);
    const std::optional<uint8_t> address = CellByte(rows[i][2]);
    for (size_t k = 0; command && address && k < values_.size(); ++k) {
      if (values_.data[k].command == *command && values_.data[k].byte_address == *address)
        value_index = static_cast<int>(k);
    }
    if (value_index < 0)
      return row + " \"Command\" and \"Byte Address\" name no device value";
    int sector_index = sectors_.size() > 0 ? -1 : 0;
    for (size_t k = 0; k < sectors_.size(); ++k) {
      if (sectors_.names[k] == rows[i][3])
        sector_index = static_cast<int>(k);
    }
    for (size_t k = 0; sector_index < 0 && k < catalogue_.size(); ++k) {
      const FlashDeviceEntry& device = catalogue_.data[k];
      if (catalogue_.names[k] == rows[i][3] && device.flash_id == *id &&
          device.bit_offset == values_.data[static_cast<size_t>(value_index)].bit_offset) {
        for (size_t s = 0; s < sectors_.size(); ++s) {
          if (sectors_.data[s] == device.sector_struct)
            sector_index = static_cast<int>(s);
        }
      }
    }
    if (sector_index < 0)
      return row + " \"Description\" names no sector structure";

    std::optional<FlashDeviceEditor> editor;
    if (i < devices_.size()) {
      Select(static_cast<int>(i));
      editor = StartEdit();
      if (!editor)
        return row + " cannot be edited";
    } else {
      if (!NewEnabled())
        return row + ": the list is full";
      editor = StartNew();
    }
    editor->TypeFlashId(HexText(*id, 2));
    editor->device_value.Select(value_index);
    editor->sector_struct.Select(sector_index);
    if (!editor->Accept(dialogs())) {
      edited_ = -1;  // the dialog is cancelled
      return row + " was refused";
    }
    Finish(*editor);
  }
  while (devices_.size() > rows.size()) {
    const size_t before = devices_.size();
    Select(static_cast<int>(before - 1));
    Delete();
    if (devices_.size() == before)
      return "row " + std::to_string(before) + " cannot be deleted";
  }
  return {};
}

std::vector<PageField> SerialFlashPage::Fields() {
  return {
      ListField(
          "Serial Flash Device",
          {kFlashListHeaders[0], kFlashListHeaders[1], kFlashListHeaders[2], kFlashListHeaders[3]},
          [this] {
            FieldRows out;
            for (const Row& r : Rows())
              out.push_back(r);
            return out;
          },
          [this](const FieldRows& rows) { return SetRows(rows); })
          .EnabledWhen([this] { return supported_; })};
}

}  // namespace qtk
