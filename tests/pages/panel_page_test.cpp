// The Panel page model: the character table built from the font and read back, the dot, the
// signal LED patterns and scopes, the bit cells, the key repeat edits and every message.
#include "pages/panel_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "page_env.h"

namespace qtk {
namespace {

using testing::PageEnv;

// The font over the canonical bits with a lit segment as a 0 bit, character then pattern,
// written out independently of the page's own table.
const std::vector<std::pair<int, int>> kExpectedFont = {
    {'.', 0xFE},  {'0', 0x03},  {'1', 0x9F},  {'2', 0x25}, {'3', 0x0D},  {'4', 0x99},  {'5', 0x49},
    {'6', 0x41},  {'7', 0x1F},  {'8', 0x01},  {'9', 0x09}, {'a', 0x11},  {'A', 0x11},  {'b', 0xC1},
    {'B', 0xC1},  {'c', 0x63},  {'C', 0x63},  {'d', 0x85}, {'D', 0x85},  {'e', 0x61},  {'E', 0x61},
    {'f', 0x71},  {'F', 0x71},  {'g', 0x09},  {'G', 0x43}, {'h', 0x91},  {'H', 0x91},  {'i', 0xDF},
    {'I', 0xF3},  {'j', 0x8F},  {'J', 0x8F},  {'l', 0xE3}, {'L', 0xE3},  {'n', 0xD5},  {'N', 0x13},
    {'o', 0xC5},  {'O', 0x03},  {'p', 0x31},  {'P', 0x31}, {'q', 0x19},  {'Q', 0x19},  {'r', 0xF5},
    {'R', 0x11},  {'s', 0x49},  {'S', 0x49},  {'t', 0xE1}, {'T', 0x73},  {'u', 0x83},  {'U', 0x83},
    {':', 0x3F},  {'-', 0xFD},  {'_', 0xEF},  {' ', 0xFF}, {0x81, 0x7F}, {0x82, 0xFB}, {0x83, 0xF7},
    {0x84, 0xF3}, {0x85, 0xBF}, {0x86, 0xDF}, {0x87, 0x9F}};

std::vector<uint16_t> AsVector(const std::array<uint16_t, kFontSize>& table) {
  return {table.begin(), table.end()};
}

TEST(CharacterTable, CanonicalWiringReproducesTheFontAndReadsBack) {
  const auto table = BuildCharacterTable(kCanonicalSegmentBits, 0, -1);
  ASSERT_EQ(kExpectedFont.size(), kFontSize);
  for (size_t i = 0; i < kFontSize; ++i) {
    EXPECT_EQ(table[i] & 0xFF, kExpectedFont[i].first) << i;
    EXPECT_EQ(table[i] >> 8, kExpectedFont[i].second) << i;
  }
  const SegmentReading reading = ReadCharacterTable(AsVector(table), {7, 7, 7, 7, 7, 7, 7, 7});
  EXPECT_EQ(reading.bits, (SegmentBits{0, 1, 2, 3, 4, 5, 6, 7}));  // H=0 ... A=7
  EXPECT_EQ(reading.polarity, 0);
  EXPECT_FALSE(reading.dot_inverted);
}

TEST(CharacterTable, PolarityOneGivesTheComplements) {
  const auto table = BuildCharacterTable(kCanonicalSegmentBits, 1, -1);
  for (size_t i = 0; i < kFontSize; ++i)
    EXPECT_EQ(table[i] >> 8, 0xFF ^ kExpectedFont[i].second) << i;
  const SegmentReading reading = ReadCharacterTable(AsVector(table), {});
  EXPECT_EQ(reading.bits, kCanonicalSegmentBits);
  EXPECT_EQ(reading.polarity, 1);
  EXPECT_FALSE(reading.dot_inverted);
}

TEST(CharacterTable, ToggledDotBitReadsAsInvertedDot) {
  const auto table = BuildCharacterTable(kCanonicalSegmentBits, 0, 0);
  for (size_t i = 0; i < kFontSize; ++i)
    EXPECT_EQ(table[i] >> 8, 0x01 ^ kExpectedFont[i].second) << i;
  EXPECT_EQ(table[52], ' ' | 0xFE << 8);  // the space now lights the dot
  const SegmentReading reading = ReadCharacterTable(AsVector(table), {});
  EXPECT_TRUE(reading.dot_inverted);
  EXPECT_EQ(reading.bits, kCanonicalSegmentBits);
}

// Every wiring, polarity and dot wiring the page can store reads back as it was stored.
TEST(CharacterTable, EveryStoredWiringReadsBack) {
  std::mt19937 random(7720);
  for (int round = 0; round < 400; ++round) {
    SegmentBits bits = kCanonicalSegmentBits;
    std::shuffle(bits.begin(), bits.end(), random);
    const int polarity = static_cast<int>(random() % 2);
    const bool inverted = random() % 2 == 0;
    const auto table = BuildCharacterTable(bits, polarity, inverted ? bits[0] : -1);
    const SegmentReading reading = ReadCharacterTable(AsVector(table), {});
    EXPECT_EQ(reading, (SegmentReading{bits, polarity, inverted})) << round;
  }
}

TEST(CharacterTable, MissingCharactersRevealNothing) {
  SegmentBits start = {7, 6, 5, 4, 3, 2, 1, 0};
  const SegmentReading empty = ReadCharacterTable({}, start);
  // The dot falls back to bit 0; the rest keep their bits.
  EXPECT_EQ(empty.bits, (SegmentBits{0, 6, 5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(empty.polarity, 0);
  EXPECT_FALSE(empty.dot_inverted);
}

class PanelPageTest : public ::testing::Test {
 protected:
  PanelPageTest() {
    // A record as a board leaves the factory: the canonical table with polarity 0.
    Put(BuildCharacterTable(kCanonicalSegmentBits, 0, -1));
    page.Load();
  }
  void Put(const std::array<uint16_t, kFontSize>& table) {
    CustomerSettings& s = env.settings();
    for (size_t i = 0; i < kFontSize; ++i)
      s.SetU16(record::kCharacterTable + 2 * i, table[i]);
    s.SetU32(record::kCharacterTableCount, kFontSize);
    s.RebuildCharacterTable();
  }
  std::vector<uint16_t> StoredTable() const {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < kFontSize; ++i)
      out.push_back(env.project->settings.U16(record::kCharacterTable + 2 * i));
    return out;
  }
  void SetScopes(const std::vector<int>& scopes) {
    for (size_t i = 0; i < scopes.size(); ++i)
      page.EditScope(i, std::to_string(scopes[i]));
  }

  PageEnv env;
  PanelPage page{env.context};
};

TEST_F(PanelPageTest, LoadShowsTheRecord) {
  EXPECT_EQ(page.scan_type.items, (std::vector<std::string>{"Slot Scan", "Shadow Scan"}));
  EXPECT_EQ(page.led_number.items, (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(page.led_number.selection, 3);
  EXPECT_EQ(page.dot_position.items.back(), "Bit 7");
  EXPECT_EQ(page.segment_bits(), kCanonicalSegmentBits);
  EXPECT_EQ(page.led_polarity.selection, 0);
  EXPECT_FALSE(page.dot_com.enabled);
  EXPECT_FALSE(page.dot_polarity.enabled);
  EXPECT_FALSE(page.dot_position.enabled);
  page.SelectDotEnable(1);
  EXPECT_TRUE(page.dot_com.enabled);
  EXPECT_TRUE(page.dot_polarity.enabled);
  EXPECT_FALSE(page.dot_position.enabled);
  EXPECT_FALSE(page.signal_com.enabled);
  page.SetSignalEnabled(true);
  EXPECT_TRUE(page.signal_com.enabled);
  EXPECT_TRUE(page.signal_polarity.enabled);
}

TEST_F(PanelPageTest, StoredDigitCountAboveTheDescriptionWidensTheList) {
  env.settings().SetU8(record::kLedDigits, 0x64);
  page.Load();
  EXPECT_EQ(page.led_number.Count(), 6);
  EXPECT_EQ(page.led_number.selection, 5);
  env.settings().SetU8(record::kLedDigits, 0x00);
  page.Load();
  EXPECT_EQ(page.led_number.Count(), 4);
  EXPECT_FALSE(page.led_number.HasSelection());
}

TEST_F(PanelPageTest, StoreWritesEveryFieldInItsPlace) {
  CustomerSettings& s = env.settings();
  s.SetU8(record::kPanelScanType, 0x8B);  // bits 0-1, 3 and 7 are kept
  page.Load();
  page.scan_type.Select(1);
  page.irp_type.Select(2);
  page.led_number.Select(1);
  page.SetKeyRepeatFirst(600);
  page.SetKeyRepeatNormal(120);
  page.SelectDotEnable(1);
  page.dot_com.Select(2);
  page.dot_polarity.Select(1);
  page.EditSegmentBit(0, "Bit 3");  // H takes E's bit, the dot follows
  EXPECT_EQ(page.dot_position.selection, 3);
  page.SetSignalEnabled(true);
  page.signal_com.Select(4);
  page.signal_polarity.Select(0);
  SetScopes({0, 10, 20, 30, 40, 50, 60, 70, 80});
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(s.U8(record::kPanelScanType), 0xAF);
  EXPECT_EQ(s.U8(record::kLedDigits), 0x20);
  EXPECT_EQ(s.U32(record::kKeyRepeatFirst), 600u);
  EXPECT_EQ(s.U32(record::kKeyRepeatNormal), 120u);
  EXPECT_EQ(s.U8(record::kLedDotEnable), 1);
  EXPECT_EQ(s.U8(record::kLedDotCom), 2);
  EXPECT_EQ(s.U8(record::kLedDotPosition), 3);
  EXPECT_EQ(s.U8(record::kLedDotPolarity), 1);
  EXPECT_EQ(s.U32(record::kCharacterTableCount), 60u);
  // H and E swapped bits; the dot's polarity differs from the LED's, so bit 3 is toggled.
  const auto expected = BuildCharacterTable({3, 1, 2, 0, 4, 5, 6, 7}, 0, 3);
  EXPECT_EQ(StoredTable(), AsVector(expected));
  EXPECT_EQ(s.character_table(), AsVector(expected));
  const std::vector<uint8_t> block(s.bytes().begin() + record::kSignalLedEnable,
                                   s.bytes().begin() + record::kSignalLedEnable + 20);
  EXPECT_EQ(block, (std::vector<uint8_t>{1,    4, 0xFF, 0xFE, 0xFC, 0xF8, 0xF0, 0xE0, 0xC0, 0x80,
                                         0x00, 0, 10,   20,   30,   40,   50,   60,   70,   80}));
  // Read back: the same wiring, bars and scopes.
  PanelPage again(env.context);
  again.Load();
  EXPECT_EQ(again.segment_bits(), (SegmentBits{3, 1, 2, 0, 4, 5, 6, 7}));
  EXPECT_TRUE(again.dot_inverted());
  EXPECT_EQ(again.signal_polarity.selection, 0);
  for (size_t k = 1; k < PanelPage::kSignalRows; ++k)
    EXPECT_EQ(again.signal_bit(k), static_cast<int>(k - 1));
  EXPECT_EQ(again.scope(8), 80);
}

TEST_F(PanelPageTest, SignalBarsLitAsOnesAndReversed) {
  page.SetSignalEnabled(true);
  page.signal_polarity.Select(1);
  page.ReverseDirection();
  EXPECT_EQ(page.signal_bit(1), 7);
  EXPECT_EQ(page.signal_bit(8), 0);
  page.EditSignalBit(1, "Bit 0");  // takes row 8's bit; row 8 gets 7
  EXPECT_EQ(page.signal_bit(8), 7);
  page.EditSignalBit(0, "Bit 5");  // "Dark all" has no bit
  EXPECT_EQ(page.signal_bit(0), -1);
  ASSERT_TRUE(page.Store());
  const auto& b = env.settings().bytes();
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + record::kSignalLedPatterns,
                                 b.begin() + record::kSignalLedPatterns + 9),
            (std::vector<uint8_t>{0x00, 0x01, 0x41, 0x61, 0x71, 0x79, 0x7D, 0x7F, 0xFF}));
  PanelPage again(env.context);
  again.Load();
  EXPECT_EQ(again.signal_polarity.selection, 1);
  EXPECT_EQ(again.signal_bit(1), 0);
  EXPECT_EQ(again.signal_bit(2), 6);
  EXPECT_EQ(again.signal_bit(8), 7);
}

TEST_F(PanelPageTest, DisabledSignalLedWritesOnlyItsSwitch) {
  CustomerSettings& s = env.settings();
  for (size_t i = 341; i < 360; ++i)
    s.SetU8(i, static_cast<uint8_t>(i));
  s.SetU8(record::kSignalLedEnable, 3);
  page.Load();
  EXPECT_TRUE(page.signal_enabled());
  page.SetSignalEnabled(false);
  const CustomerSettings::Bytes before = s.bytes();
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(s.U8(record::kSignalLedEnable), 0);
  for (size_t i = 341; i < 360; ++i)
    EXPECT_EQ(s.U8(i), before[i]) << i;
}

TEST_F(PanelPageTest, ScopesMustNotDecrease) {
  page.SetSignalEnabled(true);
  SetScopes({0, 10, 10, 20, 20, 30, 30, 100, 100});
  EXPECT_TRUE(page.Store());
  EXPECT_TRUE(env.dialogs.messages.empty());

  SetScopes({0, 30, 20, 30, 30, 40, 50, 60, 70});
  const CustomerSettings::Bytes before = env.settings().bytes();
  EXPECT_FALSE(page.Store());
  ASSERT_EQ(env.dialogs.messages.size(), 1u);
  EXPECT_EQ(env.dialogs.messages[0].text,
            "Light segment 2 value should large than Light segment 1");
  EXPECT_EQ(env.dialogs.messages[0].title, "Error");
  EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(env.settings().bytes(), before);
  // Rows are checked from the last one up, each against the rows above it in order.
  env.dialogs.messages.clear();
  SetScopes({50, 60, 70, 80, 90, 95, 96, 97, 40});
  EXPECT_FALSE(page.Store());
  EXPECT_EQ(env.dialogs.LastText(), "Light segment 8 value should large than Dark all");
  // Without the signal LED the scopes are not checked.
  page.SetSignalEnabled(false);
  EXPECT_TRUE(page.Store());
}

TEST_F(PanelPageTest, ScopeCellsTakeZeroToOneHundred) {
  page.EditScope(3, " 100 ");
  EXPECT_EQ(page.scope(3), 100);
  page.EditScope(3, "0");
  EXPECT_EQ(page.scope(3), 0);
  EXPECT_TRUE(env.dialogs.messages.empty());
  page.EditScope(3, "55");
  for (const char* bad : {"101", "0050", "", "5a"}) {
    env.dialogs.messages.clear();
    page.EditScope(3, bad);
    EXPECT_EQ(page.scope(3), 55) << bad;
    EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"the signal scope is in 0 - 100."})
        << bad;
  }
}

TEST_F(PanelPageTest, SameBitRefusedOnlyInTheFirstSystemMode) {
  page.EditSegmentBit(7, "Bit 6");  // A takes B's bit, B gets A's: still a permutation
  EXPECT_EQ(page.segment_bits(), (SegmentBits{0, 1, 2, 3, 4, 5, 7, 6}));
  EXPECT_TRUE(page.Store());
  // The list keeps a permutation; a record may still hold two segments on one bit.
  Put(BuildCharacterTable({0, 1, 2, 3, 4, 5, 6, 6}, 0, -1));
  page.Load();
  env.settings().SetU8(record::kSystemMode, 0);
  const CustomerSettings::Bytes before = env.settings().bytes();
  EXPECT_FALSE(page.Store());
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"A same bit can not be assigned to different LED segments "
                                     "when the debug mode is turned off."});
  EXPECT_EQ(env.settings().bytes(), before);
  env.settings().SetU8(record::kSystemMode, 1);
  EXPECT_TRUE(page.Store());
}

