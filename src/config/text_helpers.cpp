#include "config/text_helpers.h"

#include <limits>

namespace qtk {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

bool HasHexPrefix(std::string_view text) {
  return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

std::string Trim(std::string_view text, TrimMode mode, std::string_view set) {
  if (text.empty())
    return std::string(text);
  if (mode == TrimMode::kBoth || mode == TrimMode::kLeading) {
    size_t first = text.find_first_not_of(set);
    text.remove_prefix(first == std::string_view::npos ? text.size() : first);
  }
  if (mode == TrimMode::kBoth || mode == TrimMode::kTrailing) {
    size_t last = text.find_last_not_of(set);
    text = last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
  }
  return std::string(text);
}

bool IsDecimal(std::string_view text, bool allow_sign) {
  if (text.empty())
    return false;
  if (allow_sign && text.size() >= 2 && (text[0] == '+' || text[0] == '-')) {
    text.remove_prefix(1);
  }
  for (char c : text) {
    if (!IsDigit(c))
      return false;
  }
  return true;
}

std::optional<uint32_t> DecimalValue(std::string_view text) {
  if (!IsDecimal(text, false))
    return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > std::numeric_limits<uint32_t>::max())
      return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

bool IsHex(std::string_view text, bool need_prefix) {
  if (need_prefix) {
    if (text.size() < 3 || !HasHexPrefix(text))
      return false;
    text.remove_prefix(2);
  }
  if (text.empty())
    return false;
  for (char c : text) {
    if (HexDigit(c) < 0)
      return false;
  }
  return true;
}

std::optional<uint32_t> HexValue(std::string_view text, bool has_prefix) {
  if (!IsHex(text, has_prefix))
    return 0u;
  if (has_prefix)
    text.remove_prefix(2);
  uint64_t value = 0;
  for (char c : text) {
    value = value * 16 + static_cast<uint64_t>(HexDigit(c));
    if (value > std::numeric_limits<uint32_t>::max())
      return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

std::optional<uint8_t> DecimalByte(std::string_view text) {
  std::optional<uint32_t> value = DecimalValue(text);
  if (!value || *value > 0xFF)
    return std::nullopt;
  return static_cast<uint8_t>(*value);
}

std::optional<uint8_t> HexByte(std::string_view text) {
  if (!IsHex(text, true))
    return std::nullopt;
  std::optional<uint32_t> value = HexValue(text, true);
  if (!value || *value > 0xFF)
    return std::nullopt;
  return static_cast<uint8_t>(*value);
}

bool SplitFields(std::string_view text, int count, std::vector<std::string>& fields) {
  fields.clear();
  if (count < 1)
    return false;
  for (int i = 0; i < count - 1 && !text.empty(); ++i) {
    size_t comma = text.rfind(',');
    if (comma == std::string_view::npos || comma == 0 || comma == text.size() - 1)
      return false;
    std::string field = Trim(text.substr(comma + 1));
    if (field.empty())
      return false;
    fields.insert(fields.begin(), std::move(field));
    text = text.substr(0, comma);
  }
  std::string first = Trim(text);
  if (first.empty())
    return false;
  fields.insert(fields.begin(), std::move(first));
  return true;
}

}  // namespace qtk
