#include "settings/customer_settings.h"

#include <algorithm>

namespace qtk {

uint16_t CustomerSettings::U16(size_t offset) const {
  return static_cast<uint16_t>(bytes_.at(offset) | (bytes_.at(offset + 1) << 8));
}

uint32_t CustomerSettings::U32(size_t offset) const {
  return uint32_t{bytes_.at(offset)} | (uint32_t{bytes_.at(offset + 1)} << 8) |
         (uint32_t{bytes_.at(offset + 2)} << 16) | (uint32_t{bytes_.at(offset + 3)} << 24);
}

void CustomerSettings::SetU16(size_t offset, uint16_t value) {
  bytes_.at(offset) = static_cast<uint8_t>(value);
  bytes_.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

void CustomerSettings::SetU32(size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

void CustomerSettings::RebuildCharacterTable() {
  character_table_.clear();
  // The count is read from the record unbounded; the entries must stay inside the panel
  // block, so a larger count is limited to what fits there.
  uint32_t count = U32(record::kCharacterTableCount);
  count = std::min<uint32_t>(count, record::kMaxCharacterTableEntries);
  for (uint32_t i = 0; i < count; ++i)
    character_table_.push_back(U16(record::kCharacterTable + 2 * i));
}

void CustomerSettings::RebuildFlashDevices() {
  flash_devices_.clear();
  uint16_t count = U16(record::kFlashDeviceCount);
  if (count < 1 || count > record::kFlashDeviceSlots)
    return;
  for (uint16_t i = 0; i < count; ++i) {
    flash_devices_.push_back({bytes_[record::kFlashDeviceIdSlots + 2 * i],
                              bytes_[record::kFlashDeviceIdSlots + 2 * i + 1],
                              bytes_[record::kFlashDeviceSectorSlots + i]});
  }
}

void CustomerSettings::CopyRecordIn(std::span<const uint8_t, record::kSize> source) {
  std::copy(source.begin(), source.end(), bytes_.begin());
  RebuildCharacterTable();
  RebuildFlashDevices();
}

void CustomerSettings::CopyRecordOut(std::span<uint8_t, record::kSize> destination,
                                     bool flash_support) {
  // The record has 60 slots; a longer list (which the serial flash page never builds) is cut.
  const size_t count =
      flash_support ? std::min(flash_devices_.size(), record::kFlashDeviceSlots) : 0;
  SetU16(record::kFlashDeviceCount, static_cast<uint16_t>(count));
  std::fill(bytes_.begin() + record::kFlashDeviceIdSlots,
            bytes_.begin() + record::kFlashDeviceAreaEnd, uint8_t{0});
  for (size_t i = 0; i < count; ++i) {
    bytes_[record::kFlashDeviceIdSlots + 2 * i] = flash_devices_[i].flash_id;
    bytes_[record::kFlashDeviceIdSlots + 2 * i + 1] = flash_devices_[i].bit_offset;
    bytes_[record::kFlashDeviceSectorSlots + i] = flash_devices_[i].sector_struct;
  }
  std::copy(bytes_.begin(), bytes_.end(), destination.begin());
}

}  // namespace qtk
