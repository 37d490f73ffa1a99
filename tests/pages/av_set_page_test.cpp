// The AV set page model: the combos and the RF channel with its range and names, the video
// output list with its DAC choices and duplicate check, and Store with its two messages.
#include "pages/av_set_page.h"

#include <gtest/gtest.h>

#include "page_env.h"
#include "pages/page_fields.h"
#include "pages/rf_channel_names.h"
#include "settings/record_layout.h"

namespace qtk {
namespace {

using testing::PageEnv;
using Cells = std::array<std::string, 5>;

constexpr const char* kSameDac = "Can not select the same DAC twice!";
constexpr const char* kNoOutput = "At least ENABLE opening one video output in AV set!";

size_t Entry(int code) {
  return record::kVideoOutputTable + 4 * static_cast<size_t>(code);
}
void PutEntry(CustomerSettings& s, int code, std::array<uint8_t, 4> bytes) {
  for (size_t k = 0; k < 4; ++k)
    s.SetU8(Entry(code) + k, bytes[k]);
}
std::array<uint8_t, 4> EntryBytes(const CustomerSettings& s, int code) {
  return {s.U8(Entry(code)), s.U8(Entry(code) + 1), s.U8(Entry(code) + 2), s.U8(Entry(code) + 3)};
}

testdata::DescriptionSpec WithItems(const std::string& section, std::vector<std::string> items) {
  testdata::DescriptionSpec d = testdata::RealisticDescription();
  d.SetItems(section, items);
  return d;
}

TEST(RfChannelNames, CableChannelsTwoToFiftyEight) {
  const std::vector<std::pair<int, std::string>> names = {
      {1, ""},      {2, "V-2"},  {4, "V-4"},   {5, "X"},    {7, "Z"},     {8, "Z+1"},
      {9, "Z+2"},   {10, "S-1"}, {19, "S-10"}, {20, "V-5"}, {27, "V-12"}, {28, "S-11"},
      {58, "S-41"}, {59, ""},    {0, ""},      {255, ""}};
  for (const auto& [channel, name] : names)
    EXPECT_EQ(RfChannelName(channel), name) << channel;
}

TEST(AvSetLoad, CombosChannelAndOutputsFromTheRecord) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  s.SetU8(record::kProgramMode, 2);
  s.SetU8(record::kRfMode, 0xA4);  // the high bits are not the mode's
  s.SetU8(record::kRfChannel, 28);
  s.SetU8(record::kTvMode, 7);  // outside the list
  AvSetPage page(env.context);
  page.Load();
  EXPECT_EQ(page.program_mode.SelectedText(), "16:9");
  EXPECT_EQ(page.rf_mode.SelectedText(), "PAL B/G Cable");
  EXPECT_FALSE(page.tv_mode.HasSelection());
  EXPECT_EQ(page.rf_channel(), 28);
  EXPECT_EQ(page.rf_channel_low(), 2);
  EXPECT_EQ(page.rf_channel_high(), 58);
  EXPECT_EQ(page.rf_channel_name(), "S-11");
  ASSERT_EQ(page.rows().size(), 5u);
  EXPECT_EQ(page.rows()[0].cells, (Cells{"CVBS", "On", "DAC A", "N/A", "N/A"}));
  EXPECT_EQ(page.rows()[2].cells, (Cells{"S-Video", "Off", "DAC B", "DAC C", "N/A"}));
  EXPECT_EQ(page.rows()[4].cells, (Cells{"RGB", "Off", "DAC B", "DAC C", "DAC D"}));
  EXPECT_EQ(page.DacHeaders(), (std::array<std::string, 3>{"1st DAC", "2nd DAC", "3th DAC"}));
}

TEST(AvSetLoad, TheChannelIsHeldInItsRangeInTheRecordToo) {
  for (const auto& [stored, expected] :
       std::vector<std::pair<int, int>>{{1, 21}, {70, 69}, {40, 40}}) {
    PageEnv env;
    env.settings().SetU8(record::kRfChannel, static_cast<uint8_t>(stored));
    AvSetPage page(env.context);
    page.Load();
    EXPECT_EQ(page.rf_channel(), expected);
    EXPECT_EQ(env.settings().U8(record::kRfChannel), expected);
    EXPECT_EQ(page.rf_channel_name(), "");  // only the cable mode names its channels
  }
  // An RF mode the description does not list gives no range to hold the channel in.
  PageEnv env;
  env.settings().SetU8(record::kRfMode, 9);
  env.settings().SetU8(record::kRfChannel, 3);
  AvSetPage page(env.context);
  page.Load();
  EXPECT_FALSE(page.rf_mode.HasSelection());
  EXPECT_EQ(env.settings().U8(record::kRfChannel), 3);
}

TEST(AvSetLoad, SignalsWithoutAKnownDacGetTheirDefaultOneInTheRecord) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  PutEntry(s, 3, {1, 9, 0, 3});  // YUV: unknown, none, DAC C
  PutEntry(s, 1, {0, 0, 4, 0});  // CVBS 2 uses one DAC: a known DAC beyond it still shows
  AvSetPage page(env.context);
  page.Load();
  EXPECT_EQ(page.rows()[3].cells, (Cells{"YUV", "On", "DAC A", "DAC B", "DAC C"}));
  EXPECT_EQ(EntryBytes(s, 3), (std::array<uint8_t, 4>{1, 1, 2, 3}));
  EXPECT_EQ(page.rows()[1].cells, (Cells{"CVBS 2", "Off", "DAC A", "DAC D", "N/A"}));
  EXPECT_EQ(EntryBytes(s, 1), (std::array<uint8_t, 4>{0, 1, 4, 0}));
}

