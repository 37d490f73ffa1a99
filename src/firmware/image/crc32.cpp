#include "firmware/image/crc32.h"

#include <array>

namespace qtk {
namespace {

constexpr uint32_t kPolynomial = 0x04C11DB7u;

constexpr std::array<uint32_t, 256> BuildTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t r = n << 24;
    for (int bit = 0; bit < 8; ++bit) {
      r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : (r << 1);
    }
    table[n] = r;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kTable = BuildTable();

}  // namespace

uint32_t Crc32(uint32_t initial, const uint8_t* data, int64_t count) {
  uint32_t r = initial;
  for (int64_t i = 0; i < count; ++i) {
    r = (r << 8) ^ kTable[((r >> 24) ^ data[i]) & 0xFFu];
  }
  return r;
}

}  // namespace qtk
