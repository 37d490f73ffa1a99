#include "common/utf8_path.h"
#include "config/config_description.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

#include "description_fixture.h"
#include "testdata/special_files.h"

namespace qtk {
namespace {

using Names = std::vector<std::string>;
using Values = std::vector<int32_t>;
using testdata::DescriptionSpec;

TEST_F(DescriptionTest, RealisticDescriptionLoadsCompletely) {
  ASSERT_TRUE(Load()) << config_.GetLoadError().message;
  EXPECT_EQ(config_.description_path(), path_);
  EXPECT_EQ(
      config_.GetChunkIds(),
      (std::vector<uint32_t>{0xE3000010u, 0x01FE0101u, 0x02FD0100u, 0x02FDA101u, 0x03FC0100u,
                             0x04FB0100u, 0x06F90101u, 0x06F90102u, 0x06F90301u, 0x10EF0100u}));
  // Every list getter hands out what its section holds.
  for (OptionList list : AllOptionLists()) {
    std::string section(SectionName(list));
    std::vector<std::string> items = spec_.Items(section);
    EXPECT_EQ(config_.List(list).names.size(), items.size()) << section;
    EXPECT_EQ(config_.GetNames(section), config_.List(list).names) << section;
  }
  EXPECT_EQ(config_.GetOffOnOption(), (Names{"Off", "On"}));
  EXPECT_EQ(config_.GetOSDLanguageList().size(), 12u);
  EXPECT_EQ(config_.GetSystemMode(), spec_.Items("SystemMode"));
  EXPECT_EQ(config_.GetPolarity(), spec_.Items("Polarity"));

  NamedValueList tuners = config_.GetTunerType();
  EXPECT_EQ(tuners.names[0], "Sharp 7306");
  EXPECT_EQ(tuners.values[0], 1);
  EXPECT_EQ(tuners.names.size(), tuners.values.size());
  EXPECT_EQ(config_.GetExtTunerDriver().names[0], "tuner_sharp7306.bin");

  EXPECT_EQ(config_.GetGPIOBusType(),
            (Names{"panel_74hc164.bin", "panel_pt6964.bin", "panel_direct_gpio.bin"}));
  EXPECT_EQ(config_.GPIOBusTypeCount(), 3u);
  EXPECT_EQ(config_.GetGPIOBusTypeValue(0), 6);
  EXPECT_EQ(config_.GetGPIOBusTypeValue(2), 12);
  NamedValueList usage = config_.GetGPIOUsage(1);
  EXPECT_EQ(usage.names,
            (Names{"Panel STB", "Panel CLK", "Panel DIO", "LNB power", "Display brightness"}));
  EXPECT_EQ(usage.values, (Values{0, 1, 2, 3, 20}));
  EXPECT_TRUE(config_.GetGPIOUsage(3).names.empty());

  EXPECT_EQ(config_.GetRFMode()[4], "PAL B/G Cable");
  EXPECT_EQ(config_.GetRFModeRange(4), (BytePair{2, 58}));
  EXPECT_EQ(config_.GetRFModeRange(5), (BytePair{0, 0}));  // index = list length
  EXPECT_EQ(config_.GetRFModeRange(-1), (BytePair{0, 0}));
  EXPECT_EQ(config_.GetDACType()[3], "YUV");
  EXPECT_EQ(config_.GetDACTypePair(3), (BytePair{3, 3}));
  EXPECT_EQ(config_.GetDACTypePair(5), (BytePair{0, 0}));

  const ConfigSwitches& s = config_.switches;
  EXPECT_EQ(s.customer_config_enable, 1);
  EXPECT_EQ(s.ota_config_enable, 1);
  EXPECT_EQ(s.show_chunk_detail_enable, 1);
  EXPECT_EQ(s.osd_language_config_enable, 1);
  EXPECT_EQ(s.no_verifying_firmware_password, 0);
  EXPECT_EQ(s.config_version, 2);
  EXPECT_EQ(s.language_pos_changed_enable, 1);
  EXPECT_TRUE(config_.SupportsFlashDevices());
  const ConfigLimits& l = config_.limits;
  EXPECT_EQ(l.volume_min, 0);
  EXPECT_EQ(l.volume_max, 100);
  EXPECT_EQ(l.password_max_length, 5);
  EXPECT_EQ(config_.password_limit, "0123456789");

  std::string off, on;
  ASSERT_TRUE(config_.GetOffOnWords(off, on));
  EXPECT_EQ(off, "Off");
  EXPECT_EQ(on, "On");
}

TEST_F(DescriptionTest, OffOnWordsNeedTwoEntries) {
  spec_.SetItems("OffOnOption", {"Off"});
  ASSERT_TRUE(Load());
  std::string off = "keep", on = "keep";
  EXPECT_FALSE(config_.GetOffOnWords(off, on));
  EXPECT_EQ(off, "keep");
  EXPECT_EQ(on, "keep");
}

TEST_F(DescriptionTest, PathIsTrimmedAndCheckedFirst) {
  ASSERT_TRUE(spec_.Write(PathFromUtf8(path_)));
  config_.SetDescriptionPath(" \t" + path_ + "\t ");
  EXPECT_TRUE(config_.Load());
  EXPECT_EQ(config_.description_path(), path_);

  ConfigDescription none;
  none.SetDescriptionPath(" \t ");
  EXPECT_FALSE(none.Load());
  EXPECT_EQ(none.GetLoadError().code, -9);
  EXPECT_EQ(none.GetLoadError().message, "Error: :\r\nPlease select a config file first.");

  ConfigDescription missing;
  missing.SetDescriptionPath(dir_.File("missing.ini"));
  EXPECT_FALSE(missing.Load());
  EXPECT_EQ(missing.GetLoadError().code, -9);
  EXPECT_EQ(missing.GetLoadError().message,
            "Error: " + dir_.File("missing.ini") + ":\r\nCan not open config file.");

  ConfigDescription directory;
  directory.SetDescriptionPath(dir_.path().string());
  EXPECT_FALSE(directory.Load());
  EXPECT_EQ(directory.GetLoadError().code, -9);
}

TEST_F(DescriptionTest, AnUnrelatedFileFailsAtTheChunkIdList) {
  DescriptionSpec other;
  other.Set("File0", "File", "list.txt");
  spec_ = other;
  ExpectLoadFails(-3, SectionMessage("ChunkId"));
}

TEST_F(DescriptionTest, APathOver260CharactersLoadsWhereThePlatformAllowsIt) {
  std::string deep = dir_.path().string();
  while (deep.size() <= 270)
    deep += "/" + std::string(40, 'd');
  std::filesystem::create_directories(PathFromUtf8(deep));
  path_ = deep + "/" + testdata::kDefaultDescriptionName;
#ifdef _WIN32
  // The platform's profile functions take 260 characters at most: the file reads as empty.
  ExpectLoadFails(-3, SectionMessage("ChunkId"));
#else
  ASSERT_TRUE(Load()) << config_.GetLoadError().message;
  EXPECT_EQ(config_.description_path(), path_);
  EXPECT_EQ(config_.GetChunkIds().size(), 10u);
#endif
}

TEST_F(DescriptionTest, OnlyARegularFileIsOpened) {
  // A FIFO would block the existence check until a writer came.
  path_ = dir_.File("pipe.ini");
  if (!testdata::MakeFifo(path_))
    GTEST_SKIP() << "no FIFOs here";
  config_.SetDescriptionPath(path_);
  EXPECT_FALSE(config_.Load());
  EXPECT_EQ(config_.GetLoadError().code, -9);
  EXPECT_EQ(config_.GetLoadError().message, OtherMessage("Can not open config file."));
}

// Each way of breaking one section, in the order Load reads them, with the text its -3 message
// carries.
struct Breakage {
  std::string text;
  std::function<void(DescriptionSpec&)> apply;
};

std::vector<Breakage> BreakagesInLoadOrder() {
  auto remove = [](std::string section) {
    return Breakage{section, [section](DescriptionSpec& d) { d.RemoveSection(section); }};
  };
  auto negative = [](std::string section, std::string key, std::string text) {
    return Breakage{text, [section, key](DescriptionSpec& d) { d.Set(section, key, -1); }};
  };
  std::vector<Breakage> b;
  b.push_back(negative("CommonConfig", "NoVerifyingFirmwarePassword", "CommonConfig"));
  b.push_back(remove("ChunkId"));
  for (const char* s : {"SystemMode", "GPIOBusType", "OffOnOption", "OSDLanguageList"}) {
    b.push_back(remove(s));
  }
  b.push_back(negative("Palette", "MaxCount", "Palette"));
  b.push_back(negative("LED", "MaxCount", "LED"));
  b.push_back(negative("Language", "MaxSupportCount", "Language"));
  for (const char* s :
       {"AutoScanMode", "TpScanMode", "ProgAudioMode", "PresetProgAudio", "Transparence", "TVMode",
        "ProgramMode", "DACType", "DACIndex", "PauseKeyWindow", "PreviewKeyWindow",
        "DViewKeyWindow", "RFMode", "PanelIrpType"}) {
    b.push_back(remove(s));
  }
  b.push_back({"GPIOUsage", [](DescriptionSpec& d) { d.RemoveSection("GPIOUsage_1"); }});
  for (const char* s : {"PanelKey", "IRKey", "GPIOPolar", "LEDDotCom", "SignalLedCom", "CPUClock",
                        "MemClock", "DataPadDrv", "CmdPadDrv"}) {
    b.push_back(remove(s));
  }
  b.push_back(negative("Volume", "MinValue", "Volume"));
  b.push_back(negative("ClockTreeDly", "MinValue", "ClockTreeDly"));
  b.push_back(negative("ClockDlyChain", "MinValue", "ClockDlyChain"));
  b.push_back(negative("Password", "MaxLength", "Password - MaxLength"));
  b.push_back({"Password - limit", [](DescriptionSpec& d) { d.RemoveKey("Password", "Limit"); }});
  for (const char* s : {"TunerType", "ExtTunerType", "ExtTunerDriver", "Costdown", "DiffSingle",
                        "IQEnable", "IQSet", "ISet", "QSet", "Polarity"}) {
    b.push_back(remove(s));
  }
  // [FlashDevice] keeps its Support key; only its items go.
  b.push_back({"FlashDevice", [](DescriptionSpec& d) { d.SetItems("FlashDevice", {}); }});
  b.push_back(remove("SectorStruct"));
  b.push_back(remove("FlashDeviceValue"));
  return b;
}

class LoadOrderTest : public DescriptionTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(LoadOrderTest, BrokenSectionGivesItsMessage) {
  const std::vector<Breakage> all = BreakagesInLoadOrder();
  all[GetParam()].apply(spec_);
  ExpectLoadFails(-3, SectionMessage(all[GetParam()].text));
}

TEST_P(LoadOrderTest, FirstBrokenSectionWins) {
  std::vector<Breakage> all = BreakagesInLoadOrder();
  for (size_t i = GetParam(); i < all.size(); ++i)
    all[i].apply(spec_);
  ExpectLoadFails(-3, SectionMessage(all[GetParam()].text));
}

INSTANTIATE_TEST_SUITE_P(EverySection, LoadOrderTest,
                         ::testing::Range<size_t>(0, BreakagesInLoadOrder().size()),
                         [](const ::testing::TestParamInfo<size_t>& param_info) {
                           std::string name = BreakagesInLoadOrder()[param_info.param].text;
                           std::erase_if(name, [](unsigned char c) { return !std::isalnum(c); });
                           return std::to_string(param_info.param) + "_" + name;
                         });

TEST_F(DescriptionTest, EveryLoadOrderBreakageIsCovered) {
  // 37 option lists, ChunkId, GPIOUsage, CommonConfig, Palette, LED, Language, Volume,
  // ClockTreeDly, ClockDlyChain, the two Password texts and the three flash sections.
  EXPECT_EQ(BreakagesInLoadOrder().size(), kOptionListCount + 14);
}

TEST_F(DescriptionTest, EveryScalarKeyIsChecked) {
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"CommonConfig", "NoVerifyingFirmwarePassword"},
      {"CommonConfig", "ShowChunkDetailEnable"},
      {"CommonConfig", "CustomerConfigEnable"},
      {"CommonConfig", "OsdLanguageConfigEnable"},
      {"CommonConfig", "OtaConfigEnable"},
      {"CommonConfig", "ConfigVersion"},
      {"Palette", "MaxCount"},
      {"LED", "MaxCount"},
      {"Language", "MaxSupportCount"},
      {"Language", "LanguagePosChangedEnable"},
      {"Volume", "MinValue"},
      {"Volume", "MaxValue"},
      {"ClockTreeDly", "MinValue"},
      {"ClockTreeDly", "MaxValue"},
      {"ClockDlyChain", "MinValue"},
      {"ClockDlyChain", "MaxValue"}};
  for (const auto& [section, key] : keys) {
    spec_ = testdata::RealisticDescription();
    spec_.Set(section, key, -7);
    SCOPED_TRACE(section + " " + key);
    ExpectLoadFails(-3, SectionMessage(section));
  }
}