TEST(AvSetLoad, ADescriptionWithFewerDacsThanSignalsLeavesTheRestWithout) {
  PageEnv env({}, WithItems("DACIndex", {"DAC A,1"}));
  PutEntry(env.settings(), 4, {0, 0, 0, 0});
  AvSetPage page(env.context);
  page.Load();
  EXPECT_EQ(page.rows()[4].cells, (Cells{"RGB", "Off", "DAC A", "N/A", "N/A"}));
  EXPECT_EQ(EntryBytes(env.settings(), 4), (std::array<uint8_t, 4>{0, 1, 0, 0}));
}

TEST(AvSetLoad, OutputsAreAddressedByTheirCodeInAnyListOrder) {
  // Codes out of order, one outside 0-4 (skipped).
  PageEnv env({}, WithItems("DACType", {"RGB,4,3", "Bad,7,1", "CVBS,0,1", "YUV,3,3"}));
  CustomerSettings& s = env.settings();
  PutEntry(s, 0, {1, 1, 0, 0});
  PutEntry(s, 4, {0, 2, 3, 4});
  PutEntry(s, 3, {0, 4, 3, 2});
  AvSetPage page(env.context);
  page.Load();
  ASSERT_EQ(page.rows().size(), 3u);
  EXPECT_EQ(page.rows()[0].cells, (Cells{"RGB", "Off", "DAC B", "DAC C", "DAC D"}));
  EXPECT_EQ(page.rows()[1].cells, (Cells{"CVBS", "On", "DAC A", "N/A", "N/A"}));
  page.SetCell(0, 2, "DAC A");  // RGB row edits entry 4
  EXPECT_EQ(EntryBytes(s, 4), (std::array<uint8_t, 4>{0, 1, 3, 4}));
  page.SetCell(0, 1, "On");  // DAC A is CVBS's: refused
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{kSameDac});
  EXPECT_EQ(s.U8(Entry(4)), 0);
  page.SelectRow(0);
  EXPECT_EQ(page.DacHeaders(), (std::array<std::string, 3>{"-R-", "-G-", "-B-"}));
  page.SelectRow(2);
  EXPECT_EQ(page.DacHeaders(), (std::array<std::string, 3>{"-Y-", "-U-", "-V-"}));
  page.SelectRow(1);
  EXPECT_EQ(page.DacHeaders(), (std::array<std::string, 3>{"1st DAC", "", ""}));
}

class AvSetEdits : public ::testing::Test {
 protected:
  void SetUp() override { page.Load(); }
  CustomerSettings& s() { return env.settings(); }
  PageEnv env;
  AvSetPage page{env.context};
};

TEST_F(AvSetEdits, CellChoicesFollowTheColumnAndTheOutputsDacCount) {
  EXPECT_EQ(page.CellChoices(0, 0), std::vector<std::string>{});
  EXPECT_EQ(page.CellChoices(0, 1), (std::vector<std::string>{"Off", "On"}));
  EXPECT_EQ(page.CellChoices(0, 2), (std::vector<std::string>{"DAC A", "DAC B", "DAC C", "DAC D"}));
  EXPECT_EQ(page.CellChoices(0, 3), std::vector<std::string>{"N/A"});
  EXPECT_EQ(page.CellChoices(2, 3).size(), 4u);
  EXPECT_EQ(page.CellChoices(2, 4), std::vector<std::string>{"N/A"});
  EXPECT_EQ(page.CellChoices(5, 1), std::vector<std::string>{});
  page.SelectRow(2);
  EXPECT_EQ(page.DacHeaders(), (std::array<std::string, 3>{"-Y-", "-C-", ""}));
}

