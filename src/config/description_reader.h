#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/ini_file.h"

namespace qtk {

// The reading layer of the configuration description: numbered item lists, the
// item parsers, and the one error message a failed load leaves.

// Two bytes of a named pair list entry, in text order ([RFMode]: low, high; [DACType]: any).
struct BytePair {
  uint8_t first = 0;
  uint8_t second = 0;
  bool operator==(const BytePair&) const = default;
};

// One option list as read from its section. Every shape uses names; a named value list also
// fills values (one per name, each 0..255), a named pair list fills pairs (one per name).
struct ItemList {
  std::vector<std::string> names;
  std::vector<int32_t> values;
  std::vector<BytePair> pairs;
  bool operator==(const ItemList&) const = default;
};

// How ReadItemList parses the items of a section (chosen by the exact section name).
enum class ItemShape {
  kPlain,             // the trimmed text is the name
  kNamedValue,        // "name,value": PanelKey, IRKey, DACIndex, GPIOBusType, TunerType,
                      // ExtTunerType, ExtTunerDriver, GPIOUsage_0 .. GPIOUsage_63
  kNamedPairOrdered,  // "name,low,high" with low <= high: RFMode
  kNamedPair,         // "name,first,second": DACType
};
ItemShape ShapeOfSection(std::string_view section);

// The named value parser: appends the name before the last ',' (trimmed, non-empty, may hold
// commas) and the decimal number after it (no sign, at most 255). Empties values first when
// names is empty. Returns false, appending nothing, on a malformed text.
bool ParseNamedValue(std::string_view text, std::vector<std::string>& names,
                     std::vector<int32_t>& values);

// The named pair parser: "name,first,second" with two decimal numbers (no sign, at most 255),
// stored as (first, second). With ordered, first above second fails. Empties pairs first when
// names is empty. Returns false, appending nothing, on a malformed text.
bool ParseNamedPair(std::string_view text, bool ordered, std::vector<std::string>& names,
                    std::vector<BytePair>& pairs);

// What GetLoadError hands out after a failed load.
struct LoadError {
  int32_t code = 0;     // -3 (a section missing, empty or malformed) or -9 (anything else)
  uint32_t number = 0;  // always 0 in the messages that occur
  std::string message;
};

inline constexpr int32_t kSectionError = -3;
inline constexpr int32_t kOtherError = -9;

class DescriptionReader {
 public:
  static constexpr size_t kScratchSize = 1024;

  // The path the messages name (may differ from ini().path() when SetPath refused it).
  void SetDescriptionPath(std::string path) { description_path_ = std::move(path); }
  const std::string& description_path() const { return description_path_; }

  IniFile& ini() { return ini_; }
  const IniFile& ini() const { return ini_; }

  // Scalar keys through the IniFile. ReadString reads through the 1024-byte scratch buffer,
  // so a value longer than 1023 characters is cut.
  int32_t ReadInt(std::string_view section, std::string_view key) const;
  bool ReadBool(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key);

  // Empties out, then appends GetInt of item0, item1, ... up to the first 0 (missing, empty,
  // not a number or zero). True when at least one value was read.
  bool ReadIntList(std::string_view section, std::vector<int32_t>& out) const;

  // Empties out (names, values and pairs), then reads item0, item1, ... up to the first item
  // that is missing or blank, parsing each by ShapeOfSection(section). False at once when an
  // item is malformed (the items before it stay); otherwise true when at least one item was
  // read.
  bool ReadItemList(std::string_view section, ItemList& out);

  // Stores the code and number and builds the message:
  //   -3:     "Error: " + path + ":\r\n" + "[" + text + "] data is error.\r\n"
  //   other:  "Error: " + path + ":\r\n" + text
  void ReportError(int32_t code, uint32_t number, const std::string& text);

  // The stored code, number and message (written only by ReportError).
  LoadError GetLoadError() const { return {error_code_, error_number_, error_message_}; }

 private:
  std::string description_path_;
  IniFile ini_;
  std::array<char, kScratchSize> scratch_{};
  int32_t error_code_ = 0;
  uint32_t error_number_ = 0;
  std::string error_message_;
};

}  // namespace qtk
