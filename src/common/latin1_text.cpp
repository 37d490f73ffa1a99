#include "common/latin1_text.h"

namespace qtk {

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

std::optional<std::string> Utf8ToLatin1(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      continue;
    }
    // Only the two-byte sequences C2 80 .. C3 BF stand for U+0080 .. U+00FF; anything longer
    // is a character beyond one byte, and anything else is not UTF-8.
    if ((lead != 0xC2 && lead != 0xC3) || i + 1 == text.size())
      return std::nullopt;
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if ((next & 0xC0) != 0x80)
      return std::nullopt;
    out += static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F));
    ++i;
  }
  return out;
}

}  // namespace qtk