TEST_F(AvSetEdits, EnablingAnOutputChecksItsDacsAndFallsBackToOff) {
  // S-Video (DAC B, DAC C) may go on beside CVBS (DAC A).
  page.SetCell(2, 1, "On");
  EXPECT_EQ(EntryBytes(s(), 2), (std::array<uint8_t, 4>{1, 2, 3, 0}));
  // YUV shares DAC B and C: refused once, the cell shows Off again.
  page.SetCell(3, 1, "On");
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{kSameDac});
  EXPECT_EQ(page.rows()[3].cells[1], "Off");
  EXPECT_EQ(s().U8(Entry(3)), 0);
  page.SetCell(2, 1, "Off");
  EXPECT_EQ(s().U8(Entry(2)), 0);
  // A text the cell does not offer changes nothing.
  page.SetCell(2, 1, "Maybe");
  EXPECT_EQ(page.rows()[2].cells[1], "Off");
}

TEST_F(AvSetEdits, ADacChoiceThatRepeatsAnEnabledOneGetsItsPreviousValueBack) {
  page.SetCell(2, 1, "On");     // S-Video on: DAC B, DAC C
  page.SetCell(2, 3, "DAC A");  // CVBS has it
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{kSameDac});
  EXPECT_EQ(page.rows()[2].cells[3], "DAC C");
  EXPECT_EQ(EntryBytes(s(), 2), (std::array<uint8_t, 4>{1, 2, 3, 0}));
  page.SetCell(2, 3, "DAC D");
  EXPECT_EQ(EntryBytes(s(), 2), (std::array<uint8_t, 4>{1, 2, 4, 0}));
  // A disabled output may share a DAC with an enabled one; "N/A" changes nothing.
  page.SetCell(4, 2, "DAC A");
  EXPECT_EQ(EntryBytes(s(), 4), (std::array<uint8_t, 4>{0, 1, 3, 4}));
  page.SetCell(0, 3, "N/A");
  EXPECT_EQ(EntryBytes(s(), 0), (std::array<uint8_t, 4>{1, 1, 0, 0}));
  EXPECT_EQ(env.dialogs.messages.size(), 1u);
}

TEST_F(AvSetEdits, StoreRefusesWithoutAnEnabledOutputOrWithASharedDac) {
  const CustomerSettings::Bytes before = s().bytes();
  page.program_mode.Select(2);
  page.SetCell(0, 1, "Off");
  EXPECT_FALSE(page.Store());
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{kNoOutput});
  EXPECT_EQ(s().U8(record::kProgramMode), before[record::kProgramMode]);  // nothing of the rest

  // Two enabled outputs with DAC 2, set in the record behind the page's back.
  PutEntry(s(), 1, {1, 2, 0, 0});
  PutEntry(s(), 2, {1, 2, 3, 0});
  env.dialogs.messages.clear();
  EXPECT_FALSE(page.Store());
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{kSameDac});
  // DAC value 0 appears in any number of cells.
  PutEntry(s(), 2, {1, 0, 0, 0});
  PutEntry(s(), 3, {1, 0, 0, 0});
  env.dialogs.messages.clear();
  EXPECT_TRUE(page.Store());
  EXPECT_TRUE(env.dialogs.messages.empty());
}

TEST_F(AvSetEdits, StoreWritesModesChannelAndTvModeCount) {
  s().SetU8(record::kRfMode, 0x70);
  page.Load();
  page.tv_mode.Select(1);
  page.program_mode.Select(0);
  page.SelectRfMode(3);  // NTSC M: 14-69
  EXPECT_EQ(page.rf_channel(), 14);
  page.StepRfChannel(+1);
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(s().U8(record::kProgramMode), 0);
  EXPECT_EQ(s().U8(record::kRfChannel), 15);
  EXPECT_EQ(s().U8(record::kRfMode), 0x73);
  EXPECT_EQ(s().U8(record::kTvModeCount), 3);
  EXPECT_EQ(s().U8(record::kTvMode), 1);
}

