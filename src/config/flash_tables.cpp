#include "config/flash_tables.h"

#include <cstdio>
#include <optional>

#include "config/text_helpers.h"

namespace qtk {
namespace {

// Thrown by the row parsers at the first bad field and caught by the reader that runs them;
// it never leaves this file's readers.
struct GeneralError {};

uint8_t DecimalField(const std::string& field) {
  std::optional<uint8_t> value = DecimalByte(field);
  if (!value)
    throw GeneralError{};
  return *value;
}

uint8_t HexField(const std::string& field) {
  std::optional<uint8_t> value = HexByte(field);
  if (!value)
    throw GeneralError{};
  return *value;
}

// The pattern all three readers share. parse_row converts the fields
// after the name into one data entry.
template <typename T, typename ParseRow>
bool ReadTable(DescriptionReader& reader, std::string_view section, int field_count,
               NamedTable<T>& table, ParseRow parse_row) {
  try {
    table.clear();
    ItemList items;
    if (!reader.ReadItemList(section, items))
      throw GeneralError{};
    std::vector<std::string> fields;
    for (const std::string& text : items.names) {
      if (!SplitFields(text, field_count, fields))
        throw GeneralError{};
      table.names.push_back(fields[0]);
      table.data.push_back(parse_row(fields));
    }
    if (table.names.empty() || table.names.size() != table.data.size())
      throw GeneralError{};
    return true;
  } catch (...) {
    reader.ReportError(kSectionError, 0, std::string(section));
    table.clear();
    return false;
  }
}

// The -9 texts of the cross-check, formatted with printf rules.
std::string DuplicateValueText(const DeviceValue& v) {
  char text[96];
  std::snprintf(text, sizeof text, "[FlashDeviceValue] data is duplicate: '%d,0x%02X,0x%02X'.",
                v.bit_offset, v.command, v.byte_address);
  return text;
}

std::string UndefinedBitOffsetText(const FlashDeviceEntry& e) {
  char text[96];
  std::snprintf(text, sizeof text,
                "BitOffset of [FlashDevice] is not defined in [FlashDeviceValue]: '%d'.",
                e.bit_offset);
  return text;
}

std::string UndefinedSectorText(const FlashDeviceEntry& e) {
  char text[96];
  std::snprintf(text, sizeof text,
                "FlashID of [FlashDevice] is not defined in [SectorStruct]: '%d'.",
                e.sector_struct);
  return text;
}

std::string DuplicateDeviceText(const FlashDeviceEntry& e) {
  char text[96];
  std::snprintf(text, sizeof text, "[FlashDevice] data is duplicate: '0x%02X,%d,%d'.", e.flash_id,
                e.bit_offset, e.sector_struct);
  return text;
}

}  // namespace

bool ReadSectorStructs(DescriptionReader& reader, std::string_view section,
                       SectorStructTable& table) {
  return ReadTable(reader, section, 2, table,
                   [](const std::vector<std::string>& f) { return DecimalField(f[1]); });
}

bool ReadDeviceValues(DescriptionReader& reader, std::string_view section,
                      DeviceValueTable& table) {
  return ReadTable(reader, section, 4, table, [](const std::vector<std::string>& f) {
    DeviceValue value;
    value.bit_offset = DecimalField(f[1]);
    value.command = HexField(f[2]);
    value.byte_address = HexField(f[3]);
    return value;
  });
}

bool ReadDevices(DescriptionReader& reader, std::string_view section, FlashDeviceTable& table) {
  return ReadTable(reader, section, 4, table, [](const std::vector<std::string>& f) {
    FlashDeviceEntry entry;
    entry.flash_id = HexField(f[1]);
    entry.bit_offset = DecimalField(f[2]);
    entry.sector_struct = DecimalField(f[3]);
    return entry;
  });
}

bool CrossCheckFlashTables(DescriptionReader& reader, const FlashDeviceTable& devices,
                           const SectorStructTable& sectors, const DeviceValueTable& values) {
  const std::vector<DeviceValue>& rows = values.data;
  for (size_t i = 0; i < rows.size(); ++i) {
    for (size_t j = i + 1; j < rows.size(); ++j) {
      bool same_offset = rows[i].bit_offset == rows[j].bit_offset;
      bool same_pair =
          rows[i].command == rows[j].command && rows[i].byte_address == rows[j].byte_address;
      if (same_offset || same_pair) {
        reader.ReportError(kOtherError, 0, DuplicateValueText(rows[i]));
        return false;
      }
    }
  }
  const std::vector<FlashDeviceEntry>& catalogue = devices.data;
  for (size_t i = 0; i < catalogue.size(); ++i) {
    const FlashDeviceEntry& device = catalogue[i];
    bool has_value = false;
    for (const DeviceValue& value : rows) {
      has_value = has_value || value.bit_offset == device.bit_offset;
    }
    if (!has_value) {
      reader.ReportError(kOtherError, 0, UndefinedBitOffsetText(device));
      return false;
    }
    bool has_sector = false;
    for (uint8_t number : sectors.data) {
      has_sector = has_sector || number == device.sector_struct;
    }
    if (!has_sector) {
      reader.ReportError(kOtherError, 0, UndefinedSectorText(device));
      return false;
    }
    for (size_t j = i + 1; j < catalogue.size(); ++j) {
      if (catalogue[j].flash_id == device.flash_id &&
          catalogue[j].bit_offset == device.bit_offset) {
        reader.ReportError(kOtherError, 0, DuplicateDeviceText(device));
        return false;
      }
    }
  }
  return true;
}

std::string DescribeDeviceEntry(const FlashDeviceEntry& entry, const FlashDeviceTable& devices,
                                const SectorStructTable& sectors) {
  for (size_t i = 0; i < devices.data.size() && i < devices.names.size(); ++i) {
    if (devices.data[i].flash_id == entry.flash_id &&
        devices.data[i].bit_offset == entry.bit_offset) {
      return devices.names[i];
    }
  }
  for (size_t i = 0; i < sectors.data.size() && i < sectors.names.size(); ++i) {
    if (sectors.data[i] == entry.sector_struct)
      return sectors.names[i];
  }
  return "";
}

std::optional<DeviceValue> FindDeviceValue(const FlashDeviceEntry& entry,
                                           const DeviceValueTable& values) {
  for (const DeviceValue& value : values.data) {
    if (value.bit_offset == entry.bit_offset)
      return value;
  }
  return std::nullopt;
}

}  // namespace qtk
