#include "pages/language_page.h"

#include <gtest/gtest.h>

#include "page_env.h"

namespace qtk {
namespace {

using testing::PageEnv;

// The record's language fields: count, current, mask, then the sixteen table bytes.
struct LanguageFields {
  int count;
  int current;
  int mask;
  std::vector<int> table;
  bool operator==(const LanguageFields&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const LanguageFields& f) {
    out << "count " << f.count << ", current " << f.current << ", mask " << f.mask << ", table";
    for (int b : f.table)
      out << " " << b;
    return out;
  }
};

LanguageFields Read(const CustomerSettings& s) {
  LanguageFields f{s.U8(8), s.U8(9), s.U16(10), {}};
  for (size_t r = 0; r < 16; ++r)
    f.table.push_back(s.U8(12 + r));
  return f;
}

void PutLanguages(CustomerSettings& s, int current, int mask, const std::vector<int>& table) {
  s.SetU8(record::kLanguageCount, static_cast<uint8_t>(table.size()));
  s.SetU8(record::kCurrentLanguage, static_cast<uint8_t>(current));
  s.SetU16(record::kLanguageEnableMask, static_cast<uint16_t>(mask));
  for (size_t r = 0; r < table.size(); ++r)
    s.SetU8(record::kLanguageTable + r, static_cast<uint8_t>(table[r]));
}

std::vector<std::string> Names(const LanguagePage& page) {
  std::vector<std::string> out;
  for (const LanguagePage::Row& r : page.rows())
    out.push_back(r.name + "/" + r.enable);
  return out;
}

std::vector<bool> Buttons(const LanguagePage& page) {
  return {page.add_enabled(), page.remove_enabled(), page.up_enabled(), page.down_enabled()};
}

class LanguagePageTest : public ::testing::Test {
 protected:
  explicit LanguagePageTest(
      testdata::DescriptionSpec description = testdata::RealisticDescription())
      : env({}, std::move(description)) {}
  LanguagePage& Loaded() {
    page.Load();
    return page;
  }
  PageEnv env;
  LanguagePage page{env.context};
};

TEST_F(LanguagePageTest, LoadShowsRowsReservedLanguagesAndTheCurrentOne) {
  PutLanguages(env.settings(), 2, 0b1101, {1, 0, 3, 40, 12});
  Loaded();
  EXPECT_EQ(page.GetName(), "Language");
  EXPECT_TRUE(page.loaded());
  // 0 and a number past the list's twelve names both show "language %d".
  EXPECT_EQ(Names(page), (std::vector<std::string>{"English/On", "language 2/Off", "German/On",
                                                   "language 4/On", "Greek/Off"}));
  EXPECT_EQ(page.reserved(),
            (std::vector<std::string>{"French", "Italian", "Spanish", "Portuguese", "Russian",
                                      "Turkish", "Arabic", "Persian", "Polish"}));
  EXPECT_EQ(page.current.items, (std::vector<std::string>{"English", "German", "language 4"}));
  EXPECT_EQ(page.current.SelectedText(), "German");  // row 2, the stored current row
  EXPECT_EQ(Buttons(page), (std::vector<bool>{false, false, false, false}));
  EXPECT_TRUE(page.adding_shown());
  EXPECT_TRUE(page.moving_shown());
}

TEST_F(LanguagePageTest, LoadThenStoreKeepsEveryLanguageField) {
  for (const auto& [current, mask] :
       std::vector<std::pair<int, int>>{{0, 0b111}, {2, 0b101}, {1, 0b110}, {2, 0b1111}}) {
    PutLanguages(env.settings(), current, mask, {3, 1, 2, 7});
    const LanguageFields before = Read(env.settings());
    ASSERT_TRUE(Loaded().Store());
    EXPECT_EQ(Read(env.settings()), before) << current << " " << mask;
  }
}

TEST_F(LanguagePageTest, ADisabledStoredRowCountsAmongTheEnabledOnes) {
  // Row 1 is current but disabled: the combo takes the entry at position 1 among the enabled
  // rows, and a store names that entry's row.
  PutLanguages(env.settings(), 1, 0b1101, {1, 2, 3, 4});
  Loaded();
  EXPECT_EQ(page.current.SelectedText(), "German");
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U8(9), 2);
  // A stored number past the enabled entries selects the last one.
  PutLanguages(env.settings(), 9, 0b0011, {1, 2, 3, 4});
  Loaded();
  EXPECT_EQ(page.current.SelectedText(), "French");
}

TEST_F(LanguagePageTest, AStoredCountPastTheTableIsCutToSixteenRows) {
  PutLanguages(env.settings(), 0, 0xFFFF, std::vector<int>(16, 0));
  env.settings().SetU8(record::kLanguageCount, 200);
  Loaded();
  EXPECT_EQ(page.rows().size(), 16u);
  EXPECT_EQ(page.rows()[15].name, "language 16");
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U8(8), 16);
  EXPECT_EQ(env.settings().U8(record::kMaxVolume), 32);  // the byte after the table
}