TEST_F(AvSetEdits, SpinTypingAndLeavingFollowTheChannelRange) {
  page.SelectRfMode(2);  // PAL D/K: 13-57
  EXPECT_EQ(page.rf_channel(), 13);
  page.StepRfChannel(-1);
  EXPECT_EQ(page.rf_channel(), 13);  // held at the bottom
  page.SetRfChannel(57);
  page.StepRfChannel(+1);
  EXPECT_EQ(page.rf_channel(), 57);  // held at the top
  page.StepRfChannel(-1);
  EXPECT_EQ(page.rf_channel(), 56);
  page.SetRfChannel(99);  // above: the previous channel back
  EXPECT_EQ(page.rf_channel(), 56);
  page.SetRfChannel(4);  // below: kept while typing
  EXPECT_EQ(page.rf_channel(), 4);
  page.SetRfChannel(99);  // above after an outside value: the lowest channel
  EXPECT_EQ(page.rf_channel(), 13);
  page.SetRfChannel(5);
  page.StepRfChannel(+1);  // the spin from outside: the lowest channel
  EXPECT_EQ(page.rf_channel(), 13);
  page.SetRfChannel(5);
  EXPECT_TRUE(page.Validate());  // leaving the page leaves the box
  EXPECT_EQ(page.rf_channel(), 13);
  page.SelectRfMode(4);
  page.SetRfChannel(28);
  page.FinishRfChannel();
  EXPECT_EQ(page.rf_channel_name(), "S-11");
  page.SetRfChannel(1);
  EXPECT_EQ(page.rf_channel_name(), "");
  page.FinishRfChannel();
  EXPECT_EQ(page.rf_channel(), 2);
  EXPECT_EQ(page.rf_channel_name(), "V-2");
  page.SelectRfMode(4);  // the same mode again keeps the channel
  EXPECT_EQ(page.rf_channel(), 2);
}

TEST(AvSetStore, WithoutOnAndOffWordsTheListStaysEmptyAndStoreStillWrites) {
  PageEnv env({}, WithItems("OffOnOption", {"Off"}));
  AvSetPage page(env.context);
  page.Load();
  EXPECT_TRUE(page.rows().empty());
  page.tv_mode.Select(2);
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U8(record::kTvMode), 2);
  EXPECT_FALSE(page.Fields().back().IsShown());
}

TEST_F(AvSetEdits, FieldsSetTheListInAnOrderThatAvoidsNeedlessRefusals) {
  std::vector<PageField> fields = page.Fields();
  const PageField& list = fields.back();
  FieldRows rows = std::get<FieldRows>(list.get());
  // CVBS off and RGB on with DAC A: RGB's DACs first, CVBS off before RGB goes on.
  rows[0][1] = "Off";
  rows[4] = {"RGB", "On", "DAC A", "DAC B", "DAC C"};
  EXPECT_EQ(SetField(list, rows), "");
  EXPECT_EQ(EntryBytes(s(), 0), (std::array<uint8_t, 4>{0, 1, 0, 0}));
  EXPECT_EQ(EntryBytes(s(), 4), (std::array<uint8_t, 4>{1, 1, 2, 3}));
  EXPECT_TRUE(env.dialogs.messages.empty());
  // A repeated DAC is refused with the page's message.
  rows[4][4] = "DAC A";
  EXPECT_EQ(SetField(list, rows),
            "the page makes [\"CVBS\", \"Off\", \"DAC A\", \"N/A\", \"N/A\"], [\"CVBS 2\", "
            "\"Off\", \"DAC B\", \"N/A\", \"N/A\"], [\"S-Video\", \"Off\", \"DAC B\", \"DAC C\", "
            "\"N/A\"], [\"YUV\", \"Off\", \"DAC B\", \"DAC C\", \"DAC D\"], [\"RGB\", \"On\", "
            "\"DAC A\", \"DAC B\", \"DAC A\"] into [\"CVBS\", \"Off\", \"DAC A\", \"N/A\", "
            "\"N/A\"], [\"CVBS 2\", \"Off\", \"DAC B\", \"N/A\", \"N/A\"], [\"S-Video\", \"Off\", "
            "\"DAC B\", \"DAC C\", \"N/A\"], [\"YUV\", \"Off\", \"DAC B\", \"DAC C\", \"DAC D\"], "
            "[\"RGB\", \"On\", \"DAC A\", \"DAC B\", \"DAC C\"]");
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{kSameDac});
  rows[4][4] = "DAC X";
  EXPECT_EQ(SetField(list, rows), "row 5 cell 5 takes none but its choices, not \"DAC X\"");
  rows.pop_back();
  EXPECT_EQ(SetField(list, rows), "the list has 5 rows, not 4");
  // The channel is typed and left: a number outside the range is held in it.
  EXPECT_EQ(SetField(fields[3], 30LL), "");
  EXPECT_EQ(SetField(fields[3], 80LL), "the page makes 80 into 30");
  EXPECT_EQ(SetField(fields[2], std::string("PAL D/K")), "");
  EXPECT_EQ(page.rf_channel(), 13);
}

}  // namespace
}  // namespace qtk
