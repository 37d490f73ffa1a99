// The Key map page model: the window-key combos, the user codes, the key cells with their
// rules and messages, the packed tables with one and two user codes, and the import.
#include "pages/key_map_page.h"

#include <gtest/gtest.h>

#include <random>

#include "page_env.h"
#include "pages/record_fields.h"

namespace qtk {
namespace {

using testing::PageEnv;
using Key = KeyMapPage::WindowKey;

struct Entry {
  uint16_t scan;
  uint8_t key;
  uint8_t mark;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> Table(const CustomerSettings& s, size_t at, size_t count) {
  std::vector<Entry> out;
  for (size_t i = 0; i < count; ++i)
    out.push_back({s.U16(at + 4 * i), s.U8(at + 4 * i + 2), s.U8(at + 4 * i + 3)});
  return out;
}

// The codes of the IR list as values, row by row: the texts may differ in their digits.
std::vector<std::array<unsigned, 2>> IrValues(const KeyMapPage& page) {
  std::vector<std::array<unsigned, 2>> out;
  for (const KeyMapPage::IrRow& r : page.ir_rows())
    out.push_back({HexFieldValue(r.keys[0], 0xFFFF), HexFieldValue(r.keys[1], 0xFFFF)});
  return out;
}

std::vector<std::string> PanelTexts(const KeyMapPage& page) {
  std::vector<std::string> out;
  for (const KeyMapPage::PanelRow& r : page.panel_rows())
    out.push_back(r.key);
  return out;
}

std::vector<Entry> Filled(std::vector<Entry> used, size_t count, uint8_t mark) {
  used.resize(count, Entry{0, 0xFF, mark});
  return used;
}

// A description with more keys than the tables hold.
testdata::DescriptionSpec ManyKeys() {
  testdata::DescriptionSpec d = testdata::RealisticDescription();
  std::vector<std::string> ir, panel;
  for (int i = 0; i < 60; ++i)
    ir.push_back("IR " + std::to_string(i) + "," + std::to_string(i));
  for (int i = 0; i < 9; ++i)
    panel.push_back("Panel " + std::to_string(i) + "," + std::to_string(i));
  d.SetItems("IRKey", ir);
  d.SetItems("PanelKey", panel);
  return d;
}

class KeyMapPageTest : public ::testing::Test {
 protected:
  explicit KeyMapPageTest(testdata::DescriptionSpec description = testdata::RealisticDescription())
      : env({}, std::move(description)) {
    page.Load();
  }
  PageEnv env;
  KeyMapPage page{env.context};
};

TEST(UserCodeValue, HexDigitsUpToTheClosingH) {
  EXPECT_EQ(UserCodeValue(""), 0);
  EXPECT_EQ(UserCodeValue("00ff"), 0xFF);
  EXPECT_EQ(UserCodeValue("BEEF"), 0xBEEF);
  EXPECT_EQ(UserCodeValue("1fh"), 0x1F);
  EXPECT_EQ(UserCodeValue("12h4"), 0x12);
  EXPECT_EQ(UserCodeValue("h"), 0);
}

TEST_F(KeyMapPageTest, UserCodeEditsTakeOnlyTheirCharacters) {
  EXPECT_EQ(page.user_code(0), "00ff");
  EXPECT_EQ(page.user_code(1), "0000");
  EXPECT_FALSE(page.two_user_codes());
  EXPECT_FALSE(page.SetUserCode(0, "00fg"));
  EXPECT_EQ(page.user_code(0), "00ff");
  EXPECT_FALSE(page.SetUserCode(0, "12345"));
  EXPECT_TRUE(page.SetUserCode(0, "7fh"));
  EXPECT_TRUE(page.SetUserCode(1, "a5"));
  EXPECT_TRUE(page.two_user_codes());
  EXPECT_TRUE(page.SetUserCode(1, "0"));
  EXPECT_FALSE(page.two_user_codes());
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U16(record::kIrUserCode), 0x7F);
  EXPECT_EQ(env.settings().U16(record::kSecondIrUserCode), 0);
}

TEST_F(KeyMapPageTest, WindowKeysClashWithTheOtherTwoCombos) {
  // Pause RED, Preview PREVIEW, DView DVIEW.
  page.SelectWindowKey(Key::kPause, 1);
  EXPECT_EQ(env.settings().U8(record::kPauseWindowKey), 1);
  page.SelectWindowKey(Key::kDView, 2);  // "RED" again
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"Pause window has set the same key!"});
  EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(page.dview_window.selection, 0);
  EXPECT_EQ(env.settings().U8(record::kDViewWindowKey), 0);
  page.SelectWindowKey(Key::kDView, 1);    // BLUE
  page.SelectWindowKey(Key::kPreview, 2);  // BLUE
  EXPECT_EQ(env.dialogs.LastText(), "DView window has set the same key!");
  EXPECT_EQ(page.preview_window.selection, 0);
}

