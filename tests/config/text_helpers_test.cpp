#include "config/text_helpers.h"

#include <gtest/gtest.h>

namespace qtk {
namespace {

using Fields = std::vector<std::string>;

TEST(Trim, ModesAndSets) {
  EXPECT_EQ(Trim(" \t a b \t "), "a b");
  EXPECT_EQ(Trim(" \t a b \t ", TrimMode::kLeading), "a b \t ");
  EXPECT_EQ(Trim(" \t a b \t ", TrimMode::kTrailing), " \t a b");
  EXPECT_EQ(Trim("xxaxx", TrimMode::kBoth, "x"), "a");
  EXPECT_EQ(Trim("  a  ", TrimMode::kBoth, "x"), "  a  ");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim(" \t \t"), "");
  EXPECT_EQ(static_cast<int>(TrimMode::kBoth), 0);
  EXPECT_EQ(static_cast<int>(TrimMode::kLeading), 1);
  EXPECT_EQ(static_cast<int>(TrimMode::kTrailing), 2);
}

TEST(IsDecimal, DigitsAndOptionalSign) {
  EXPECT_TRUE(IsDecimal("0"));
  EXPECT_TRUE(IsDecimal("0255"));
  EXPECT_FALSE(IsDecimal(""));
  EXPECT_FALSE(IsDecimal("3x"));
  EXPECT_FALSE(IsDecimal(" 3"));
  EXPECT_FALSE(IsDecimal("-3"));
  EXPECT_FALSE(IsDecimal("+3"));
  EXPECT_TRUE(IsDecimal("-3", true));
  EXPECT_TRUE(IsDecimal("+3", true));
  EXPECT_FALSE(IsDecimal("-", true));
  EXPECT_FALSE(IsDecimal("+-3", true));
}

TEST(DecimalValue, NeverWraps) {
  EXPECT_EQ(DecimalValue("000255"), 255u);
  EXPECT_EQ(DecimalValue("4294967295"), 4294967295u);
  EXPECT_EQ(DecimalValue("4294967296"), std::nullopt);
  EXPECT_EQ(DecimalValue("-1"), std::nullopt);
  EXPECT_EQ(DecimalByte("255"), 255);
  EXPECT_EQ(DecimalByte("256"), std::nullopt);
  EXPECT_EQ(DecimalByte("4294967297"), std::nullopt);  // 2^32 + 1 must not read as 1
  EXPECT_EQ(DecimalByte(""), std::nullopt);
}

TEST(IsHex, PrefixRules) {
  EXPECT_FALSE(IsHex("0x", true));
  EXPECT_TRUE(IsHex("0X1f", true));
  EXPECT_TRUE(IsHex("0xAbC9", true));
  EXPECT_FALSE(IsHex("1f", true));
  EXPECT_FALSE(IsHex("0x1g", true));
  EXPECT_FALSE(IsHex("x1f", true));
  EXPECT_TRUE(IsHex("1f", false));
  EXPECT_FALSE(IsHex("0x1f", false));
  EXPECT_FALSE(IsHex("", false));
}

TEST(HexValue, ValuesAndTheThirtyTwoBitBound) {
  EXPECT_EQ(HexValue("0x1F", true), 31u);
  EXPECT_EQ(HexValue("1f", false), 31u);
  EXPECT_EQ(HexValue("0xFFFFFFFF", true), 0xFFFFFFFFu);
  EXPECT_EQ(HexValue("0x00000000C2", true), 0xC2u);  // leading zeros do not count
  // Not hexadecimal: 0, as the pages expect after their own IsHex test.
  EXPECT_EQ(HexValue("0x", true), 0u);
  EXPECT_EQ(HexValue("zz", false), 0u);
  // Too large: never the low 32 bits.
  EXPECT_EQ(HexValue("0x1000000C2", true), std::nullopt);
  EXPECT_EQ(HexValue("100000000", false), std::nullopt);
  EXPECT_EQ(HexByte("0xFF"), 0xFF);
  EXPECT_EQ(HexByte("0x100"), std::nullopt);
  EXPECT_EQ(HexByte("0x1000000C2"), std::nullopt);
  EXPECT_EQ(HexByte("C2"), std::nullopt);
}

TEST(SplitFields, CutsFromTheRight) {
  Fields f;
  ASSERT_TRUE(SplitFields("a, b ,c", 3, f));
  EXPECT_EQ(f, (Fields{"a", "b", "c"}));
  ASSERT_TRUE(SplitFields("a,b,c,d", 3, f));
  EXPECT_EQ(f, (Fields{"a,b", "c", "d"}));
  ASSERT_TRUE(SplitFields(" only ", 1, f));
  EXPECT_EQ(f, (Fields{"only"}));
  EXPECT_FALSE(SplitFields("a,b", 3, f));
  EXPECT_FALSE(SplitFields("a,b,", 3, f));
  EXPECT_FALSE(SplitFields(",a,b", 3, f));
  EXPECT_FALSE(SplitFields("a, ,b", 3, f));
  EXPECT_FALSE(SplitFields(" ,a,b", 3, f));
  EXPECT_FALSE(SplitFields("", 1, f));
  EXPECT_FALSE(SplitFields("a", 0, f));
}

}  // namespace
}  // namespace qtk
