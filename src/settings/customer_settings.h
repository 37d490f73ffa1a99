#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "config/flash_tables.h"
#include "settings/record_layout.h"

namespace qtk {

// The customer settings record with the two lists rebuilt from it at every copy-in: the
// 7-segment character table and the serial flash device list.
class CustomerSettings {
 public:
  using Bytes = std::array<uint8_t, record::kSize>;

  // Replaces the record and rebuilds both companion lists.
  void CopyRecordIn(std::span<const uint8_t, record::kSize> source);
  // Writes the serial flash device list back into its fields (only when the configuration
  // description supports flash devices; otherwise the list area is cleared) and copies the
  // record to the destination.
  void CopyRecordOut(std::span<uint8_t, record::kSize> destination, bool flash_support);

  Bytes& bytes() { return bytes_; }
  const Bytes& bytes() const { return bytes_; }

  uint8_t U8(size_t offset) const { return bytes_.at(offset); }
  uint16_t U16(size_t offset) const;
  uint32_t U32(size_t offset) const;
  void SetU8(size_t offset, uint8_t value) { bytes_.at(offset) = value; }
  void SetU16(size_t offset, uint16_t value);
  void SetU32(size_t offset, uint32_t value);

  int ConfigVersion() const { return bytes_[record::kConfigVersion] & 0x0F; }

  std::vector<uint16_t>& character_table() { return character_table_; }
  const std::vector<uint16_t>& character_table() const { return character_table_; }
  std::vector<FlashDeviceEntry>& flash_devices() { return flash_devices_; }
  const std::vector<FlashDeviceEntry>& flash_devices() const { return flash_devices_; }

  // Rebuilds one list from the record, as the copy-in does; the page imports use these.
  void RebuildCharacterTable();
  void RebuildFlashDevices();

 private:
  Bytes bytes_{};
  std::vector<uint16_t> character_table_;
  std::vector<FlashDeviceEntry> flash_devices_;
};

}  // namespace qtk