TEST(KeyMapWindowKeys, EveryClashMessageIgnoringCase) {
  testdata::DescriptionSpec d = testdata::RealisticDescription();
  d.SetItems("PauseKeyWindow", {"PAUSE", "Red", "Blue"});
  d.SetItems("PreviewKeyWindow", {"PREVIEW", "red", "BLUE"});
  d.SetItems("DViewKeyWindow", {"DVIEW", "blue", "RED"});
  PageEnv env({}, d);
  KeyMapPage page(env.context);
  page.Load();
  page.SelectWindowKey(Key::kPreview, 1);
  page.SelectWindowKey(Key::kPause, 1);  // Red = red of Preview
  page.SelectWindowKey(Key::kDView, 2);  // RED = red of Preview; Pause is still PAUSE
  page.SelectWindowKey(Key::kDView, 1);
  page.SelectWindowKey(Key::kPause, 2);    // Blue = blue of DView
  page.SelectWindowKey(Key::kPreview, 2);  // BLUE = blue of DView
  page.SelectWindowKey(Key::kPreview, 0);
  page.SelectWindowKey(Key::kDView, 0);
  page.SelectWindowKey(Key::kPause, 2);
  page.SelectWindowKey(Key::kPreview, 2);  // BLUE = Blue of Pause
  page.SelectWindowKey(Key::kDView, 1);    // blue = Blue of Pause
  EXPECT_EQ(env.dialogs.Texts(), (std::vector<std::string>{
                                     "Preview window has set the same key!",
                                     "Preview window has set the same key!",
                                     "DView window has set the same key!",
                                     "DView window has set the same key!",
                                     "Pause window has set the same key!",
                                     "Pause window has set the same key!",
                                 }));
  EXPECT_EQ(env.settings().U8(record::kPauseWindowKey), 2);
  EXPECT_EQ(env.settings().U8(record::kPreviewWindowKey), 0);
  EXPECT_EQ(env.settings().U8(record::kDViewWindowKey), 0);
}

TEST_F(KeyMapPageTest, KeyCellLengthAndDuplicates) {
  page.EditPanelKey(0, " 12ab ");
  EXPECT_EQ(page.panel_rows()[0].key, "12ab");
  page.EditPanelKey(1, "1 2ab");
  EXPECT_EQ(page.panel_rows()[1].key, "");
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"The key value is too long."});
  page.EditPanelKey(1, "12AB");
  EXPECT_EQ(env.dialogs.LastText(), "the scan codes of Key [Menu] is duplicate with Key [Power]!");
  EXPECT_EQ(page.panel_rows()[1].key, "");
  page.EditPanelKey(1, "0");  // 0 is taken without any check
  EXPECT_EQ(page.panel_rows()[1].key, "0");

  env.dialogs.messages.clear();
  page.EditIrKey(2, 0, "40");
  page.EditIrKey(5, 1, "0040");
  EXPECT_EQ(
      env.dialogs.Texts(),
      std::vector<std::string>{"the scan codes of Key [Key 3] is duplicate with Key [Key 0]!"});
  EXPECT_EQ(page.ir_rows()[5].keys[1], "");
  page.EditIrKey(2, 1, "40");  // the same row's other cell counts too
  EXPECT_EQ(env.dialogs.LastText(), "the scan codes of Key [Key 0] is duplicate with Key [Key 0]!");
}

TEST_F(KeyMapPageTest, TwoUserCodesCompareEachColumnOnItsOwn) {
  ASSERT_TRUE(page.SetUserCode(1, "1234"));
  page.EditIrKey(2, 0, "40");
  page.EditIrKey(5, 1, "40");
  EXPECT_EQ(page.ir_rows()[5].keys[1], "40");
  page.EditIrKey(6, 1, "40");
  EXPECT_EQ(
      env.dialogs.Texts(),
      std::vector<std::string>{"the scan codes of Key [Key 4] is duplicate with Key [Key 3]!"});
}

