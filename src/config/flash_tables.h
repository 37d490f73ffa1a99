#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/description_reader.h"

namespace qtk {

// The serial flash device tables of the configuration description.

// One serial flash device: the three bytes the record keeps per device list entry, and the
// data of one [FlashDevice] catalogue row.
struct FlashDeviceEntry {
  uint8_t flash_id = 0;
  uint8_t bit_offset = 0;     // a BitOffset of the device value table
  uint8_t sector_struct = 0;  // a number of the sector structure table
  bool operator==(const FlashDeviceEntry&) const = default;
};

// One [FlashDeviceValue] row's data.
struct DeviceValue {
  uint8_t bit_offset = 0;  // unique in the table
  uint8_t command = 0;
  uint8_t byte_address = 0;  // (command, byte_address) is unique in the table too
  bool operator==(const DeviceValue&) const = default;
};

// A names list with a parallel data list, one entry per item, in file order.
template <typename T>
struct NamedTable {
  std::vector<std::string> names;
  std::vector<T> data;
  size_t size() const { return names.size(); }
  bool empty() const { return names.empty(); }
  void clear() {
    names.clear();
    data.clear();
  }
  bool operator==(const NamedTable&) const = default;
};

using SectorStructTable = NamedTable<uint8_t>;          // [SectorStruct]: name, number
using DeviceValueTable = NamedTable<DeviceValue>;       // [FlashDeviceValue]
using FlashDeviceTable = NamedTable<FlashDeviceEntry>;  // [FlashDevice]: the device catalogue

// The three readers: each empties its table, reads the section's items (plain list), splits
// each into its fields and converts them:
//   [SectorStruct]      2 fields: name, decimal number
//   [FlashDeviceValue]  4 fields: name, decimal BitOffset, 0x command, 0x byte address
//   [FlashDevice]       4 fields: name, 0x flash ID, decimal BitOffset, decimal sector number
// (decimal: no sign, at most 255; hexadecimal: "0x"/"0X" prefix required, at most 0xFF, a
// value beyond 32 bits counts as too large). A missing item0 or any bad field abandons the
// section: the reader reports -3 with the section name, empties the table and returns false.
// Internally the first bad field throws a GeneralError that the same reader catches; nothing
// is thrown to the caller.
bool ReadSectorStructs(DescriptionReader& reader, std::string_view section,
                       SectorStructTable& table);
bool ReadDeviceValues(DescriptionReader& reader, std::string_view section, DeviceValueTable& table);
bool ReadDevices(DescriptionReader& reader, std::string_view section, FlashDeviceTable& table);

// The cross-check after all three tables are read; the first fault reports -9 with one of:
//   "[FlashDeviceValue] data is duplicate: '%d,0x%02X,0x%02X'."   (same BitOffset, or same
//                                                  command and byte address; the first row)
//   "BitOffset of [FlashDevice] is not defined in [FlashDeviceValue]: '%d'."
//   "FlashID of [FlashDevice] is not defined in [SectorStruct]: '%d'."  (the sector number)
//   "[FlashDevice] data is duplicate: '0x%02X,%d,%d'."   (same flash ID and BitOffset)
// and returns false.
bool CrossCheckFlashTables(DescriptionReader& reader, const FlashDeviceTable& devices,
                           const SectorStructTable& sectors, const DeviceValueTable& values);

// Description of a device entry (the serial flash page's "Description" column): the name of
// the first catalogue row with the same flash ID and BitOffset; failing that, the name of the
// first sector structure with the entry's number; failing that, "".
std::string DescribeDeviceEntry(const FlashDeviceEntry& entry, const FlashDeviceTable& devices,
                                const SectorStructTable& sectors);

// Device value of a device entry: the first device value row whose BitOffset equals the
// entry's (its command and byte address are what the page shows); nothing when none has it.
std::optional<DeviceValue> FindDeviceValue(const FlashDeviceEntry& entry,
                                           const DeviceValueTable& values);

}  // namespace qtk
