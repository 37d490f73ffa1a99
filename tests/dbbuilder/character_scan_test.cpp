#include "dbbuilder/character_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace qtk::dbbuilder {
namespace {

using Codes = std::vector<uint16_t>;

Codes Scan(std::string_view text) {
  return ScanCharacters(test::Bytes(text));
}

TEST(CharacterScan, EachCharacterOnceInAscendingOrder) {
  // Two GB2312 words, each used twice, amid ASCII.
  const std::string zhongwen = "\xD6\xD0\xCE\xC4";
  const std::string ceshi = "\xB2\xE2\xCA\xD4";
  const std::string list =
      "*" + zhongwen + "\tx\r\n" + ceshi + "\t1\r\n" + zhongwen + ceshi + "\r\n";
  EXPECT_EQ(Scan(list), (Codes{0xB2E2, 0xCAD4, 0xCEC4, 0xD6D0}));
  EXPECT_EQ(FormatCharacterList(Scan(list)), "\xB2\xE2\xCA\xD4\xCE\xC4\xD6\xD0");
}

TEST(CharacterScan, LeadAndTrailByteRules) {
  EXPECT_EQ(Scan("\xAF\xA1\xB0\xA1x"), (Codes{0xB0A1}));  // 0xAF is no lead byte
  EXPECT_EQ(Scan("\xB0\xA0\xB1\xA1x"), (Codes{0xB1A1}));  // trail below 0xA1: pair dropped
  // The trail byte is consumed whatever it is: B0 B1 is a pair, so B1 A1 is not.
  EXPECT_EQ(Scan("\xB0\xB1\xA1x"), (Codes{0xB0B1}));
  EXPECT_EQ(Scan("\xFF\xFF\xFF\xFEx"), (Codes{0xFFFE}));  // FF FF is never collected
}

TEST(CharacterScan, EveryPairOfTheRangeIsCollectedInOrder) {
  // Every two-byte pair with a lead byte from 0xB0, in descending order: exactly the pairs
  // with a trail byte from 0xA1 come back, ascending, FF FF left out.
  std::string text;
  Codes expected;
  for (int lead = 0xFF; lead >= 0xB0; --lead) {
    for (int trail = 0xFF; trail >= 0; --trail) {
      text += static_cast<char>(lead);
      text += static_cast<char>(trail);
    }
  }
  for (unsigned lead = 0xB0; lead <= 0xFF; ++lead) {
    for (unsigned trail = 0xA1; trail <= 0xFF; ++trail) {
      if ((lead << 8 | trail) != 0xFFFF)
        expected.push_back(static_cast<uint16_t>(lead << 8 | trail));
    }
  }
  EXPECT_EQ(Scan(text), expected);
  EXPECT_EQ(expected.size(), 80u * 95u - 1u);
}

TEST(CharacterScan, TheLastByteIsNeverALeadByte) {
  EXPECT_EQ(Scan("ab\xB0"), Codes{});
  EXPECT_EQ(Scan("\xB0\xA1"), (Codes{0xB0A1}));  // the pair may end the file
  EXPECT_EQ(Scan("a\xB0\xA1"), (Codes{0xB0A1}));
  EXPECT_EQ(Scan("\xB0"), Codes{});
  EXPECT_EQ(Scan(""), Codes{});
}

TEST(CharacterScan, SixteenCharactersPerLine) {
  EXPECT_EQ(FormatCharacterList({}), "");
  Codes codes;
  std::string sixteen;
  for (uint16_t i = 0; i < 17; ++i) {
    codes.push_back(static_cast<uint16_t>(0xB0A1 + i));
    if (i < 16)
      sixteen += std::string{'\xB0', static_cast<char>(0xA1 + i)};
  }
  EXPECT_EQ(FormatCharacterList(std::span(codes).first(16)), sixteen + "\n");
  EXPECT_EQ(FormatCharacterList(codes), sixteen + "\n\xB0\xB1");
}

}  // namespace
}  // namespace qtk::dbbuilder
