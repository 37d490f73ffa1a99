#include "pages/common_page.h"

#include <gtest/gtest.h>

#include "page_env.h"

namespace qtk {
namespace {

using testing::PageEnv;

std::vector<uint8_t> Field(const CustomerSettings& s, size_t offset, size_t size) {
  return std::vector<uint8_t>(s.bytes().begin() + offset, s.bytes().begin() + offset + size);
}

std::vector<uint8_t> Text(const std::string& text, size_t size) {
  std::vector<uint8_t> out(size, 0);
  std::copy(text.begin(), text.end(), out.begin());
  return out;
}

TEST(CommonPageLoad, FillsCombosFromDescriptionAndRecord) {
  PageEnv env;
  env.settings().SetU8(record::kMaxVolume, 7);
  env.session.crc_rom_path = "rom.bin";
  CommonPage page(env.context);
  page.Load();
  EXPECT_EQ(page.osd_palette.items,
            (std::vector<std::string>{"style 1", "style 2", "style 3", "style 4"}));
  EXPECT_EQ(page.osd_palette.selection, 1);
  EXPECT_EQ(page.logo_show_delay.items.size(), 11u);
  EXPECT_EQ(page.logo_show_delay.items[0], "Off.");
  EXPECT_EQ(page.logo_show_delay.items[10], "10 sec.");
  EXPECT_EQ(page.logo_show_delay.selection, 3);
  EXPECT_EQ(page.continue_key.items, (std::vector<std::string>{"Off", "On"}));
  EXPECT_EQ(page.version_text, "DEMO 1.0.0");
  EXPECT_EQ(page.power_on_text, "8888");
  EXPECT_EQ(page.volume(), 20);
  EXPECT_EQ(page.digit_count(), 4);
  EXPECT_TRUE(page.palette_count_shown());
  // Load always writes the description's maximum volume, and forgets any CRC rom file.
  EXPECT_EQ(env.settings().U8(record::kMaxVolume), 100);
  EXPECT_TRUE(env.session.crc_rom_path.empty());
}

TEST(CommonPageStore, WritesEveryFieldByteForByte) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  s.SetU8(record::kNewProgramAudio, 0xC0);  // bit 6 kept, bit 7 cleared
  s.SetU8(record::kConfigVersion, 0x12);
  CommonPage page(env.context);
  page.Load();
  page.transparence.Select(2);
  page.osd_palette.Select(3);
  page.SetVolume(55);
  page.auto_scan_mode.Select(1);
  page.tp_scan_mode.Select(0);
  page.continue_key.Select(1);
  page.system_mode.Select(2);
  page.new_tv_audio.Select(3);
  page.new_radio_audio.Select(2);
  page.logo_show_delay.Select(10);
  page.version_text = "  V2.01 build 7 \t";
  page.power_on_text = "ab";
  page.standby_text = "-_Hi";
  ASSERT_TRUE(page.Store());
  EXPECT_TRUE(env.dialogs.messages.empty());

  EXPECT_EQ(s.U8(record::kConfigVersion), 0x12);  // no tuner-driver chunk seen in this run
  EXPECT_EQ(Field(s, 28, 2), (std::vector<uint8_t>{100, 55}));
  EXPECT_EQ(Field(s, 32, 4), (std::vector<uint8_t>{4, 3, 4, 2}));
  EXPECT_EQ(Field(s, 40, 3), (std::vector<uint8_t>{1, 0, 1}));
  EXPECT_EQ(s.U8(44), 2);
  EXPECT_EQ(s.U8(108), 0x40 | 3 | (2 << 3));
  EXPECT_EQ(s.U8(109), 10);
  EXPECT_EQ(Field(s, 60, 24), Text("V2.01 build 7", 24));
  EXPECT_EQ(Field(s, 84, 8), Text("ab  ", 8));
  EXPECT_EQ(Field(s, 92, 8), Text("-_Hi", 8));
}

TEST(CommonPageStore, TunerDriverChunkForcesConfigurationVersionTwo) {
  PageEnv env({.config_version = 1});
  env.settings().SetU8(record::kConfigVersion, 0x3D);
  env.shared.had_tuner_driver_chunk = true;
  CommonPage page(env.context);
  page.Load();
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U8(record::kConfigVersion), 0x32);
}

TEST(CommonPageStore, EmptyPaletteAndNoSelectionStoreFF) {
  PageEnv env;
  env.settings().SetU8(record::kPaletteCount, 0);
  env.settings().SetU8(record::kTransparence, 9);
  CommonPage page(env.context);
  page.Load();
  EXPECT_TRUE(page.osd_palette.items.empty());
  EXPECT_EQ(page.transparence.selection, -1);
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U8(record::kPaletteStyle), 0xFF);
  EXPECT_EQ(env.settings().U8(record::kTransparence), 0xFF);
}

TEST(CommonPageStore, VersionOfExactly23CharactersKeepsByte83Zero) {
  PageEnv env;
  CommonPage page(env.context);
  page.Load();
  page.version_text = std::string(23, 'x');
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(Field(env.settings(), 60, 24), Text(std::string(23, 'x'), 24));
}

