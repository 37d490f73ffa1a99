#include "firmware/image/crc32.h"

#include <array>
#include <cstddef>

namespace qtk {
namespace {

constexpr uint32_t kPolynomial = 0x04C11DB7u;
constexpr size_t kSlices = 16;

using Table = std::array<uint32_t, 256>;

// Entry n: the register after shifting byte n, placed in the top 8 bits of a zero register,
// through 8 rounds of the polynomial.
constexpr Table BuildByteTable() {
  Table table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t r = n << 24;
    for (int bit = 0; bit < 8; ++bit)
      r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : (r << 1);
    table[n] = r;
  }
  return table;
}

// Table k, entry n: the register after byte n followed by k zero bytes. Sixteen bytes then
// combine by XOR, because the CRC register is linear in the data.
constexpr std::array<Table, kSlices> BuildSliceTables() {
  std::array<Table, kSlices> tables{};
  tables[0] = BuildByteTable();
  for (size_t k = 1; k < kSlices; ++k) {
    for (size_t n = 0; n < 256; ++n) {
      const uint32_t previous = tables[k - 1][n];
      tables[k][n] = (previous << 8) ^ tables[0][previous >> 24];
    }
  }
  return tables;
}

constexpr std::array<Table, kSlices> kTables = BuildSliceTables();
constexpr const Table& kByteTable = kTables[0];

inline uint32_t LoadBigEndian(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// The four bytes of `word`, most significant first, looked up in the tables for `zeros`
// following bytes up to `zeros` + 3.
inline uint32_t Slice(uint32_t word, size_t zeros) {
  return kTables[zeros + 3][word >> 24] ^ kTables[zeros + 2][(word >> 16) & 0xFFu] ^
         kTables[zeros + 1][(word >> 8) & 0xFFu] ^ kTables[zeros][word & 0xFFu];
}

}  // namespace

uint32_t Crc32(uint32_t initial, const uint8_t* data, int64_t count) {
  return Crc32FoldingAvailable() ? Crc32Folded(initial, data, count)
                                 : Crc32Sliced(initial, data, count);
}

uint32_t Crc32Sliced(uint32_t initial, const uint8_t* data, int64_t count) {
  uint32_t r = initial;
  while (count >= static_cast<int64_t>(kSlices)) {
    r = Slice(r ^ LoadBigEndian(data), 12) ^ Slice(LoadBigEndian(data + 4), 8) ^
        Slice(LoadBigEndian(data + 8), 4) ^ Slice(LoadBigEndian(data + 12), 0);
    data += kSlices;
    count -= static_cast<int64_t>(kSlices);
  }
  return Crc32Bytewise(r, data, count);
}

uint32_t Crc32Bytewise(uint32_t initial, const uint8_t* data, int64_t count) {
  uint32_t r = initial;
  for (int64_t i = 0; i < count; ++i)
    r = (r << 8) ^ kByteTable[((r >> 24) ^ data[i]) & 0xFFu];
  return r;
}

}  // namespace qtk
