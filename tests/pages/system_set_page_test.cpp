#include "pages/system_set_page.h"

#include <gtest/gtest.h>

#include "page_env.h"
#include "pages/record_fields.h"

namespace qtk {
namespace {

using testing::PageEnv;

// Record bytes 2-7 and 48-59.
std::vector<uint8_t> OwnFields(const CustomerSettings& s) {
  std::vector<uint8_t> out;
  for (size_t i = 2; i < 60; i = i == 7 ? 48 : i + 1)
    out.push_back(s.U8(i));
  return out;
}

// The clock and pad block comes from the first chunk at every load; the tests give it
// known values.
void PutClockPad(CustomerSettings& s) {
  for (size_t i = 0; i < 6; ++i)
    s.SetU8(2 + i, static_cast<uint8_t>(1 + i));
}

std::vector<uint8_t> Bytes(const CustomerSettings& s, size_t offset, size_t size) {
  return std::vector<uint8_t>(s.bytes().begin() + offset, s.bytes().begin() + offset + size);
}

TEST(SystemSetPageLoad, FillsTheGroupFromRecordAndDescriptionWithTheBoxUnticked) {
  PageEnv env;
  WriteTextField(env.settings(), record::kSysPassword1, 6, "12345");
  PutClockPad(env.settings());
  SystemSetPage page(env.context);
  page.Load();
  EXPECT_EQ(page.GetName(), "System set");
  EXPECT_TRUE(page.group_shown());
  EXPECT_FALSE(page.advanced());
  EXPECT_EQ(page.cpu_clock.items,
            (std::vector<std::string>{"108 MHz", "121.5 MHz", "135 MHz", "148.5 MHz"}));
  EXPECT_EQ(page.cpu_clock.selection, 1);
  EXPECT_EQ(page.memory_clock.selection, 2);
  EXPECT_EQ(page.data_pad_driver.selection, -1);  // byte 6 = 5 names no entry of four
  EXPECT_EQ(page.command_pad_driver.selection, -1);
  EXPECT_EQ(page.clock_delay_chain().value, 3);
  EXPECT_EQ(page.clock_tree_delay().value, 4);
  EXPECT_EQ(page.clock_tree_delay().max, 15);
  EXPECT_EQ(page.clock_delay_chain().max, 7);
  EXPECT_EQ(page.password1, "12345");
  EXPECT_EQ(page.password2, "");
  EXPECT_EQ(page.password_length(), 5u);
  EXPECT_EQ(page.password_characters(), "0123456789");
  for (const ComboState* c :
       {&page.cpu_clock, &page.memory_clock, &page.data_pad_driver, &page.command_pad_driver})
    EXPECT_FALSE(c->enabled);
  page.SetAdvanced(true);
  EXPECT_TRUE(page.cpu_clock.enabled && page.command_pad_driver.enabled);
}

TEST(SystemSetPageStore, WritesNothingUnlessTheBoxIsTicked) {
  PageEnv env;
  PutClockPad(env.settings());
  SystemSetPage page(env.context);
  page.Load();
  const std::vector<uint8_t> before = OwnFields(env.settings());
  page.SetAdvanced(true);
  page.cpu_clock.Select(3);
  page.StepClockTreeDelay(+1);
  page.password1 = "999";
  page.SetAdvanced(false);  // changed, then unticked
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(OwnFields(env.settings()), before);
  EXPECT_TRUE(env.dialogs.messages.empty());
}

TEST(SystemSetPageStore, TickedWritesEveryFieldByteForByte) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  std::fill_n(s.bytes().begin() + 48, 12, 0xEE);  // stale bytes after the texts are cleared
  PutClockPad(env.settings());
  SystemSetPage page(env.context);
  page.Load();
  page.SetAdvanced(true);
  page.cpu_clock.Select(3);
  page.memory_clock.Select(4);
  page.data_pad_driver.Select(0);
  // "Command Pad Driver" keeps no selection: its byte keeps its value.
  page.TypeClockTreeDelay(12);
  page.TypeClockDelayChain(5);
  page.password1 = "4321";
  page.password2 = "1234567";  // a record field keeps five characters and the zero
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(Bytes(s, 2, 6), (std::vector<uint8_t>{3, 4, 5, 12, 0, 6}));
  EXPECT_EQ(Bytes(s, 48, 12),
            (std::vector<uint8_t>{'4', '3', '2', '1', 0, 0, '1', '2', '3', '4', '5', 0}));
}

TEST(SystemSetPageStore, WithoutCustomerConfigTheGroupIsHiddenAndNeverWrites) {
  testing::PageEnv env(
      {}, testdata::RealisticDescription().Set("CommonConfig", "CustomerConfigEnable", 0));
  PutClockPad(env.settings());
  SystemSetPage page(env.context);
  page.Load();
  EXPECT_FALSE(page.group_shown());
  page.SetAdvanced(true);  // the hidden box stays unticked
  EXPECT_FALSE(page.advanced());
  page.cpu_clock.Select(0);
  const std::vector<uint8_t> before = OwnFields(env.settings());
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(OwnFields(env.settings()), before);
  for (const PageField& field : page.Fields())
    EXPECT_FALSE(field.IsShown()) << field.name;
}

TEST(SystemSetPageDelays, TypingOutsideTheRangeGivesMinValueWhenTheEditIsLeft) {
  PageEnv env({}, testdata::RealisticDescription()
                      .Set("ClockTreeDly", "MinValue", 3)
                      .Set("ClockTreeDly", "MaxValue", 12));
  PutClockPad(env.settings());
  SystemSetPage page(env.context);
  page.Load();
  page.TypeClockTreeDelay(1);  // on the way to 12: not corrected while typing
  EXPECT_EQ(page.clock_tree_delay().value, 1);
  page.TypeClockTreeDelay(12);
  page.FinishClockTreeDelay();
  EXPECT_EQ(page.clock_tree_delay().value, 12);
  page.TypeClockTreeDelay(13);
  page.FinishEditing();
  EXPECT_EQ(page.clock_tree_delay().value, 3);
  page.TypeClockTreeDelay(2);
  EXPECT_TRUE(page.Validate());
  EXPECT_EQ(page.clock_tree_delay().value, 3);
  page.TypeClockTreeDelay(99999999999LL);
  page.FinishClockTreeDelay();
  EXPECT_EQ(page.clock_tree_delay().value, 3);
}

TEST(SystemSetPageDelays, SpinsWrapAtBothEndsOfTheirOwnRange) {
  PageEnv env;
  PutClockPad(env.settings());
  SystemSetPage page(env.context);
  page.Load();
  // Clock delay chain 0..7, loaded as 3.
  for (int i = 0; i < 4; ++i)
    page.StepClockDelayChain(+1);
  EXPECT_EQ(page.clock_delay_chain().value, 7);
  page.StepClockDelayChain(+1);
  EXPECT_EQ(page.clock_delay_chain().value, 0);
  page.StepClockDelayChain(-1);
  EXPECT_EQ(page.clock_delay_chain().value, 7);
  page.StepClockDelayChain(0);
  EXPECT_EQ(page.clock_delay_chain().value, 7);
  // Clock tree delay 0..15, loaded as 4; a typed value out of range is corrected first.
  page.TypeClockTreeDelay(40);
  page.StepClockTreeDelay(-1);
  EXPECT_EQ(page.clock_tree_delay().value, 15);
  EXPECT_EQ(page.clock_delay_chain().value, 7);
}

TEST(SystemSetPageLoad, ValuesTheRecordHoldsOutsideTheRangeAreShownUntilTheUserActs) {
  PageEnv env;
  PutClockPad(env.settings());
  env.settings().SetU8(record::kClockTreeDelay, 200);
  SystemSetPage page(env.context);
  page.Load();
  page.FinishEditing();
  EXPECT_EQ(page.clock_tree_delay().value, 200);
  page.StepClockTreeDelay(+1);
  EXPECT_EQ(page.clock_tree_delay().value, 0);
}

TEST(SystemSetPagePasswords, TheEditTakesMaxLengthButNeverMoreThanTheRecordKeeps) {
  for (const auto& [max_length, expected] :
       std::vector<std::pair<int, size_t>>{{3, 3}, {5, 5}, {0, 5}, {9, 5}}) {
    PageEnv env({}, testdata::RealisticDescription().Set("Password", "MaxLength", max_length));
    SystemSetPage page(env.context);
    page.Load();
    EXPECT_EQ(page.password_length(), expected) << max_length;
  }
}

TEST(SystemSetPageRefill, AnAppliedSettingFileLeavesThePageAndItsFieldsAsTheyWere) {
  PageEnv env;
  PutClockPad(env.settings());
  SystemSetPage page(env.context);
  page.Load();
  page.SetAdvanced(true);
  page.memory_clock.Select(0);
  page.password1 = "77";
  ASSERT_TRUE(page.Store());
  const std::vector<uint8_t> stored = OwnFields(env.settings());
  page.password2 = "5";  // typed, not stored

  std::fill_n(env.settings().bytes().begin() + 2, 6, 1);
  WriteTextField(env.settings(), record::kSysPassword1, 6, "00000");
  env.shared.applying_setting_file = true;
  page.Load();
  env.shared.applying_setting_file = false;
  EXPECT_FALSE(page.advanced());
  EXPECT_EQ(page.memory_clock.selection, 0);
  EXPECT_EQ(page.password1, "77");
  EXPECT_EQ(page.password2, "5");
  EXPECT_EQ(OwnFields(env.settings()), stored);

  page.Load();  // a firmware load fills the page again
  EXPECT_EQ(page.password2, "");
}

TEST(SystemSetPageFields, TheBoxGatesEveryControl) {
  PageEnv env;
  PutClockPad(env.settings());
  SystemSetPage page(env.context);
  page.Load();
  std::vector<PageField> fields = page.Fields();
  ASSERT_EQ(fields.size(), 9u);
  EXPECT_EQ(fields[0].name, kAdvancedCaption);
  EXPECT_EQ(SetField(fields[1], std::string("135 MHz")), "the field is disabled");
  EXPECT_EQ(SetField(fields[7], std::string("123")), "the field is disabled");
  EXPECT_EQ(SetField(fields[0], std::string("Ticked")),
            "\"Ticked\" is not one of its choices: \"Off\", \"On\"");
  EXPECT_EQ(SetField(fields[0], std::string("On")), "");
  EXPECT_EQ(SetField(fields[1], std::string("135 MHz")), "");
  EXPECT_EQ(SetField(fields[5], 16LL), "the page makes 16 into 0");
  EXPECT_EQ(SetField(fields[6], 6LL), "");
  EXPECT_EQ(SetField(fields[7], std::string("12a")), "the field does not take the character \"a\"");
  EXPECT_EQ(SetField(fields[7], std::string("123456")), "the field takes at most 5 characters");
  EXPECT_EQ(SetField(fields[8], std::string("42")), "");
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(Bytes(env.settings(), 2, 6), (std::vector<uint8_t>{2, 2, 6, 0, 5, 6}));
  EXPECT_EQ(page.password2, "42");
}

}  // namespace
}  // namespace qtk
