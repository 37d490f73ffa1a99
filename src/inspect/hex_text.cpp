#include "inspect/hex_text.h"

#include <cstdio>

namespace qtk {

std::string Hex8(uint32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string out;
  for (uint8_t b : bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(b));
    out += (out.empty() ? "" : " ") + std::string(pair);
  }
  return out;
}

}  // namespace qtk
