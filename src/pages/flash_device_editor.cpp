#include "pages/flash_device_editor.h"

#include <cstdio>

#include "config/text_helpers.h"

namespace qtk {

FlashDeviceEditor::FlashDeviceEditor(std::vector<FlashDeviceEntry> devices, DeviceValueTable values,
                                     SectorStructTable sectors)
    : devices_(std::move(devices)), values_(std::move(values)), sectors_(std::move(sectors)) {
  FillTables();
  device_value.Select(0);
  sector_struct.Select(0);
}

FlashDeviceEditor::FlashDeviceEditor(std::vector<FlashDeviceEntry> devices, int index,
                                     DeviceValueTable values, SectorStructTable sectors)
    : devices_(std::move(devices)),
      edited_(index),
      values_(std::move(values)),
      sectors_(std::move(sectors)) {
  FillTables();
  if (index < 0 || index >= static_cast<int>(devices_.size())) {
    edited_ = -1;
    return;
  }
  const FlashDeviceEntry& entry = devices_[static_cast<size_t>(index)];
  char text[8];
  std::snprintf(text, sizeof text, "%2.2X", entry.flash_id);
  flash_id = text;
  for (size_t i = 0; i < values_.size(); ++i) {
    if (values_.data[i].bit_offset == entry.bit_offset) {
      device_value.Select(static_cast<int>(i));
      break;
    }
  }
  for (size_t i = 0; i < sectors_.size(); ++i) {
    if (sectors_.data[i] == entry.sector_struct) {
      sector_struct.Select(static_cast<int>(i));
      break;
    }
  }
}

void FlashDeviceEditor::FillTables() {
  device_value.Fill(values_.names, -1);
  sector_struct.Fill(sectors_.names, -1);
}

void FlashDeviceEditor::TypeFlashId(const std::string& typed) {
  flash_id.clear();
  for (char c : typed) {
    if (flash_id.size() < kFlashIdLength &&
        std::string_view(kFlashIdCharacters).find(c) != std::string_view::npos)
      flash_id.push_back(c);
  }
}

bool FlashDeviceEditor::Accept(UserDialogs& dialogs) {
  result_.reset();
  const std::string text = Trim(flash_id);
  const std::optional<uint32_t> value = IsHex(text, false) ? HexValue(text, false) : std::nullopt;
  const uint8_t id = static_cast<uint8_t>(value.value_or(0) & 0xFF);
  if (id == 0) {
    dialogs.ShowMessage(flash_editor_messages::kFlashIdError);
    return false;
  }
  // A drop-down without a selection (an entry whose values the tables do not hold) keeps the
  // edited entry's own value.
  const FlashDeviceEntry* own = editing() ? &devices_[static_cast<size_t>(edited_)] : nullptr;
  FlashDeviceEntry entry;
  entry.flash_id = id;
  entry.bit_offset = device_value.HasSelection()
                         ? values_.data[static_cast<size_t>(device_value.selection)].bit_offset
                         : (own ? own->bit_offset : 0);
  entry.sector_struct = sector_struct.HasSelection()
                            ? sectors_.data[static_cast<size_t>(sector_struct.selection)]
                            : (own ? own->sector_struct : 0);
  for (size_t i = 0; i < devices_.size(); ++i) {
    if (static_cast<int>(i) == edited_)
      continue;
    if (devices_[i].flash_id == entry.flash_id && devices_[i].bit_offset == entry.bit_offset) {
      dialogs.ShowMessage(flash_editor_messages::kExists);
      return false;
    }
  }
  // The edited entry itself may keep its flash ID and device value: a change of the sector
  // structure alone is the user's change too and is taken.
  result_ = entry;
  return true;
}

}  // namespace qtk
