#include "firmware/image/crc32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "firmware/image/byte_order.h"

namespace qtk {
namespace {

TEST(Crc32, CheckValueOfTheNineDigits) {
  const char* text = "123456789";
  const auto* bytes = reinterpret_cast<const uint8_t*>(text);
  EXPECT_EQ(Crc32(kCrcInitial, bytes, 9), 0x0376E6E7u);
  EXPECT_EQ(Crc32Bytewise(kCrcInitial, bytes, 9), 0x0376E6E7u);
}

TEST(Crc32, CountOfZeroOrLessGivesTheInitialValue) {
  uint8_t byte = 0x55;
  EXPECT_EQ(Crc32(kCrcInitial, &byte, 0), kCrcInitial);
  EXPECT_EQ(Crc32(0x12345678u, &byte, -5), 0x12345678u);
  EXPECT_EQ(Crc32(0x12345678u, &byte, INT64_MIN), 0x12345678u);
  EXPECT_EQ(Crc32Bytewise(0x12345678u, &byte, -1), 0x12345678u);
}

// The sliced CRC reads 16 bytes per step and the rest one by one, so every length from 0 to
// 4096 covers each remainder and each step count; random offsets leave the data unaligned;
// random initial registers check that the register enters the first step whole.
TEST(Crc32, SlicedEqualsTheByteTableForEveryLengthAndOffset) {
  std::mt19937_64 rng(0x4D504547);
  std::vector<uint8_t> pool(4096 + 64);
  for (uint8_t& b : pool)
    b = static_cast<uint8_t>(rng());
  for (int64_t length = 0; length <= 4096; ++length) {
    const size_t offset = rng() % 64;
    const uint32_t initial = (length % 3 == 0) ? kCrcInitial : static_cast<uint32_t>(rng());
    const uint8_t* data = pool.data() + offset;
    ASSERT_EQ(Crc32(initial, data, length), Crc32Bytewise(initial, data, length))
        << "length " << length << " offset " << offset;
  }
}

// Long runs of one byte value: all zeros leave the register to the tables alone, all 0xFF
// flip every looked-up index.
TEST(Crc32, SlicedEqualsTheByteTableOnConstantAndChunkSizedBuffers) {
  for (uint8_t fill : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x80}}) {
    for (size_t size : {size_t{15}, size_t{16}, size_t{17}, size_t{112}, size_t{65536 + 7}}) {
      const std::vector<uint8_t> data(size, fill);
      const int64_t n = static_cast<int64_t>(size);
      EXPECT_EQ(Crc32(kCrcInitial, data.data(), n), Crc32Bytewise(kCrcInitial, data.data(), n))
          << int{fill} << " " << size;
    }
  }
}

TEST(Crc32, ContinuesFromAGivenRegister) {
  const uint8_t data[] = {1, 2, 3, 4, 5, 6};
  uint32_t whole = Crc32(kCrcInitial, data, 6);
  EXPECT_EQ(Crc32(Crc32(kCrcInitial, data, 2), data + 2, 4), whole);

  // Split across the 16-byte steps too.
  std::vector<uint8_t> long_data(100);
  for (size_t i = 0; i < long_data.size(); ++i)
    long_data[i] = static_cast<uint8_t>(i * 7 + 3);
  const uint32_t long_whole = Crc32(kCrcInitial, long_data.data(), 100);
  for (int64_t cut : {1, 15, 16, 17, 33, 99}) {
    EXPECT_EQ(Crc32(Crc32(kCrcInitial, long_data.data(), cut), long_data.data() + cut, 100 - cut),
              long_whole)
        << cut;
  }
}

// Every fast method against the byte table: the function the loads and saves call, the
// carry-less folding (the table method where the processor lacks it) and the table method.
struct CrcMethod {
  const char* name;
  uint32_t (*crc)(uint32_t, const uint8_t*, int64_t);
};

void PrintTo(const CrcMethod& method, std::ostream* out) {
  *out << method.name;
}

class FastCrc : public ::testing::TestWithParam<CrcMethod> {};

std::string MethodName(const ::testing::TestParamInfo<CrcMethod>& method) {
  return method.param.name;
}

// The folding takes four 16-byte blocks per step, then single blocks, then single bytes, so
// every length from 0 to 4096 covers each of these remainders.
TEST_P(FastCrc, EqualsTheByteTableForEveryLengthOffsetAndRegister) {
  const auto crc = GetParam().crc;
  std::mt19937_64 rng(0x464F4C44);
  std::vector<uint8_t> pool(4096 + 64);
  for (uint8_t& b : pool)
    b = static_cast<uint8_t>(rng());
  for (int64_t length = 0; length <= 4096; ++length) {
    const size_t offset = rng() % 64;
    const uint32_t initial = (length % 2 == 0) ? kCrcInitial : static_cast<uint32_t>(rng());
    const uint8_t* data = pool.data() + offset;
    ASSERT_EQ(crc(initial, data, length), Crc32Bytewise(initial, data, length))
        << "length " << length << " offset " << offset;
  }
  uint8_t byte = 0x55;
  EXPECT_EQ(crc(0x12345678u, &byte, 0), 0x12345678u);
  EXPECT_EQ(crc(0x12345678u, &byte, -64), 0x12345678u);
}

// Chunk-sized buffers, whole and cut at random points: the register after the first part
// carries the second.
TEST_P(FastCrc, EqualsTheByteTableOnChunkSizedBuffersAndAcrossCuts) {
  const auto crc = GetParam().crc;
  std::mt19937_64 rng(0x43555453);
  std::vector<uint8_t> data((1u << 20) + 77);
  for (uint8_t& b : data)
    b = static_cast<uint8_t>(rng());
  const int64_t n = static_cast<int64_t>(data.size());
  const uint32_t whole = Crc32Bytewise(kCrcInitial, data.data(), n);
  EXPECT_EQ(crc(kCrcInitial, data.data(), n), whole);
  for (int i = 0; i < 20; ++i) {
    const int64_t cut = static_cast<int64_t>(rng() % data.size());
    EXPECT_EQ(crc(crc(kCrcInitial, data.data(), cut), data.data() + cut, n - cut), whole) << cut;
  }
  for (uint8_t fill : {uint8_t{0x00}, uint8_t{0xFF}}) {
    const std::vector<uint8_t> constant(65536 + 63, fill);
    const int64_t m = static_cast<int64_t>(constant.size());
    EXPECT_EQ(crc(kCrcInitial, constant.data(), m), Crc32Bytewise(kCrcInitial, constant.data(), m))
        << int{fill};
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, FastCrc,
                         ::testing::Values(CrcMethod{"Crc32", Crc32},
                                           CrcMethod{"Folded", Crc32Folded},
                                           CrcMethod{"Sliced", Crc32Sliced}),
                         MethodName);

TEST(ByteOrder, BigEndianPutAndBoundedRead) {
  uint8_t buf[5] = {};
  PutU32BigEndian(buf + 1, 0x10EF0100u);
  EXPECT_EQ(buf[1], 0x10);
  EXPECT_EQ(buf[4], 0x00);
  EXPECT_EQ(ReadU32BigEndian(buf, 1), 0x10EF0100u);
  EXPECT_FALSE(ReadU32BigEndian(buf, 2).has_value());
  EXPECT_FALSE(ReadU32BigEndian(buf, 99).has_value());
}

}  // namespace
}  // namespace qtk