TEST_F(DescriptionTest, NegativeSwitchIsZeroedAndEarlierKeysKept) {
  spec_.Set("CommonConfig", "OtaConfigEnable", -1);
  EXPECT_FALSE(Load());
  EXPECT_EQ(config_.switches.customer_config_enable, 1);
  EXPECT_EQ(config_.switches.ota_config_enable, 0);
  spec_ = testdata::RealisticDescription();
  spec_.Set("Password", "MaxLength", -1);
  EXPECT_FALSE(Load());
  EXPECT_EQ(config_.limits.password_max_length, 0);
}

TEST_F(DescriptionTest, ScalarsKeepTheirLowByteAndMissingKeysReadZero) {
  spec_.Set("Volume", "MinValue", 300).Set("Volume", "MaxValue", "0x1FF");
  spec_.RemoveSection("Palette");
  spec_.RemoveKey("CommonConfig", "ConfigVersion");
  ASSERT_TRUE(Load());
  EXPECT_EQ(config_.limits.volume_min, 44);
  EXPECT_EQ(config_.limits.volume_max, 0xFF);
  EXPECT_EQ(config_.limits.palette_max_count, 0);
  EXPECT_EQ(config_.switches.config_version, 0);
}

TEST_F(DescriptionTest, VolumeMinusOneFails) {
  spec_.Set("Volume", "MinValue", -1);
  ExpectLoadFails(-3, SectionMessage("Volume"));
}