TEST_F(LanguagePageTest, StoreWritesRowsMaskAndTheChosenRowByteForByte) {
  Loaded();                // English, French, German, all enabled
  page.SelectReserved(5);  // Arabic
  page.Add();
  page.SelectRow(0);
  page.MoveDown();  // French, English, German, Arabic
  page.SetRowEnable(2, "Off");
  page.SelectCurrent(2);  // Arabic
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(Read(env.settings()),
            (LanguageFields{4, 3, 0b1011, {2, 1, 3, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}));
}

TEST_F(LanguagePageTest, TheChosenRowIsStoredNotTheFirstWhoseNameBeginsLikeIt) {
  PutLanguages(env.settings(), 0, 0b11, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  env.settings().SetU16(record::kLanguageEnableMask, 0x3FF);
  Loaded();
  page.SelectRow(9);  // "language 10" to the top
  while (page.up_enabled())
    page.MoveUp();
  page.SelectCurrent(1);  // "language 1", now row 1
  ASSERT_EQ(page.current.SelectedText(), "language 1");
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U8(9), 1);
}

TEST_F(LanguagePageTest, AddingStopsAtMaxSupportCount) {
  Loaded();
  page.SelectRow(0);
  EXPECT_FALSE(page.add_enabled());  // nothing reserved chosen yet
  for (int n = 3; n < 8; ++n) {
    page.SelectReserved(0);
    EXPECT_TRUE(page.add_enabled());
    page.Add();
    EXPECT_FALSE(page.add_enabled());
    EXPECT_EQ(page.selected_reserved(), -1);
  }
  EXPECT_EQ(page.rows().size(), 8u);
  EXPECT_EQ(page.enable_mask(), 0xFF);
  EXPECT_EQ(page.rows()[3].name, "Italian");
  EXPECT_EQ(page.reserved().size(), 4u);
  page.SelectReserved(0);
  EXPECT_FALSE(page.add_enabled());
  page.Add();
  EXPECT_EQ(page.rows().size(), 8u);
  EXPECT_EQ(page.current.Count(), 8);
}

TEST_F(LanguagePageTest, RemovingRebuildsTheMaskAndKeepsTheReservedChoice) {
  PutLanguages(env.settings(), 0, 0b1010, {1, 2, 3, 4});
  Loaded();
  page.SelectReserved(0);  // Spanish
  page.SelectRow(0);
  EXPECT_EQ(Buttons(page), (std::vector<bool>{true, true, false, true}));
  page.Remove();
  EXPECT_EQ(Names(page), (std::vector<std::string>{"French/On", "German/Off", "Italian/On"}));
  EXPECT_EQ(page.enable_mask(), 0b101);
  EXPECT_EQ(page.reserved()[page.selected_reserved()], "Spanish");
  EXPECT_EQ(page.reserved()[0], "English");
  EXPECT_EQ(page.selected_row(), -1);
  EXPECT_EQ(Buttons(page), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(page.current.items, (std::vector<std::string>{"French", "Italian"}));
}

TEST_F(LanguagePageTest, OneRowCanNeitherBeRemovedNorMoved) {
  PutLanguages(env.settings(), 0, 1, {5});
  Loaded();
  page.SelectRow(0);
  EXPECT_EQ(Buttons(page), (std::vector<bool>{false, false, false, false}));
  page.Remove();
  page.MoveDown();
  EXPECT_EQ(Names(page), (std::vector<std::string>{"Spanish/On"}));
}

TEST_F(LanguagePageTest, MovingSwapsMaskBitsAndFollowsTheEnds) {
  PutLanguages(env.settings(), 0, 0b001, {1, 2, 3});
  Loaded();
  page.SelectRow(0);
  EXPECT_FALSE(page.up_enabled());
  page.MoveUp();  // nothing above row 0
  page.MoveDown();
  EXPECT_EQ(Names(page), (std::vector<std::string>{"French/Off", "English/On", "German/Off"}));
  EXPECT_EQ(page.enable_mask(), 0b010);
  EXPECT_EQ(page.selected_row(), 1);
  EXPECT_TRUE(page.up_enabled() && page.down_enabled());
  page.MoveDown();
  EXPECT_FALSE(page.down_enabled());
  page.MoveDown();
  EXPECT_EQ(page.enable_mask(), 0b100);
  EXPECT_EQ(page.current.SelectedText(), "English");
}

TEST_F(LanguagePageTest, TheCurrentLanguageStaysChosenUntilItIsDisabled) {
  Loaded();
  page.SelectCurrent(1);  // French
  page.SelectRow(1);
  page.MoveUp();
  EXPECT_EQ(page.current.SelectedText(), "French");
  page.SetRowEnable(2, "Off");  // German
  EXPECT_EQ(page.current.SelectedText(), "French");
  page.SetRowEnable(0, "Off");  // French itself: the entry at its place follows
  EXPECT_EQ(page.current.items, (std::vector<std::string>{"English"}));
  EXPECT_EQ(page.current.SelectedText(), "English");
}

TEST_F(LanguagePageTest, TheLastEnabledLanguageCannotBeDisabled) {
  PutLanguages(env.settings(), 0, 0b011, {1, 2, 3});
  Loaded();
  page.SetRowEnable(0, "Off");
  EXPECT_EQ(page.current.items, (std::vector<std::string>{"French"}));
  EXPECT_TRUE(env.dialogs.messages.empty());
  page.SetRowEnable(1, "Off");
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"Error: At lease one language should be enabled."});
  EXPECT_EQ(page.rows()[1].enable, "On");
  EXPECT_EQ(page.enable_mask(), 0b010);
  page.SetRowEnable(1, "Maybe");  // not an [OffOnOption] word
  EXPECT_EQ(page.rows()[1].enable, "On");
  EXPECT_EQ(env.dialogs.messages.size(), 1u);
}

