#include "firmware/image/crc32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
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