TEST_F(DescriptionTest, PasswordLimitIsTrimmedAndMustKeepACharacter) {
  spec_.Set("Password", "Limit", "\"  0123456789abc \t\"");
  ASSERT_TRUE(Load());
  EXPECT_EQ(config_.password_limit, "0123456789abc");

  spec_.Set("Password", "Limit", "\"   \"");  // only spaces, kept by the quotes
  ExpectLoadFails(-3, SectionMessage("Password - limit"));
  EXPECT_EQ(config_.password_limit, "");
  spec_.Set("Password", "Limit", "   ");  // only spaces, trimmed by the INI layer
  ExpectLoadFails(-3, SectionMessage("Password - limit"));
}

TEST_F(DescriptionTest, GpioUsageSectionsFollowTheBusTypes) {
  spec_.SetItems("GPIOUsage_3", {"not,a,number"});  // ignored: only 3 bus types
  ASSERT_TRUE(Load());
  EXPECT_EQ(config_.GPIOBusTypeCount(), 3u);

  spec_.AppendItem("GPIOBusType", "panel_extra.bin,2");
  EXPECT_FALSE(Load());  // now GPIOUsage_3 is read and malformed
  EXPECT_EQ(config_.GetLoadError().message, SectionMessage("GPIOUsage"));

  spec_.SetItems("GPIOUsage_3", {"Extra pin,0"});
  ASSERT_TRUE(Load());
  EXPECT_EQ(config_.GPIOBusTypeCount(), 4u);
  EXPECT_EQ(config_.GetGPIOUsage(3).values, (Values{0}));

  // A shorter list drops the surplus usage lists on the next load.
  spec_ = testdata::RealisticDescription();
  spec_.SetItems("GPIOBusType", {"panel_74hc164.bin,6"});
  ASSERT_TRUE(Load());
  EXPECT_EQ(config_.GPIOBusTypeCount(), 1u);
  EXPECT_TRUE(config_.GetGPIOUsage(1).names.empty());
}