TEST_F(PanelPageTest, EmptyCharacterTableKeepsTheCanonicalWiringAndStores) {
  env.settings().SetU32(record::kCharacterTableCount, 0);
  env.settings().RebuildCharacterTable();
  page.Load();
  EXPECT_EQ(page.segment_bits(), kCanonicalSegmentBits);
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(StoredTable(), AsVector(BuildCharacterTable(kCanonicalSegmentBits, 0, -1)));
}

TEST_F(PanelPageTest, KeyRepeatEditsCutAndRaise) {
  page.SetKeyRepeatFirst(4000);
  EXPECT_EQ(page.key_repeat_first(), 1000);
  EXPECT_TRUE(page.FinishKeyRepeatFirst());
  page.SetKeyRepeatFirst(49);
  EXPECT_FALSE(page.FinishKeyRepeatFirst());
  EXPECT_EQ(page.key_repeat_first(), 50);
  page.SetKeyRepeatNormal(3);
  page.FinishEditing();
  EXPECT_EQ(page.key_repeat_normal(), 50);
  EXPECT_EQ(env.dialogs.Texts(),
            (std::vector<std::string>{"the key repeat first can not low than 50 ms!",
                                      "the key repeat normal can not low than 50 ms!"}));
  // A value the user never touched is never raised.
  env.dialogs.messages.clear();
  env.settings().SetU32(record::kKeyRepeatFirst, 10);
  page.Load();
  EXPECT_TRUE(page.Validate());
  EXPECT_EQ(page.key_repeat_first(), 10);
  EXPECT_TRUE(env.dialogs.messages.empty());
}