class KeyMapLimitsTest : public KeyMapPageTest {
 protected:
  KeyMapLimitsTest() : KeyMapPageTest(ManyKeys()) {}
  // Non-zero codes in `count` IR cells, column 1 first.
  void FillIr(int count) {
    for (int i = 0; i < count; ++i)
      page.EditIrKey(i % 60, i / 60, HexText(static_cast<unsigned>(0x100 + i), 4));
  }
};

TEST_F(KeyMapLimitsTest, TheIrCellsHoldNinetySixCodes) {
  for (size_t r = 0; r < page.ir_rows().size(); ++r) {
    page.EditIrKey(static_cast<int>(r), 0, "");
    page.EditIrKey(static_cast<int>(r), 1, "");
  }
  FillIr(96);
  EXPECT_TRUE(env.dialogs.messages.empty());
  page.EditIrKey(40, 1, "7777");
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"The IR keymap number can not over 96!"});
  EXPECT_EQ(page.ir_rows()[40].keys[1], "");
  // With two user codes the two separators take two of the entries.
  env.dialogs.messages.clear();
  page.EditIrKey(35, 1, "");
  page.EditIrKey(34, 1, "");
  ASSERT_TRUE(page.SetUserCode(1, "0001"));
  page.EditIrKey(34, 1, "7777");
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"The IR keymap number can not over 96!"});
}

TEST_F(KeyMapLimitsTest, StoreRefusesTablesThatDoNotFit) {
  for (int i = 0; i < 9; ++i)
    page.EditPanelKey(i, HexText(static_cast<unsigned>(i + 1), 4));
  const CustomerSettings::Bytes before = env.settings().bytes();
  EXPECT_FALSE(page.Store());
  EXPECT_EQ(env.dialogs.LastText(), "the Panel only support 8 keys");
  EXPECT_TRUE(std::equal(before.begin() + record::kPanelKeyMap,
                         before.begin() + record::kIrUserCode + 2,
                         env.settings().bytes().begin() + record::kPanelKeyMap));
  page.EditPanelKey(8, "");

  // 95 codes fit one user code; with a second one the two separators make 97.
  for (size_t r = 0; r < page.ir_rows().size(); ++r) {
    page.EditIrKey(static_cast<int>(r), 0, "");
    page.EditIrKey(static_cast<int>(r), 1, "");
  }
  FillIr(95);
  EXPECT_TRUE(page.Store());
  ASSERT_TRUE(page.SetUserCode(1, "0001"));
  env.dialogs.messages.clear();
  const CustomerSettings::Bytes stored = env.settings().bytes();
  EXPECT_FALSE(page.Store());
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"the IR only support 96 keys"});
  EXPECT_TRUE(std::equal(stored.begin() + record::kIrKeyMap,
                         stored.begin() + record::kIrKeyMap + 384,
                         env.settings().bytes().begin() + record::kIrKeyMap));
}

TEST_F(KeyMapPageTest, TablesWithOneAndTwoUserCodes) {
  for (size_t r = 0; r < page.ir_rows().size(); ++r) {
    page.EditIrKey(static_cast<int>(r), 0, "");
    page.EditIrKey(static_cast<int>(r), 1, "");
  }
  page.EditPanelKey(0, "");
  page.EditPanelKey(3, "a1");
  page.EditPanelKey(1, "b2");
  page.EditIrKey(1, 0, "11");  // Mute, code 1
  page.EditIrKey(1, 1, "22");
  page.EditIrKey(4, 1, "33");  // Key 2, code 4
  page.EditIrKey(0, 0, "44");  // Power, code 0
  ASSERT_TRUE(page.Store());
  const CustomerSettings& s = env.settings();
  EXPECT_EQ(Table(s, record::kPanelKeyMap, 8), Filled({{0xB2, 1, 1}, {0xA1, 3, 1}}, 8, 1));
  EXPECT_EQ(Table(s, record::kIrKeyMap, 96),
            Filled({{0x44, 0, 0}, {0x11, 1, 0}, {0x22, 1, 0}, {0x33, 4, 0}}, 96, 0));

  ASSERT_TRUE(page.SetUserCode(1, "00c3"));
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(s.U16(record::kSecondIrUserCode), 0xC3);
  EXPECT_EQ(
      Table(s, record::kIrKeyMap, 96),
      Filled({{0x44, 0, 0}, {0x11, 1, 0}, {0, 0xFE, 0}, {0x22, 1, 0}, {0x33, 4, 0}, {0, 0xFE, 0}},
             96, 0));
  KeyMapPage again(env.context);
  again.Load();
  EXPECT_EQ(IrValues(again), IrValues(page));
  EXPECT_EQ(again.ir_rows()[1].keys[1], "0022");
  EXPECT_EQ(again.panel_rows()[3].key, "00a1");
}