TEST_F(DescriptionTest, MalformedItemFailsItsSection) {
  spec_.SetItem("TunerType", 2, "Philips 1216,300");
  ExpectLoadFails(-3, SectionMessage("TunerType"));
  // The sections before are filled, the failing one holds the items before the bad one.
  EXPECT_EQ(config_.GetSystemMode().size(), 3u);
  EXPECT_EQ(config_.GetTunerType().names, (Names{"Sharp 7306", "Sharp 0184"}));

  spec_ = testdata::RealisticDescription();
  spec_.SetItem("RFMode", 1, "PAL I,69,21");
  ExpectLoadFails(-3, SectionMessage("RFMode"));
}

TEST_F(DescriptionTest, FailedReloadKeepsLaterSectionsAndSecondLoadReplaces) {
  ASSERT_TRUE(Load());
  spec_.SetItems("SystemMode", {"Only"});
  spec_.RemoveSection("IRKey");
  EXPECT_FALSE(Load());
  EXPECT_EQ(config_.GetSystemMode(), (Names{"Only"}));
  EXPECT_EQ(config_.GetTunerType().names.size(), 6u);  // after IRKey: as before
  EXPECT_TRUE(config_.GetIRKey().names.empty());

  spec_ = testdata::RealisticDescription();
  spec_.SetItems("TunerType", {"Other,9"});
  ASSERT_TRUE(Load());
  EXPECT_EQ(config_.GetTunerType(), (NamedValueList{{"Other"}, {9}}));
  EXPECT_EQ(config_.GetIRKey().names.size(), 40u);
}

