// The CRC by carry-less multiplication on x86-64 processors that have it.
//
// With the register bits read as polynomial coefficients, a CRC with initial register I over
// n bytes M is (I * x^(8n) + M * x^32) mod P, and I * x^(8n) is M with I added into its first
// four bytes. The bytes are taken in 16-byte blocks, each a polynomial of degree below 128
// whose first byte holds the top coefficients. Moving a block D bits further along the
// message multiplies it by x^D; modulo P that is the same as multiplying its upper half H by
// x^(D+64) mod P and its lower half L by x^D mod P, two 64 x 32 bit carry-less products of
// at most 95 bits. So four running blocks are moved 512 bits along and the next four blocks
// added in, then the four are moved onto the last one, and the remaining whole blocks follow
// one at a time. The 128 bits left have the same remainder modulo P as the folded message;
// the table method takes them as 16 bytes with a zero register, which gives exactly
// (value * x^32) mod P, and goes on over the bytes after the last whole block.
#include "firmware/image/crc32.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QTK_CRC32_FOLDING 1
#include <immintrin.h>
#endif

#include <cstddef>

namespace qtk {

#ifdef QTK_CRC32_FOLDING
namespace {

constexpr uint32_t kPolynomial = 0x04C11DB7u;

// x^d mod P as a 32-bit register: one multiplication by x per step.
constexpr uint64_t PowerOfX(int d) {
  uint32_t r = 1;
  for (int i = 0; i < d; ++i)
    r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : (r << 1);
  return r;
}

// The pair that moves a block d bits along: x^d mod P for its lower half in the low lane,
// x^(d+64) mod P for its upper half in the high lane.
struct Mover {
  uint64_t low;
  uint64_t high;
};
constexpr Mover MoverFor(int d) {
  return {PowerOfX(d), PowerOfX(d + 64)};
}
constexpr Mover kBy128 = MoverFor(128);
constexpr Mover kBy256 = MoverFor(256);
constexpr Mover kBy384 = MoverFor(384);
constexpr Mover kBy512 = MoverFor(512);

constexpr size_t kBlock = 16;
constexpr size_t kLanes = 4;

__attribute__((target("pclmul,ssse3"))) inline __m128i Constant(const Mover& m) {
  return _mm_set_epi64x(static_cast<long long>(m.high), static_cast<long long>(m.low));
}

// Loads 16 bytes so that the first byte holds the top bits of the 128-bit value.
__attribute__((target("pclmul,ssse3"))) inline __m128i LoadBlock(const uint8_t* p,
                                                                 __m128i reverse) {
  return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), reverse);
}

__attribute__((target("pclmul,ssse3"))) inline __m128i Move(__m128i block, __m128i mover) {
  return _mm_xor_si128(_mm_clmulepi64_si128(block, mover, 0x11),
                       _mm_clmulepi64_si128(block, mover, 0x00));
}

}  // namespace

bool Crc32FoldingAvailable() {
  static const bool available = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3");
  return available;
}

__attribute__((target("pclmul,ssse3"))) uint32_t Crc32Folded(uint32_t initial, const uint8_t* data,
                                                             int64_t count) {
  if (count < static_cast<int64_t>(kLanes * kBlock))
    return Crc32Sliced(initial, data, count);
  const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  size_t n = static_cast<size_t>(count);

  __m128i lane[kLanes];
  for (size_t j = 0; j < kLanes; ++j)
    lane[j] = LoadBlock(data + j * kBlock, reverse);
  lane[0] = _mm_xor_si128(lane[0], _mm_set_epi32(static_cast<int>(initial), 0, 0, 0));
  data += kLanes * kBlock;
  n -= kLanes * kBlock;

  const __m128i by512 = Constant(kBy512);
  while (n >= kLanes * kBlock) {
    for (size_t j = 0; j < kLanes; ++j)
      lane[j] = _mm_xor_si128(Move(lane[j], by512), LoadBlock(data + j * kBlock, reverse));
    data += kLanes * kBlock;
    n -= kLanes * kBlock;
  }

  const __m128i by128 = Constant(kBy128);
  __m128i folded =
      _mm_xor_si128(_mm_xor_si128(Move(lane[0], Constant(kBy384)), Move(lane[1], Constant(kBy256))),
                    _mm_xor_si128(Move(lane[2], by128), lane[3]));
  while (n >= kBlock) {
    folded = _mm_xor_si128(Move(folded, by128), LoadBlock(data, reverse));
    data += kBlock;
    n -= kBlock;
  }

  alignas(16) uint8_t value[kBlock];
  _mm_store_si128(reinterpret_cast<__m128i*>(value), _mm_shuffle_epi8(folded, reverse));
  const uint32_t register_after_blocks = Crc32Sliced(0, value, kBlock);
  return Crc32Sliced(register_after_blocks, data, static_cast<int64_t>(n));
}

#else

bool Crc32FoldingAvailable() {
  return false;
}

uint32_t Crc32Folded(uint32_t initial, const uint8_t* data, int64_t count) {
  return Crc32Sliced(initial, data, count);
}

#endif

}  // namespace qtk