TEST_F(LanguagePageTest, NoEnabledLanguageRefusesTheStoreWithTheMessage) {
  PutLanguages(env.settings(), 0, 0, {1, 2});
  const LanguageFields before = Read(env.settings());
  Loaded();
  EXPECT_FALSE(page.current.HasSelection());
  EXPECT_FALSE(page.Store());
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"Error: At lease one language should be enabled."});
  EXPECT_EQ(Read(env.settings()), before);
  page.SetRowEnable(1, "On");
  EXPECT_EQ(page.current.SelectedText(), "French");
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U8(9), 1);
  EXPECT_EQ(env.settings().U16(10), 0b10);
}

TEST_F(LanguagePageTest, AnEmptyListStoresNothing) {
  PutLanguages(env.settings(), 4, 0x8000, {});
  const LanguageFields before = Read(env.settings());
  Loaded();
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(Read(env.settings()), before);
}

class LanguageSwitchesOff : public LanguagePageTest {
 protected:
  LanguageSwitchesOff()
      : LanguagePageTest(testdata::RealisticDescription()
                             .Set("CommonConfig", "OsdLanguageConfigEnable", 0)
                             .Set("Language", "LanguagePosChangedEnable", 0)) {}
};

TEST_F(LanguageSwitchesOff, NoButtonWorksAndEveryRowStays) {
  Loaded();
  EXPECT_FALSE(page.adding_shown());
  EXPECT_FALSE(page.moving_shown());
  page.SelectReserved(0);
  page.SelectRow(1);
  EXPECT_EQ(Buttons(page), (std::vector<bool>{false, false, false, false}));
  page.Add();
  page.Remove();
  page.MoveUp();
  page.MoveDown();
  EXPECT_EQ(Names(page), (std::vector<std::string>{"English/On", "French/On", "German/On"}));
  std::vector<PageField> fields = page.Fields();
  EXPECT_EQ(SetField(fields[0], FieldRows{{"French", "On"}, {"English", "On"}, {"German", "On"}}),
            "languages are reordered only with LanguagePosChangedEnable");
  EXPECT_EQ(SetField(fields[0], FieldRows{{"English", "On"}, {"French", "On"}}),
            "languages are added and removed only with OsdLanguageConfigEnable");
  EXPECT_EQ(SetField(fields[0], FieldRows{{"English", "On"}, {"French", "Off"}, {"German", "On"}}),
            "");
}

