#include "pages/record_fields.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/text_helpers.h"

namespace qtk {

std::string ReadTextField(const CustomerSettings& settings, size_t offset, size_t size) {
  const auto* first = reinterpret_cast<const char*>(settings.bytes().data() + offset);
  return std::string(first, strnlen(first, std::min(size, record::kSize - offset)));
}

void WriteTextField(CustomerSettings& settings, size_t offset, size_t size, std::string_view text) {
  auto* first = settings.bytes().data() + offset;
  std::fill_n(first, size, 0);
  std::memcpy(first, text.data(), std::min(text.size(), size));
}

std::string PadWithSpaces(std::string text, size_t width) {
  if (text.size() < width)
    text.resize(width, ' ');
  return text;
}

int GetBits(uint8_t byte, int shift, int width) {
  return (byte >> shift) & ((1 << width) - 1);
}

uint8_t WithBits(uint8_t byte, int shift, int width, int value) {
  const int mask = ((1 << width) - 1) << shift;
  return static_cast<uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

void PutSelectionBits(uint8_t& byte, int shift, int width, const ComboState& combo) {
  if (combo.HasSelection())
    byte = WithBits(byte, shift, width, combo.selection);
}

std::string HexText(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%.*x", digits, value);
  return text;
}

unsigned HexFieldValue(const std::string& text, unsigned max) {
  if (!IsHex(text, false))
    return 0;
  const std::optional<uint32_t> value = HexValue(text, false);
  return value && *value <= max ? *value : 0;
}

}  // namespace qtk