TEST(CommonPageStore, LongPanelTextsNeverReachTheNextField) {
  PageEnv env;
  env.settings().SetU8(record::kLedDigits, 0xF0);  // 15 digits claimed
  const std::vector<uint8_t> words = Field(env.settings(), record::kPasswordWord0, 8);
  CommonPage page(env.context);
  page.Load();
  EXPECT_EQ(page.digit_count(), 8);
  page.power_on_text = "12345678";
  page.standby_text = "b";
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(Field(env.settings(), 84, 8),
            std::vector<uint8_t>({'1', '2', '3', '4', '5', '6', '7', '8'}));
  EXPECT_EQ(Field(env.settings(), 92, 8),
            std::vector<uint8_t>({'b', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
  EXPECT_EQ(Field(env.settings(), record::kPasswordWord0, 8), words);
}

struct IllegalText {
  std::string version;
  std::string power_on;
  std::string standby;
  std::string message;
  bool version_written;
};

class CommonIllegalText : public ::testing::TestWithParam<IllegalText> {};

TEST_P(CommonIllegalText, RefusesWithItsMessageKeepingEarlierFields) {
  PageEnv env;
  CommonPage page(env.context);
  page.Load();
  page.logo_show_delay.Select(7);
  page.version_text = GetParam().version;
  page.power_on_text = GetParam().power_on;
  page.standby_text = GetParam().standby;
  EXPECT_FALSE(page.Store());
  ASSERT_EQ(env.dialogs.Texts(), std::vector<std::string>{GetParam().message});
  EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(env.settings().U8(record::kLogoShowDelay), 7);  // written before the check
  EXPECT_EQ(Field(env.settings(), 60, 3) == Text("NEW", 3), GetParam().version_written);
  EXPECT_EQ(Field(env.settings(), 84, 4), Text("8888", 4));  // panel texts untouched
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CommonIllegalText,
    ::testing::Values(
        IllegalText{"V\x81", "8", "8", "the version string includes illegal chars!", false},
        IllegalText{"NEW", "k", "8", "the power on string includes illegal chars!", true},
        IllegalText{"NEW", "1.0", "8", "the power on string includes illegal chars!", true},
        IllegalText{"NEW", "8", "zz", "the standby string includes illegal chars!", true},
        IllegalText{"NEW", "8", "W", "the standby string includes illegal chars!", true}));

TEST(CommonPageStore, AsciiUpTo0x80AndEmptyTextsPass) {
  PageEnv env;
  CommonPage page(env.context);
  page.Load();
  page.version_text = "\x80";
  page.power_on_text = "";
  page.standby_text = "";
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(Field(env.settings(), 84, 8), Text("    ", 8));
}

TEST(CommonPageEditing, PaletteCountSpinWrapsAndTypingResets) {
  PageEnv env;  // [Palette] MaxCount 4, record count 4, style 2 chosen
  CommonPage page(env.context);
  page.Load();
  page.StepPaletteCount(+1);
  EXPECT_EQ(page.palette_count(), 1);
  EXPECT_EQ(page.osd_palette.items, std::vector<std::string>{"style 1"});
  EXPECT_EQ(page.osd_palette.selection, 0);  // moved down to the last entry
  page.StepPaletteCount(-1);
  EXPECT_EQ(page.palette_count(), 4);
  page.StepPaletteCount(-1);
  EXPECT_EQ(page.palette_count(), 3);
  EXPECT_EQ(page.osd_palette.items.size(), 3u);
  page.SetPaletteCount(0);
  EXPECT_EQ(page.palette_count(), 1);
  page.SetPaletteCount(5);
  EXPECT_EQ(page.palette_count(), 1);
  page.SetPaletteCount(4);
  EXPECT_EQ(page.palette_count(), 4);
}

TEST(CommonPageEditing, VolumeOutsideRangeBecomesMinimum) {
  testdata::DescriptionSpec d = testdata::RealisticDescription();
  d.Set("Volume", "MinValue", 5).Set("Volume", "MaxValue", 60);
  PageEnv env({}, d);
  CommonPage page(env.context);
  page.Load();
  page.SetVolume(61);
  EXPECT_EQ(page.volume(), 5);
  page.SetVolume(60);
  EXPECT_EQ(page.volume(), 60);
  page.SetVolume(4);
  EXPECT_EQ(page.volume(), 5);
  page.SetVolumeFromSlider(33);
  EXPECT_EQ(page.volume(), 33);
}

TEST(CommonPageCrcRom, BrowseAsksForARomFile) {
  PageEnv env;
  CommonPage page(env.context);
  page.Load();
  env.dialogs.chosen_paths.push_back("/x/rom.bin");
  page.BrowseCrcRom();
  ASSERT_EQ(env.dialogs.file_requests.size(), 1u);
  EXPECT_EQ(env.dialogs.file_requests[0].filter, "rom Files(*.bin)|*.bin|All Files (*.*)|*.*||");
  EXPECT_EQ(page.crc_rom_path(), "/x/rom.bin");
}

}  // namespace
}  // namespace qtk
