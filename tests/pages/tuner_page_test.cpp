#include "pages/tuner_page.h"

#include <gtest/gtest.h>

#include <array>

#include "common/utf8_path.h"
#include "page_env.h"
#include "settings/setting_file.h"

namespace qtk {
namespace {

using testing::PageEnv;
namespace entry = record::tuner_entry;

size_t EntryAt(int i) {
  return record::kTunerParameters + static_cast<size_t>(i) * 16;
}

void PutEntry(CustomerSettings& s, int i, uint8_t seed) {
  for (size_t k = 0; k < 16; ++k)
    s.SetU8(EntryAt(i) + k, static_cast<uint8_t>(seed + k));
}

TEST(TunerPageExtended, LoadFillsTypesMarksDriverAndSetsTheRunFlag) {
  PageEnv env;
  TunerPage page(env.context);
  env.chunk(kTunerDriverChunkId).replace = true;
  page.Load();
  ASSERT_TRUE(page.loaded());
  EXPECT_TRUE(page.extended());
  EXPECT_EQ(page.tuner_type.items, (std::vector<std::string>{"Sharp 7306", "Zarlink 10039",
                                                             "Sharp 2091", "Philips 8262"}));
  EXPECT_EQ(page.tuner_type.selection, 0);  // byte 145 holds code 1
  EXPECT_TRUE(env.shared.had_tuner_driver_chunk);
  const ChunkEntry& driver = env.chunk(kTunerDriverChunkId);
  EXPECT_TRUE(driver.replace);
  EXPECT_EQ(driver.replacement_path, (env.dir.path() / "tuner_sharp7306.bin").string());
  // Every row is offered in the extended format, and only "On" can be chosen.
  for (const TunerPage::Row& r : page.rows())
    EXPECT_EQ(r.enable, "On");
  EXPECT_EQ(page.EnableChoices(2), std::vector<std::string>{"On"});
  EXPECT_TRUE(page.iq_enable.items.empty());
  EXPECT_FALSE(page.iq_enable.enabled);
  EXPECT_FALSE(page.single_crystal.enabled);
}

TEST(TunerPageExtended, EntriesFollowTheirCodesAndUnknownCodesAreDropped) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  // Stored order: Zarlink (4), Sharp 7306 (1), an unknown type (99).
  PutEntry(s, 0, 0x10);
  PutEntry(s, 1, 0x20);
  PutEntry(s, 2, 0x30);
  s.SetU8(record::kExtTunerCodes, 4);
  s.SetU8(record::kExtTunerCodes + 1, 1);
  s.SetU8(record::kExtTunerCodes + 2, 99);
  TunerPage page(env.context);
  page.Load();
  EXPECT_EQ(s.U8(EntryAt(0)), 0x20);       // Sharp 7306 is description entry 0
  EXPECT_EQ(s.U8(EntryAt(1) + 15), 0x1F);  // Zarlink moved to slot 1
  for (int i = 2; i < 15; ++i) {
    for (size_t k = 0; k < 16; ++k)
      ASSERT_EQ(s.U8(EntryAt(i) + k), 0) << i << " " << k;
  }
  // The entries now sit in description order, and their codes say so.
  const std::vector<uint8_t> codes(s.bytes().begin() + record::kExtTunerCodes,
                                   s.bytes().begin() + record::kExtTunerCodes + 15);
  EXPECT_EQ(codes, (std::vector<uint8_t>{1, 4, 7, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(TunerPageExtended, StoreWritesTheCurrentEntryByteForByte) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  for (size_t k = 0; k < 4; ++k) {
    s.SetU8(record::kExtTunerCodes + k, std::array<uint8_t, 4>{1, 4, 7, 8}[k]);
  }
  s.SetU8(EntryAt(0) + entry::kFlags + 1, 0x77);  // byte 7 is never written
  TunerPage page(env.context);
  page.Load();
  page.polarity.Select(1);
  page.q_set.Select(1);
  page.i_set.Select(0);
  page.iq_set.Select(1);
  page.diff_single.Select(1);
  page.SetUserCrystal(0x3039);
  page.base_address = "c0";
  page.SetFrequencyLow(950);
  page.SetFrequencyHigh(2150);
  page.SetFilterBandwidth(30000);
  page.agc_threshold1 = "1A";
  page.agc_threshold2 = "zz";  // malformed: stored as 0
  page.qpsk_config = "beef";
  page.SetQualityZoom(150);
  page.SetIntensityZoom(209);
  ASSERT_TRUE(page.Store());

  const std::vector<uint8_t> expected = {0xB6, 0x03, 0x66, 0x08, 0x30, 0x75, 0x65, 0x77,
                                         0x1A, 0x00, 0xEF, 0xBE, 0x39, 0x30, 0xC0, 0x01};
  EXPECT_EQ(
      std::vector<uint8_t>(s.bytes().begin() + EntryAt(0), s.bytes().begin() + EntryAt(0) + 16),
      expected);
  EXPECT_EQ(s.U8(record::kTunerType), 1);
  EXPECT_EQ(s.U8(record::kOfferedTunerCount), 4);
  EXPECT_EQ(std::vector<uint8_t>(s.bytes().begin() + 149, s.bytes().begin() + 164),
            (std::vector<uint8_t>{1, 4, 7, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(s.U8(record::kTunerFlags), 0x65);
  EXPECT_EQ(s.U16(record::kUserCrystal), 0x3039);
  EXPECT_EQ(s.U8(record::kSignalQualityZoom), 15);
  EXPECT_EQ(s.U8(record::kSignalIntensityZoom), 20);
  EXPECT_EQ(s.U8(record::kExtTunerIndex), 0);
  EXPECT_EQ(std::vector<uint8_t>(s.bytes().begin() + 1401, s.bytes().begin() + 1405),
            (std::vector<uint8_t>{1, 4, 7, 8}));
}

TEST(TunerPageExtended, TypeChangeSavesTheEntryAndShowsTheNewTypesDriver) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  TunerPage page(env.context);
  page.Load();
  page.SetFrequencyLow(1000);
  page.SelectTunerType(1);
  EXPECT_EQ(s.U16(EntryAt(0) + entry::kFrequencyLow), 1000);
  EXPECT_EQ(page.current_entry(), 1);
  EXPECT_EQ(page.frequency_low(), 0);
  EXPECT_EQ(page.base_address, "00");
  EXPECT_EQ(page.qpsk_config, "0000");
  EXPECT_EQ(env.chunk(kTunerDriverChunkId).replacement_path,
            (env.dir.path() / "tuner_zl10039.bin").string());
  page.Store();
  EXPECT_EQ(s.U8(record::kTunerType), 4);
  EXPECT_EQ(s.U8(record::kExtTunerIndex), 1);
}

TEST(TunerPageExtended, TypeWithoutDriverEntryPointsTheChunkAtTheDirectory) {
  testdata::DescriptionSpec d = testdata::RealisticDescription();
  d.SetItems("ExtTunerDriver", {"tuner_sharp7306.bin,1"});
  PageEnv env({}, d);
  TunerPage page(env.context);
  page.Load();
  page.SelectTunerType(2);
  EXPECT_EQ(env.chunk(kTunerDriverChunkId).replacement_path, Utf8FromPath(env.dir.path() / ""));
  EXPECT_TRUE(env.chunk(kTunerDriverChunkId).replace);
}

TEST(TunerPageExtended, WithoutDriverChunkNothingIsMarkedAndTheEntryAreaIsKept) {
  PageEnv env({.with_tuner_driver = false});
  CustomerSettings& s = env.settings();
  TunerPage page(env.context);
  page.Load();
  EXPECT_FALSE(env.shared.had_tuner_driver_chunk);
  EXPECT_EQ(page.driver_chunk_index(), -1);
  s.SetU8(record::kExtTunerCodes, 0x42);
  page.Store();
  EXPECT_EQ(s.U8(record::kExtTunerCodes), 0x42);
}

TEST(TunerPageBasic, OfferedTypesFillTheComboAndTheFirstRowStaysOn) {
  PageEnv env({.config_version = 1});
  CustomerSettings& s = env.settings();
  s.SetU8(record::kOfferedTunerCount, 1);  // two offered: codes 1 and 5
  s.SetU8(record::kOfferedTunerCodes, 1);
  s.SetU8(record::kOfferedTunerCodes + 1, 5);
  s.SetU8(record::kTunerType, 5);
  TunerPage page(env.context);
  page.Load();
  ASSERT_FALSE(page.extended());
  EXPECT_EQ(page.tuner_type.items, (std::vector<std::string>{"Sharp 7306", "Samsung 5119"}));
  EXPECT_EQ(page.tuner_type.selection, 1);
  EXPECT_EQ(page.rows()[1].enable, "Off");
  EXPECT_EQ(page.EnableChoices(0), std::vector<std::string>{"On"});
  EXPECT_EQ(page.EnableChoices(1), (std::vector<std::string>{"Off", "On"}));
  EXPECT_FALSE(env.chunk(kTunerDriverChunkId).replace);  // basic format chooses no driver

  page.SetRowEnable(0, "Off");  // refused: the first type is always offered
  EXPECT_EQ(page.rows()[0].enable, "On");
  page.SetRowEnable(2, "On");
  EXPECT_EQ(page.tuner_type.items,
            (std::vector<std::string>{"Sharp 7306", "Philips 1216", "Samsung 5119"}));
  EXPECT_EQ(page.tuner_type.selection, 1);  // the index stays
  page.Store();
  EXPECT_EQ(s.U8(record::kOfferedTunerCount), 2);  // count minus 1
  EXPECT_EQ(s.U8(record::kOfferedTunerCodes + 2), 5);
  EXPECT_EQ(s.U8(record::kTunerType), 3);
}

TEST(TunerPageBasic, TheDriverChunkWritesCodesAndIndexInTheBasicFormatToo) {
  // The Common page raises this record to the extended format in the same save; its codes
  // must describe the entries then, or the next load drops them.
  PageEnv env({.config_version = 1});
  CustomerSettings& s = env.settings();
  s.SetU8(record::kOfferedTunerCount, 1);
  s.SetU8(record::kOfferedTunerCodes, 1);
  s.SetU8(record::kOfferedTunerCodes + 1, 4);
  s.SetU8(record::kTunerType, 4);
  for (int i = 0; i < 15; ++i)
    PutEntry(s, i, static_cast<uint8_t>(i * 16));
  const std::vector<uint8_t> entries(s.bytes().begin() + EntryAt(0),
                                     s.bytes().begin() + EntryAt(15));
  TunerPage page(env.context);
  page.Load();
  ASSERT_EQ(page.tuner_type.SelectedText(), "Zarlink 10039");
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(std::vector<uint8_t>(s.bytes().begin() + 1400, s.bytes().begin() + 1416),
            (std::vector<uint8_t>{1, 1, 4, 7, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  // The entries themselves belong to the extended format and stay as they were.
  EXPECT_EQ(std::vector<uint8_t>(s.bytes().begin() + EntryAt(0), s.bytes().begin() + EntryAt(15)),
            entries);
}

TEST(TunerPageBasic, WithoutTheDriverChunkTheExtendedBytesAreLeftAlone) {
  PageEnv env({.config_version = 1, .with_tuner_driver = false});
  const CustomerSettings::Bytes before = env.settings().bytes();
  TunerPage page(env.context);
  page.Load();
  ASSERT_TRUE(page.Store());
  EXPECT_TRUE(std::equal(before.begin() + 1160, before.begin() + 1416,
                         env.settings().bytes().begin() + 1160));
}

TEST(TunerPageBasic, IqEnableOffKeepsTheInterfaceBits) {
  PageEnv env({.config_version = 1});
  CustomerSettings& s = env.settings();
  s.SetU8(record::kTunerFlags, 0xC7);  // Q, I, I/Q set; diff 3; I/Q enable 0
  TunerPage page(env.context);
  page.Load();
  EXPECT_EQ(page.iq_enable.selection, 0);
  EXPECT_FALSE(page.IqControlsEnabled());
  EXPECT_FALSE(page.q_set.enabled);
  EXPECT_EQ(page.diff_single.selection, -1);  // 3 is outside the two-entry list
  page.q_set.Select(0);
  page.single_crystal.Select(1);
  page.polarity.Select(1);
  page.Store();
  EXPECT_EQ(s.U8(record::kTunerFlags), 0xC7 | 0x10 | 0x20);
  page.SelectIqEnable(1);
  EXPECT_TRUE(page.q_set.enabled);
  page.Store();
  EXPECT_EQ(s.U8(record::kTunerFlags), 0xC6 | 0x08 | 0x10 | 0x20);
}

struct ZoomCase {
  int typed;
  int shown;
  bool message;
};

class TunerZoom : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(TunerZoom, QualityAndIntensityFollowTheSameRule) {
  PageEnv env;
  TunerPage page(env.context);
  page.Load();
  page.SetQualityZoom(GetParam().typed);
  page.FinishQualityZoom();
  page.SetIntensityZoom(GetParam().typed);
  page.FinishIntensityZoom();
  EXPECT_EQ(page.quality_zoom(), GetParam().shown);
  EXPECT_EQ(page.intensity_zoom(), GetParam().shown);
  if (GetParam().message) {
    ASSERT_EQ(env.dialogs.messages.size(), 2u);
    EXPECT_EQ(env.dialogs.messages[0].text, "Signal quality zoom should be in 50 - 300!\n");
    EXPECT_EQ(env.dialogs.messages[1].text, "Signal intensity zoom should be in 50 - 300!\n");
    EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Information);
  } else {
    EXPECT_TRUE(env.dialogs.messages.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, TunerZoom,
                         ::testing::Values(ZoomCase{45, 100, true}, ZoomCase{49, 100, true},
                                           ZoomCase{50, 50, false}, ZoomCase{59, 50, false},
                                           ZoomCase{300, 300, false}, ZoomCase{305, 300, false},
                                           ZoomCase{310, 300, true}, ZoomCase{0, 100, true}));

TEST(TunerPageEdits, RangesOfFrequenciesBandwidthAndCrystal) {
  PageEnv env;
  TunerPage page(env.context);
  page.Load();
  page.SetFrequencyLow(899);
  page.FinishFrequencyLow();
  page.SetFrequencyHigh(2251);
  page.FinishFrequencyHigh();
  page.SetFilterBandwidth(99999);
  page.FinishFilterBandwidth();
  EXPECT_EQ(page.frequency_low(), 900);
  EXPECT_EQ(page.frequency_high(), 2250);
  EXPECT_EQ(page.filter_bandwidth(), 45000);
  page.SetFilterBandwidth(14999);
  page.FinishFilterBandwidth();
  EXPECT_EQ(page.filter_bandwidth(), 15000);
  page.SetUserCrystal(65536);
  EXPECT_EQ(page.user_crystal(), 65535);
  EXPECT_TRUE(env.dialogs.messages.empty());
}

TEST(TunerPageEdits, LeavingThePageChecksOnlyWhatTheUserChanged) {
  PageEnv env;  // entry 0 has zero frequencies and bandwidth
  CustomerSettings& s = env.settings();
  s.SetU8(record::kSignalQualityZoom, 3);  // shown as 30, outside 50..300
  TunerPage page(env.context);
  page.Load();
  EXPECT_TRUE(page.Validate());
  EXPECT_TRUE(env.dialogs.messages.empty());
  EXPECT_EQ(page.quality_zoom(), 30);
  EXPECT_EQ(page.frequency_low(), 0);
  EXPECT_EQ(page.filter_bandwidth(), 0);
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(s.U8(record::kSignalQualityZoom), 3);
  EXPECT_EQ(s.U16(EntryAt(0) + entry::kFrequencyLow), 0);
  EXPECT_EQ(s.U16(EntryAt(0) + entry::kFilterBandwidth), 0);

  // What the user typed is checked when the page is left, once.
  page.SetFrequencyLow(100);
  page.SetIntensityZoom(20);
  EXPECT_TRUE(page.Validate());
  EXPECT_EQ(page.frequency_low(), 900);
  EXPECT_EQ(page.intensity_zoom(), 100);
  EXPECT_EQ(page.quality_zoom(), 30);
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"Signal intensity zoom should be in 50 - 300!\n"});
  EXPECT_TRUE(page.Validate());
  EXPECT_EQ(env.dialogs.messages.size(), 1u);
}

TEST(TunerPageEdits, ATypedValueIsCheckedBeforeAnotherTypeTakesItsEntry) {
  PageEnv env;
  TunerPage page(env.context);
  page.Load();
  page.SetFrequencyHigh(3000);
  page.SelectTunerType(1);
  EXPECT_EQ(env.settings().U16(EntryAt(0) + entry::kFrequencyHigh), 2250);
  EXPECT_EQ(page.frequency_high(), 0);  // the new type's own entry
}

TEST(TunerPageEdits, ZeroZoomShowsHundredAndStoresTen) {
  PageEnv env;
  TunerPage page(env.context);
  page.Load();
  EXPECT_EQ(page.quality_zoom(), 100);
  page.Store();
  EXPECT_EQ(env.settings().U8(record::kSignalQualityZoom), 10);
}

TEST(TunerPageLoad, OneOffOnWordLeavesThePageEmptyAndTheRecordAlone) {
  testdata::DescriptionSpec d = testdata::RealisticDescription();
  d.SetItems("OffOnOption", {"Off"});
  PageEnv env({}, d);
  if (!env.project)
    GTEST_SKIP() << "the description itself refuses a one-word list";
  TunerPage page(env.context);
  page.Load();
  EXPECT_FALSE(page.loaded());
  EXPECT_TRUE(page.tuner_type.items.empty());
  const CustomerSettings::Bytes before = env.settings().bytes();
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(env.settings().bytes(), before);
}

TEST(TunerPageImport, TakesTheTunerRangesAndReloads) {
  PageEnv env;
  TunerPage page(env.context);
  page.Load();
  CustomerSettings::Bytes file = env.settings().bytes();
  file[record::kSignalQualityZoom] = 25;
  file[record::kTunerType] = 4;
  file[record::kOtaEnable] = 0x55;  // outside the tuner ranges
  page.ImportSettings(file);
  EXPECT_EQ(page.quality_zoom(), 250);
  EXPECT_EQ(page.tuner_type.SelectedText(), "Zarlink 10039");
  EXPECT_NE(env.settings().U8(record::kOtaEnable), 0x55);
}

}  // namespace
}  // namespace qtk