// Key maps edited at random, stored and read again come back row for row; with one user code
// a row's codes come back packed from the first column.
TEST_F(KeyMapPageTest, EditedKeyMapsLoadBackIntoTheSameRows) {
  std::mt19937 random(11);
  for (int round = 0; round < 60; ++round) {
    const bool two = round % 2 == 1;
    ASSERT_TRUE(page.SetUserCode(1, two ? "5a5a" : "0000"));
    std::vector<std::array<unsigned, 2>> codes(page.ir_rows().size());
    unsigned next = 1 + round * 100;
    for (size_t r = 0; r < codes.size(); ++r) {
      for (int c = 0; c < 2; ++c) {
        codes[r][c] = random() % 3 == 0 ? next++ : 0;
        page.EditIrKey(static_cast<int>(r), c, codes[r][c] ? HexText(codes[r][c], 4) : "");
      }
    }
    for (size_t r = 0; r < page.panel_rows().size(); ++r)
      page.EditPanelKey(static_cast<int>(r), random() % 2 ? HexText(0x9000 + r, 4) : "");
    ASSERT_TRUE(env.dialogs.messages.empty()) << env.dialogs.LastText();
    ASSERT_TRUE(page.Store());
    KeyMapPage again(env.context);
    again.Load();
    EXPECT_EQ(PanelTexts(again), PanelTexts(page)) << round;
    for (size_t r = 0; r < codes.size(); ++r) {
      std::array<unsigned, 2> expected = codes[r];
      if (!two && expected[0] == 0)
        std::swap(expected[0], expected[1]);
      for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(again.ir_rows()[r].keys[c], expected[c] ? HexText(expected[c], 4) : "")
            << round << " row " << r;
      }
    }
  }
}

TEST_F(KeyMapPageTest, ImportTakesTheIrPartAndLeavesTheWindowKeysToTheStore) {
  page.EditPanelKey(2, "abcd");
  CustomerSettings::Bytes file = env.settings().bytes();
  for (size_t i = 0; i < file.size(); ++i)
    file[i] = static_cast<uint8_t>(i % 13);
  for (size_t i = 0; i < 96; ++i) {  // Key 0 .. in the first column, the rest unused
    file[record::kIrKeyMap + 4 * i] = static_cast<uint8_t>(i < 5 ? 0x60 + i : 0);
    file[record::kIrKeyMap + 4 * i + 1] = 0;
    file[record::kIrKeyMap + 4 * i + 2] = static_cast<uint8_t>(i < 5 ? 2 + i : 0xFF);
    file[record::kIrKeyMap + 4 * i + 3] = 0;
  }
  file[record::kSecondIrUserCode] = file[record::kSecondIrUserCode + 1] = 0;
  file[record::kPauseWindowKey] = 2;
  file[record::kPreviewWindowKey] = 1;
  file[record::kDViewWindowKey] = 2;
  CustomerSettings::Bytes expected = env.settings().bytes();
  std::copy(file.begin() + 396, file.begin() + 782, expected.begin() + 396);
  std::copy_n(file.begin() + 1128, 2, expected.begin() + 1128);
  page.ImportSettings(file);
  EXPECT_EQ(env.settings().bytes(), expected);
  EXPECT_EQ(page.pause_window.selection, 2);
  EXPECT_EQ(page.preview_window.selection, 1);
  EXPECT_EQ(page.dview_window.selection, 2);
  EXPECT_EQ(page.ir_rows()[2].keys[0], "0060");
  EXPECT_EQ(page.ir_rows()[6].keys[0], "0064");
  EXPECT_EQ(page.user_code(0), HexText(expected[780] | expected[781] << 8, 4));
  EXPECT_EQ(page.panel_rows()[2].key, "abcd");  // the panel list keeps its edit
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U8(record::kPauseWindowKey), 2);
  EXPECT_EQ(env.settings().U8(record::kDViewWindowKey), 2);
}

}  // namespace
}  // namespace qtk