TEST_F(DescriptionTest, CopyAssignmentCopiesEverything) {
  ASSERT_TRUE(Load());
  ConfigDescription copy;
  copy = config_;
  EXPECT_EQ(copy.description_path(), path_);
  EXPECT_EQ(copy.switches, config_.switches);
  EXPECT_EQ(copy.limits, config_.limits);
  EXPECT_EQ(copy.password_limit, config_.password_limit);
  EXPECT_EQ(copy.GetChunkIds(), config_.GetChunkIds());
  for (OptionList list : AllOptionLists())
    EXPECT_EQ(copy.List(list), config_.List(list));
  EXPECT_EQ(copy.GetGPIOUsage(2), config_.GetGPIOUsage(2));
  EXPECT_EQ(copy.GetFlashDevices(), config_.GetFlashDevices());
  EXPECT_EQ(copy.GetSectorStructs(), config_.GetSectorStructs());
  EXPECT_EQ(copy.GetDeviceValues(), config_.GetDeviceValues());

  // The error state travels too, and the copy stays independent of the original.
  spec_.RemoveSection("ChunkId");
  EXPECT_FALSE(Load());
  ConfigDescription failed = config_;
  EXPECT_EQ(failed.GetLoadError().message, SectionMessage("ChunkId"));
  EXPECT_EQ(copy.GetLoadError().message, "");
  EXPECT_EQ(copy.GetSystemMode().size(), 3u);
}

}  // namespace
}  // namespace qtk