TEST(LanguagePageWithoutOffOnWords, StaysEmptyAndStoresNothing) {
  PageEnv env({}, testdata::RealisticDescription().SetItems("OffOnOption", {"Off"}));
  LanguagePage page(env.context);
  page.Load();
  EXPECT_FALSE(page.loaded());
  EXPECT_TRUE(page.rows().empty());
  const LanguageFields before = Read(env.settings());
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(Read(env.settings()), before);
}

TEST_F(LanguagePageTest, ListFieldTakesTheLanguagesInTheirNewOrder) {
  Loaded();
  std::vector<PageField> fields = page.Fields();
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(SetField(fields[0], FieldRows{{"Greek", "On"}, {"German", "Off"}, {"English", "On"}}),
            "");
  EXPECT_EQ(Names(page), (std::vector<std::string>{"Greek/On", "German/Off", "English/On"}));
  EXPECT_EQ(SetField(fields[1], std::string("English")), "");
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(Read(env.settings()),
            (LanguageFields{3, 2, 0b101, {12, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}));

  EXPECT_EQ(SetField(fields[0], FieldRows{{"Klingon", "On"}}),
            "row 1: \"Klingon\" is neither listed nor a reserved language");
  EXPECT_EQ(SetField(fields[0], FieldRows{{"Greek", "On"}, {"Greek", "On"}}),
            "row 2: \"Greek\" is listed twice");
  EXPECT_EQ(SetField(fields[0], FieldRows{{"Greek", "Yes"}}),
            "row 1 \"Enable\" takes one of the [OffOnOption] words, not \"Yes\"");
  EXPECT_EQ(SetField(fields[0], FieldRows{{"Greek"}}),
            "row 1 needs two cells, \"Language\" and \"Enable\"");
  EXPECT_EQ(SetField(fields[0], FieldRows{}), "the list keeps at least one language");
  FieldRows nine;
  for (const char* name : {"English", "French", "German", "Italian", "Spanish", "Portuguese",
                           "Russian", "Turkish", "Arabic"})
    nine.push_back({name, "On"});
  EXPECT_EQ(SetField(fields[0], nine), "the list takes at most 8 languages");
  EXPECT_EQ(SetField(fields[0], FieldRows{{"Greek", "Off"}, {"German", "Off"}, {"English", "Off"}}),
            "the page makes [\"Greek\", \"Off\"], [\"German\", \"Off\"], [\"English\", \"Off\"] "
            "into [\"Greek\", \"Off\"], [\"German\", \"Off\"], [\"English\", \"On\"]");
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"Error: At lease one language should be enabled."});
}

}  // namespace
}  // namespace qtk
