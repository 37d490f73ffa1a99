#include "firmware/image/crc32.h"

#include <gtest/gtest.h>

#include <cstring>

#include "firmware/image/byte_order.h"

namespace qtk {
namespace {

TEST(Crc32, CheckValueOfTheNineDigits) {
  const char* text = "123456789";
  EXPECT_EQ(Crc32(kCrcInitial, reinterpret_cast<const uint8_t*>(text), 9), 0x0376E6E7u);
}

TEST(Crc32, CountOfZeroOrLessGivesTheInitialValue) {
  uint8_t byte = 0x55;
  EXPECT_EQ(Crc32(kCrcInitial, &byte, 0), kCrcInitial);
  EXPECT_EQ(Crc32(0x12345678u, &byte, -5), 0x12345678u);
}

TEST(Crc32, ContinuesFromAGivenRegister) {
  const uint8_t data[] = {1, 2, 3, 4, 5, 6};
  uint32_t whole = Crc32(kCrcInitial, data, 6);
  EXPECT_EQ(Crc32(Crc32(kCrcInitial, data, 2), data + 2, 4), whole);
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
