#include "cli/text_format.h"

namespace qtk::cli {

std::string Hex32(uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x00000000";
  for (int i = 0; i < 8; ++i)
    text[9 - i] = kDigits[(value >> (4 * i)) & 0xF];
  return text;
}

std::string PadRight(std::string_view text, size_t width) {
  std::string out(text);
  if (out.size() < width)
    out.append(width - out.size(), ' ');
  return out;
}

}  // namespace qtk::cli
