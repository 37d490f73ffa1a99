#include "config/description_reader.h"

#include <charconv>

#include "config/text_helpers.h"

namespace qtk {
namespace {

// Splits "rest,field" at the last ','. Fails when there is no ',' or it is first or last.
bool CutLastField(std::string_view text, std::string_view& rest, std::string_view& field) {
  size_t comma = text.rfind(',');
  if (comma == std::string_view::npos || comma == 0 || comma == text.size() - 1)
    return false;
  rest = text.substr(0, comma);
  field = text.substr(comma + 1);
  return true;
}

// The GPIO usage sections that carry values: "GPIOUsage_%d" with 0..63.
bool IsGpioUsageWithValues(std::string_view section) {
  constexpr std::string_view kPrefix = "GPIOUsage_";
  if (section.substr(0, kPrefix.size()) != kPrefix)
    return false;
  std::string_view digits = section.substr(kPrefix.size());
  if (digits.empty() || digits.size() > 2 || !IsDecimal(digits, false))
    return false;
  if (digits.size() == 2 && digits[0] == '0')
    return false;  // "%d" has no leading zero
  int index = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), index);
  return index <= 63;
}

}  // namespace

ItemShape ShapeOfSection(std::string_view section) {
  static constexpr std::string_view kNamedValueSections[] = {
      "PanelKey",  "IRKey",        "DACIndex",      "GPIOBusType",
      "TunerType", "ExtTunerType", "ExtTunerDriver"};
  for (std::string_view name : kNamedValueSections) {
    if (section == name)
      return ItemShape::kNamedValue;
  }
  if (IsGpioUsageWithValues(section))
    return ItemShape::kNamedValue;
  if (section == "RFMode")
    return ItemShape::kNamedPairOrdered;
  if (section == "DACType")
    return ItemShape::kNamedPair;
  return ItemShape::kPlain;
}

bool ParseNamedValue(std::string_view text, std::vector<std::string>& names,
                     std::vector<int32_t>& values) {
  if (names.empty())
    values.clear();
  std::string_view rest, field;
  if (!CutLastField(text, rest, field))
    return false;
  std::optional<uint8_t> value = DecimalByte(Trim(field));
  if (!value)
    return false;
  std::string name = Trim(rest);
  if (name.empty())
    return false;
  names.push_back(std::move(name));
  values.push_back(*value);
  return true;
}

bool ParseNamedPair(std::string_view text, bool ordered, std::vector<std::string>& names,
                    std::vector<BytePair>& pairs) {
  if (names.empty())
    pairs.clear();
  std::string_view rest, field;
  if (!CutLastField(text, rest, field))
    return false;
  std::optional<uint8_t> second = DecimalByte(Trim(field));
  if (!second)
    return false;
  if (!CutLastField(rest, rest, field))
    return false;
  std::optional<uint8_t> first = DecimalByte(Trim(field));
  if (!first)
    return false;
  std::string name = Trim(rest);
  if (name.empty())
    return false;
  if (ordered && *first > *second)
    return false;
  names.push_back(std::move(name));
  pairs.push_back({*first, *second});
  return true;
}

int32_t DescriptionReader::ReadInt(std::string_view section, std::string_view key) const {
  return ini_.GetInt(section, key);
}

bool DescriptionReader::ReadBool(std::string_view section, std::string_view key) const {
  return ini_.GetBool(section, key);
}

std::string DescriptionReader::ReadString(std::string_view section, std::string_view key) {
  size_t length = ini_.GetString(section, key, scratch_.data(), scratch_.size());
  return std::string(scratch_.data(), length);
}

bool DescriptionReader::ReadIntList(std::string_view section, std::vector<int32_t>& out) const {
  out.clear();
  for (size_t index = 0;; ++index) {
    int32_t value = ini_.GetInt(section, "item" + std::to_string(index));
    if (value == 0)
      break;
    out.push_back(value);
  }
  return !out.empty();
}

bool DescriptionReader::ReadItemList(std::string_view section, ItemList& out) {
  // All three are emptied together, so values or pairs of an earlier load never stay beside
  // the names of a section that has no item0.
  out.names.clear();
  out.values.clear();
  out.pairs.clear();
  const ItemShape shape = ShapeOfSection(section);
  for (size_t index = 0;; ++index) {
    std::string text = Trim(ReadString(section, "item" + std::to_string(index)));
    if (text.empty())
      break;
    bool ok = true;
    switch (shape) {
      case ItemShape::kPlain:
        out.names.push_back(std::move(text));
        break;
      case ItemShape::kNamedValue:
        ok = ParseNamedValue(text, out.names, out.values);
        break;
      case ItemShape::kNamedPairOrdered:
        ok = ParseNamedPair(text, true, out.names, out.pairs);
        break;
      case ItemShape::kNamedPair:
        ok = ParseNamedPair(text, false, out.names, out.pairs);
        break;
    }
    if (!ok)
      return false;
  }
  return !out.names.empty();
}

void DescriptionReader::ReportError(int32_t code, uint32_t number, const std::string& text) {
  error_code_ = code;
  error_number_ = number;
  error_message_ = "Error: " + description_path_ + ":\r\n";
  if (code == kSectionError) {
    error_message_ += "[" + text + "] data is error.\r\n";
  } else {
    error_message_ += text;
  }
}

}  // namespace qtk