TEST_F(PanelPageTest, ImportTakesThePanelPartOfTheFile) {
  CustomerSettings::Bytes file = env.settings().bytes();
  for (size_t i = 0; i < file.size(); ++i)
    file[i] = static_cast<uint8_t>(i * 7 + 3);
  const auto table = BuildCharacterTable({1, 0, 2, 3, 4, 5, 6, 7}, 1, -1);
  for (size_t i = 0; i < kFontSize; ++i) {
    file[record::kCharacterTable + 2 * i] = static_cast<uint8_t>(table[i]);
    file[record::kCharacterTable + 2 * i + 1] = static_cast<uint8_t>(table[i] >> 8);
  }
  file[record::kCharacterTableCount] = 60;
  file[record::kCharacterTableCount + 1] = file[record::kCharacterTableCount + 2] =
      file[record::kCharacterTableCount + 3] = 0;
  CustomerSettings::Bytes expected = env.settings().bytes();
  std::copy(file.begin() + 164, file.begin() + 396, expected.begin() + 164);
  page.ImportSettings(file);
  EXPECT_EQ(env.settings().bytes(), expected);
  EXPECT_EQ(page.segment_bits(), (SegmentBits{1, 0, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(page.led_polarity.selection, 1);
}

}  // namespace
}  // namespace qtk
