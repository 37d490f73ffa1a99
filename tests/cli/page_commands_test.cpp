// qtkcli show and apply: the page fields of an image by name, set through the page models,
// every refusal with its message, and the round trip show --json -> apply.
#include "common/utf8_path.h"
#include "cli/page_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "common/latin1_text.h"
#include "firmware/image/chunk_ids.h"
#include "settings/record_layout.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/saved_image.h"
#include "testdata/temp_dir.h"
#ifdef QTK_HAVE_MAIN_WINDOW_MODEL
#include "app/model/main_window_model.h"
#include "common/recording_dialogs.h"
#include "firmware/firmware_loader.h"
#include "pages/page_list.h"
#endif

namespace qtk::cli {
namespace {

using testdata::ReadFile;
using testdata::WriteFile;

class PageCommandsTest : public ::testing::Test {
 protected:
  PageCommandsTest() {
    const testdata::DescriptionSpec description = testdata::RealisticDescription();
    description.Write(PathFromUtf8(config()));
    WriteImage({});
    description.WriteItemFiles("ExtTunerDriver", dir.path(), 0x100, 60);
    // The GPIO usage page marks the dynamic panel file of its bus type at every load.
    description.WriteItemFiles("GPIOBusType", dir.path(), 0x100, 64);
  }
  void WriteImage(const testdata::StandardImageOptions& options,
                  const std::string& password = "1234") {
    WriteFile(image(), testdata::BuildStandardFirmware(options, password));
  }
  std::string config() const { return dir.File("QTK_K7720X.ini"); }
  std::string image() const { return dir.File("fw.bin"); }
  std::string output() const { return dir.File("out.bin"); }
  OpenOptions Open(const std::string& password = "1234") const {
    return {image(), config(), password};
  }
  Streams streams() { return {out, err}; }
  void Reset() {
    out.str("");
    err.str("");
  }
  // Runs apply with the JSON text as the --set file.
  int Apply(const std::string& json, std::vector<std::string> replacements = {}) {
    const std::string set = dir.File("set.json");
    WriteFile(set, std::vector<uint8_t>(json.begin(), json.end()));
    ApplyOptions options{Open(), set, output(), std::move(replacements), {}};
    return RunApplyCommand(options, streams());
  }
  nlohmann::ordered_json ShowJson() {
    Reset();
    EXPECT_EQ(RunShowCommand(Open(), true, streams()), 0) << err.str();
    return nlohmann::ordered_json::parse(out.str());
  }

  testdata::TempDir dir{"qtk_cli_pages"};
  std::ostringstream out, err;
};

TEST_F(PageCommandsTest, ShowListsEveryFieldAsThePageShowsIt) {
  ASSERT_EQ(RunShowCommand(Open(), false, streams()), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  const std::string text = out.str();
  EXPECT_EQ(text.rfind("General\n  Chunk list (list: Chunk name | ID | Offset | CRC | File)\n"
                       "    bootloader | 0xe3000010 | 0x00001000 | 0x4e435243 | \n",
                       0),
            0u);
  for (const char* line :
       {"Common\n  Version (text): \"DEMO 1.0.0\"\n", "  Power on string (text): \"8888\"\n",
        "  OSD Palette (choice: \"style 1\", \"style 2\", \"style 3\", \"style 4\"): \"style 2\"\n",
        "  Volume (number): 20\n",
        "  Logo show delay (choice: \"Off.\", \"1 sec.\", \"2 sec.\", \"3 sec.\", \"4 sec.\", "
        "\"5 sec.\", \"6 sec.\", \"7 sec.\", \"8 sec.\", \"9 sec.\", \"10 sec.\"): \"3 sec.\"\n",
        "Tuner\n  Tuner list (list: Tuner | Enable)\n    Sharp 7306 | On\n"
        "    Zarlink 10039 | On\n    Sharp 2091 | On\n    Philips 8262 | On\n"
        "  Tuner type (choice: \"Sharp 7306\", \"Zarlink 10039\", \"Sharp 2091\", \"Philips "
        "8262\"): "
        "\"Sharp 7306\"\n",
        "  Single crystal (choice: none, disabled): \"\"\n",
        "  QPSK config (hexadecimal): \"0000\"\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

TEST_F(PageCommandsTest, ShowJsonHoldsThePagesInPageOrderAndOnlyShownFields) {
  nlohmann::ordered_json doc = ShowJson();
  std::vector<std::string> pages;
  for (const auto& [name, fields] : doc.items())
    pages.push_back(name);
  EXPECT_EQ(pages, (std::vector<std::string>{"General", "Common", "Tuner", "Language", "AV set",
                                             "Key map", "Panel", "GPIO usage", "Program set",
                                             "System set", "Serial flash", "OTA set"}));
  EXPECT_EQ(doc["Key map"]["IR user code 1"], "00ff");
  EXPECT_EQ(doc["Panel"]["Segment list"][0], nlohmann::ordered_json({"Segment H", "Bit 0"}));
  EXPECT_FALSE(doc["Panel"].contains("Key repeat first"));  // hidden on the page
  EXPECT_EQ(doc["GPIO usage"]["Bus type"], "panel_74hc164.bin");
  EXPECT_EQ(doc["Common"]["Volume"], 20);
  EXPECT_EQ(doc["Common"]["Transparence"], "0%");
  EXPECT_EQ(doc["Tuner"]["Tuner list"][1], nlohmann::ordered_json({"Zarlink 10039", "On"}));
  EXPECT_EQ(doc["Tuner"]["Base address"], "00");
  EXPECT_EQ(doc["General"]["Chunk list"].size(), 9u);
  EXPECT_EQ(doc["AV set"]["RF channel"], 21);
  EXPECT_EQ(doc["AV set"]["Video output list"][2],
            nlohmann::ordered_json({"S-Video", "Off", "DAC B", "DAC C", "N/A"}));
  EXPECT_EQ(doc["Program set"]["Autoscan more TPs"], nlohmann::ordered_json::array());

  WriteImage({.config_version = 1});
  doc = ShowJson();
  EXPECT_FALSE(doc["Tuner"].contains("Base address"));  // the basic format has no entries
  EXPECT_EQ(doc["Tuner"]["Tuner type"], "");
}

TEST_F(PageCommandsTest, ApplySetsFieldsThroughTheModelsAndSaves) {
  ASSERT_EQ(Apply("{}"), 0) << err.str();
  const testdata::SavedImage unchanged = testdata::ReadSavedImage(output());
  ASSERT_TRUE(unchanged.parsed);
  Reset();
  ASSERT_EQ(Apply(R"({"Common": {"Version": "V2.1", "Volume": 25, "OSD Palette": "style 1"},
                     "Tuner": {"Frequency low": 950, "Tuner type": "Zarlink 10039"}})"),
            0)
      << err.str();
  EXPECT_EQ(err.str(), "Success to save the file.\n");
  const testdata::SavedImage saved = testdata::ReadSavedImage(output());
  ASSERT_TRUE(saved.parsed);
  std::vector<uint8_t> expected = unchanged.Record();
  const std::string version = "V2.1";
  std::fill_n(expected.begin() + record::kVersionText, 24, 0);
  std::copy(version.begin(), version.end(), expected.begin() + record::kVersionText);
  expected[record::kDefaultVolume] = 25;
  expected[record::kPaletteStyle] = 0;
  expected[record::kTunerType] = 4;
  expected[record::kExtTunerIndex] = 1;
  expected[record::kUserCrystal] = 0;  // the new type's entry brings its own crystal
  expected[record::kUserCrystal + 1] = 0;
  // Fields are set in the page's own order: the type first, then its entry's frequency.
  expected[record::kTunerParameters + 16] = 950 & 0xFF;
  expected[record::kTunerParameters + 17] = 950 >> 8;
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(int(saved.Record()[i]), int(expected[i])) << "record byte " << i;
  EXPECT_EQ(saved.Data(kTunerDriverChunkId, 0x100), testdata::PatternBytes(0x100, 61));
}

TEST_F(PageCommandsTest, ApplyWorksTheLanguageListAndTheGatedSystemSettings) {
  ASSERT_EQ(Apply("{}"), 0) << err.str();
  const testdata::SavedImage unchanged = testdata::ReadSavedImage(output());
  Reset();
  ASSERT_EQ(Apply(R"({"Language": {"Language list": [["Greek", "On"], ["English", "Off"],
                                                         ["French", "On"]],
                                   "Current Languages": "French"},
                     "System set": {
                       "Advanced: WARNING! Modify following configurations is dangerous!": "On",
                       "CPU clock": "135 MHz", "Clock delay chain": 6,
                       "Sys password 2": "2468"}})"),
            0)
      << err.str();
  const testdata::SavedImage saved = testdata::ReadSavedImage(output());
  ASSERT_TRUE(saved.parsed);
  std::vector<uint8_t> expected = unchanged.Record();
  expected[record::kLanguageCount] = 3;
  expected[record::kCurrentLanguage] = 2;
  expected[record::kLanguageEnableMask] = 0b101;
  expected[record::kLanguageTable] = 12;
  expected[record::kLanguageTable + 1] = 1;
  expected[record::kLanguageTable + 2] = 2;
  expected[record::kCpuClock] = 2;
  expected[record::kClockDelayChain] = 6;
  const std::string password = "2468";
  std::copy(password.begin(), password.end(), expected.begin() + record::kSysPassword2);
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(int(saved.Record()[i]), int(expected[i])) << "record byte " << i;
  EXPECT_EQ(std::vector<uint8_t>(saved.bytes.begin() + 258, saved.bytes.begin() + 264),
            std::vector<uint8_t>(expected.begin() + 2, expected.begin() + 8));
}

// A generated record for every round trip: values within the description's lists and ranges,
// and an entry area in another order than the description's.
std::vector<uint8_t> RandomRecord(std::mt19937& random, int config_version) {
  std::vector<uint8_t> r = testdata::MakeRecord(config_version);
  auto pick = [&random](int low, int high) {
    return static_cast<uint8_t>(std::uniform_int_distribution<int>(low, high)(random));
  };
  r[record::kDefaultVolume] = pick(0, 100);
  r[record::kPaletteCount] = pick(1, 4);
  r[record::kPaletteStyle] = pick(0, r[record::kPaletteCount] - 1);
  r[record::kTransparence] = pick(0, 3);
  r[record::kAutoScanMode] = pick(0, 1);
  r[record::kTpScanMode] = pick(0, 1);
  r[record::kContinueKey] = pick(0, 1);
  r[record::kSystemMode] = pick(0, 2);
  r[record::kNewProgramAudio] = static_cast<uint8_t>(pick(0, 3) | (pick(0, 3) << 3));
  r[record::kLogoShowDelay] = pick(0, 10);
  r[record::kSignalQualityZoom] = pick(5, 30);
  r[record::kSignalIntensityZoom] = pick(0, 30);
  r[record::kTunerFlags] = pick(0, 255);
  r[record::kTunerType] = std::array<uint8_t, 4>{1, 4, 7, 8}[pick(0, 3)];
  r[record::kUserCrystal] = pick(0, 255);
  r[record::kOfferedTunerCount] = pick(0, 3);
  for (int i = 0; i < 4; ++i)
    r[record::kOfferedTunerCodes + i] = std::array<uint8_t, 4>{1, 3, 4, 5}[i];
  for (size_t i = 0; i < 4 * 16; ++i)
    r[record::kTunerParameters + i] = pick(0, 255);
  const std::array<uint8_t, 4> stored_order = {8, 1, 7, 4};
  std::copy(stored_order.begin(), stored_order.end(), r.begin() + record::kExtTunerCodes);
  // OTA block: any 16-bit numbers, a six-digit OUI, choices as the page stores them, and the
  // bytes the page never writes.
  for (size_t at :
       {record::kOtaFrequency, record::kOtaSymbolRate, record::kOtaPid, record::kOtaLnbFrequencyH,
        record::kOtaHardwareModel, record::kOtaHardwareVersion, record::kOtaSoftwareModel,
        record::kOtaSoftwareVersion, record::kOtaLnbFrequencyV}) {
    r[at] = pick(0, 255);
    r[at + 1] = pick(0, 255);
  }
  for (size_t i = 0; i < 3; ++i)
    r[record::kOtaSystemOui + i] = pick(0, 255);
  r[record::kOtaLnbType] = pick(0, 1);
  r[record::kOtaPolarity] = pick(0, 1);
  r[1440] = pick(0, 255);
  const uint8_t port = pick(0, 4);
  r[record::kOtaDiseqcInUse] = port == 0 ? 0 : 2;
  r[record::kOtaDiseqcPort] = port == 0 ? 0 : port - 1;
  r[record::kOta22kTone] = pick(0, 1);
  r[record::kOtaEnable] = pick(0, 1);
  for (size_t i = 1445; i < 1450; ++i)
    r[i] = pick(0, 255);
  // Serial flash devices with distinct IDs, some of them the catalogue's.
  std::fill(r.begin() + record::kFlashDeviceCount, r.begin() + record::kFlashDeviceAreaEnd, 0);
  const uint8_t count = pick(1, 60);
  r[record::kFlashDeviceCount] = count;
  for (size_t i = 0; i < count; ++i) {
    r[record::kFlashDeviceIdSlots + 2 * i] = static_cast<uint8_t>(0xC2 + i);
    r[record::kFlashDeviceIdSlots + 2 * i + 1] = pick(0, 3);  // 3 has no device value
    r[record::kFlashDeviceSectorSlots + i] = pick(0, 3);      // 3 names no sector structure
  }
  r[record::kTvMode] = pick(0, 2);
  r[record::kProgramMode] = pick(0, 2);
  r[record::kRfMode] = static_cast<uint8_t>(pick(0, 4) | (pick(0, 15) << 4));
  r[record::kRfChannel] = pick(0, 255);
  // Output 0 stays the enabled one; the others hold any DAC bytes, known or not.
  for (size_t i = 5; i < 4 * record::kVideoOutputEntries; ++i)
    r[record::kVideoOutputTable + i] = i % 4 == 0 ? 0 : pick(0, 6);
  for (size_t i = 0; i < 4 * record::kAutoscanTpEntries; ++i)
    r[record::kAutoscanTps + i] = pick(0, 255);
  for (size_t i = 0; i < 8 * record::kForbiddenEntryCount; ++i)
    r[record::kForbiddenEntries + i] = pick(0, 2) == 0 ? 0 : pick(0, 255);
  return r;
}

class PageRoundTrip : public PageCommandsTest, public ::testing::WithParamInterface<int> {};

TEST_P(PageRoundTrip, ShowJsonAppliedUnchangedGivesTheRecordOfAnUneditedSave) {
  std::mt19937 random(static_cast<unsigned>(GetParam()));
  const int version = GetParam() % 2 == 0 ? 2 : 1;
  std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({.config_version = version});
  chunks.back().data = RandomRecord(random, version);
  WriteFile(image(), testdata::BuildFirmware(chunks, "1234"));

  const nlohmann::ordered_json shown = ShowJson();
  Reset();
  ASSERT_EQ(Apply(shown.dump()), 0) << err.str();
  const std::vector<uint8_t> applied = ReadFile(output());
  if (version == 2) {
    // The saved image shows the same page fields again (only the chunk CRCs differ: the
    // tuner-driver chunk goes out with the driver of the chosen type). A basic record with the
    // tuner-driver chunk goes out raised to the extended format and shows that one's fields.
    WriteFile(image(), applied);
    const nlohmann::ordered_json again = ShowJson();
    EXPECT_EQ(again["Common"], shown["Common"]);
    EXPECT_EQ(again["Tuner"], shown["Tuner"]);
    EXPECT_EQ(again["Serial flash"], shown["Serial flash"]);
    EXPECT_EQ(again["OTA set"], shown["OTA set"]);
    EXPECT_EQ(again["AV set"], shown["AV set"]);
    EXPECT_EQ(again["Program set"], shown["Program set"]);
  }

#ifdef QTK_HAVE_MAIN_WINDOW_MODEL
  WriteFile(image(), testdata::BuildFirmware(chunks, "1234"));
  LoadSession session;
  RecordingDialogs dialogs;
  std::unique_ptr<FirmwareProject> project =
      OpenFirmware(image(), config(), "1234", session, dialogs);
  ASSERT_TRUE(project);
  MainWindowModel model(std::move(*project), session,
                        {&dialogs, dir.path(), nullptr, CreatePageModel});
  const std::string unedited = dir.File("unedited.bin");
  dialogs.chosen_paths = {unedited};
  ASSERT_TRUE(model.SaveFirmwareCommand()) << dialogs.LastText();
  EXPECT_EQ(testdata::ReadSavedImage(unedited).Record(),
            testdata::ParseSavedImage(applied).Record());
  EXPECT_EQ(ReadFile(unedited), applied);
#endif
}

INSTANTIATE_TEST_SUITE_P(GeneratedRecords, PageRoundTrip, ::testing::Range(1, 9));

struct Refusal {
  std::string json;
  std::string message;
};

class ApplyRefusals : public PageCommandsTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ApplyRefusals, NameThePageAndFieldExitOneAndWriteNothing) {
  EXPECT_EQ(Apply(GetParam().json), 1);
  EXPECT_EQ(err.str(), GetParam().message);
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(output())));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ApplyRefusals,
    ::testing::Values(
        Refusal{
            R"({"Comon": {}})",
            "qtkcli: no page \"Comon\" (the pages are General, Common, Tuner, Language, AV set, "
            "Key map, Panel, GPIO usage, Program set, System set, Serial flash, OTA set)\n"},
        Refusal{
            R"({"Keymap": {}})",
            "qtkcli: no page \"Keymap\" (the pages are General, Common, Tuner, Language, AV set, "
            "Key map, Panel, GPIO usage, Program set, System set, Serial flash, OTA set)\n"},
        Refusal{R"({"Common": {"Volum": 1}})", "qtkcli: Common: no field \"Volum\"\n"},
        Refusal{R"({"Common": 3})", "qtkcli: Common: the page takes an object of fields\n"},
        Refusal{R"({"Common": {"OSD Palette": "style 9"}})",
                "qtkcli: Common: \"OSD Palette\": \"style 9\" is not one of its choices: "
                "\"style 1\", \"style 2\", \"style 3\", \"style 4\"\n"},
        Refusal{R"({"Common": {"Volume": 150}})",
                "qtkcli: Common: \"Volume\": the page makes 150 into 0\n"},
        Refusal{R"({"Common": {"Volume": "25"}})",
                "qtkcli: Common: \"Volume\": the field takes a whole number\n"},
        Refusal{R"({"Common": {"Volume": 2.5}})",
                "qtkcli: Common: \"Volume\": a field takes a text, a whole number or a list of "
                "rows, not 2.5\n"},
        Refusal{R"({"Common": {"Version": true}})",
                "qtkcli: Common: \"Version\": a field takes a text, a whole number or a list of "
                "rows, not true\n"},
        Refusal{"{\"Common\": {\"Version\": \"V\xE2\x82\xAC\"}}",
                "qtkcli: Common: \"Version\": the text \"V\xE2\x82\xAC\" has a character that no "
                "single byte can carry\n"},
        Refusal{"{\"Common\": {\"Version\": \"V\xC3\xA9\"}}",
                "qtkcli: Common: \"Version\": the field does not take the character "
                "\"\xC3\xA9\"\n"},
        Refusal{R"({"Common": {"Power on string": "kk"}})",
                "qtkcli: Common: \"Power on string\": the field does not take the character "
                "\"k\"\n"},
        Refusal{R"({"Tuner": {"Signal quality zoom": 45}})",
                "Signal quality zoom should be in 50 - 300!\n"
                "qtkcli: Tuner: \"Signal quality zoom\": the page makes 45 into 100\n"},
        Refusal{R"({"Tuner": {"Single crystal": "Enable"}})",
                "qtkcli: Tuner: \"Single crystal\": the field is disabled\n"},
        Refusal{R"({"Tuner": {"Tuner list": [["Sharp 7306", "Off"]]}})",
                "qtkcli: Tuner: \"Tuner list\": the list has 4 rows, not 1\n"},
        Refusal{R"({"Tuner": {"Tuner list": [[1]]}})",
                "qtkcli: Tuner: \"Tuner list\": list cells are texts, not 1\n"},
        Refusal{R"({"OTA set": {"OTA sym": 70000}})",
                "qtkcli: OTA set: \"OTA sym\": the page makes 70000 into 65535\n"},
        Refusal{R"({"OTA set": {"DiSEqc": "LNB9"}})",
                "qtkcli: OTA set: \"DiSEqc\": \"LNB9\" is not one of its choices: \"OFF\", "
                "\"LNB1\", \"LNB2\", \"LNB3\", \"LNB4\"\n"},
        Refusal{R"({"OTA set": {"OTA PID": "12345"}})",
                "qtkcli: OTA set: \"OTA PID\": the field takes at most 4 characters\n"},
        Refusal{R"({"Serial flash": {"Serial Flash Device": [["0xC2", "0x03", "0x03",
                     "Boot sectors at top"]]}})",
                "Can not edit this flash device, it is supported internal.\n"
                "qtkcli: Serial flash: \"Serial Flash Device\": row 1 cannot be edited\n"},
        Refusal{R"({"Serial flash": {"Serial Flash Device": [["0xC2", "0x0B", "0x03",
                     "MX25L1605D"]]}})",
                "Are you sure want to delete this flash device?\n"
                "Can not delete this flash device, it is supported internal.\n"
                "qtkcli: Serial flash: \"Serial Flash Device\": row 2 cannot be deleted\n"},
        Refusal{R"({"Serial flash": {"Serial Flash Device": [["0xC2", "0x0B", "0x03",
                     "MX25L1605D"], ["0x1C", "0x03", "0x03", "EN25F16"], ["0x1C", "0x03",
                     "0x03", "Uniform 64KB sectors"]]}})",
                "The flash device is exist already.\n"
                "qtkcli: Serial flash: \"Serial Flash Device\": row 3 was refused\n"},
        Refusal{R"({"Serial flash": {"Serial Flash Device": [["0xC2", "0x0B", "0x03",
                     "MX25L1605D"], ["0x1C", "0x03", "0x03", "EN25F16"], ["0x00", "0x03",
                     "0x03", "Uniform 64KB sectors"]]}})",
                "Flash ID is error.\n"
                "qtkcli: Serial flash: \"Serial Flash Device\": row 3 was refused\n"},
        Refusal{R"({"Serial flash": {"Serial Flash Device": [["0xC2", "0x0B", "0x03",
                     "MX25L1605D"], ["0x1C", "0x03", "0x03", "EN25F16"], ["0x1D", "0x04",
                     "0x03", "Uniform 64KB sectors"]]}})",
                "qtkcli: Serial flash: \"Serial Flash Device\": row 3 \"Command\" and \"Byte "
                "Address\" name no device value\n"},
        Refusal{R"({"AV set": {"RF channel": 70}})",
                "qtkcli: AV set: \"RF channel\": the page makes 70 into 21\n"},
        Refusal{R"({"Program set": {"Autoscan more TPs": [["H", "13451", "27500"]]}})",
                "The range of TP frequency must be 3000 - 13450!\n"
                "qtkcli: Program set: \"Autoscan more TPs\": row 1 is refused by the \"Add TP\" "
                "dialog\n"},
        Refusal{
            R"({"Program set": {"Forbidden programs/TP": [["H/V", "12000", "27500", "****"]]}})",
            "qtkcli: Program set: \"Forbidden programs/TP\": row 1: a row has 5 cells, not "
            "4\n"},
        Refusal{R"({"Language": {"Language list": [["English", "Off"]]}})",
                "Error: At lease one language should be enabled.\n"
                "qtkcli: Language: \"Language list\": the page makes [\"English\", "
                "\"Off\"] into [\"English\", \"On\"]\n"},
        Refusal{R"({"Language": {"Current Languages": "Greek"}})",
                "qtkcli: Language: \"Current Languages\": \"Greek\" is not one of its "
                "choices: \"English\", \"French\", \"German\"\n"},
        Refusal{R"({"System set": {"CPU clock": "135 MHz"}})",
                "qtkcli: System set: \"CPU clock\": the field is disabled\n"},
        Refusal{R"({"Key map": {"Panel Key Usage": [["Power", "1234"], ["Menu", "1234"],
                 ["OK", ""], ["Channel up", ""], ["Channel down", ""], ["Volume up", ""],
                 ["Volume down", ""], ["Exit", ""]]}})",
                "the scan codes of Key [Menu] is duplicate with Key [Power]!\n"
                "qtkcli: Key map: \"Panel Key Usage\": row 2 keeps \"\"\n"},
        Refusal{R"({"Key map": {"IR user code 1": "12g"}})",
                "qtkcli: Key map: \"IR user code 1\": the field does not take the character "
                "\"g\"\n"},
        Refusal{R"({"Panel": {"LED Dot position": "Bit 3"}})",
                "qtkcli: Panel: \"LED Dot position\": the field is disabled\n"},
        Refusal{R"({"Panel": {"Key repeat first": 20}})",
                "qtkcli: Panel: \"Key repeat first\": the field is not shown for this "
                "firmware\n"},
        Refusal{
            R"({"GPIO usage": {"Usage": [["Panel clock", "100", ""], ["Panel data", "0", "Low active"],
                 ["Key scan 1", "0", "Low active"], ["Key scan 2", "0", "Low active"],
                 ["LNB power", "0", "Low active"], ["Tuner reset", "0", "Low active"],
                 ["Digit order", "0", ""], ["Key debounce", "0", ""]]}})",
            "GPIO No. must be 0-62, Unused:63.\n"
            "qtkcli: GPIO usage: \"Usage\": row 1 keeps GPIO No. \"10\"\n"},
        Refusal{R"({"General": {"Chunk list": []}})",
                "qtkcli: General: \"Chunk list\": the chunk list changes only by replacing a "
                "chunk with a file\n"}));

TEST_F(PageCommandsTest, ApplySetsTheSerialFlashListAndTheOtaFields) {
  ASSERT_EQ(Apply("{}"), 0) << err.str();
  const std::vector<uint8_t> unchanged = testdata::ReadSavedImage(output()).Record();
  Reset();
  ASSERT_EQ(Apply(R"({"Serial flash": {"Serial Flash Device": [
                       ["0xC2", "0x0B", "0x03", "MX25L1605D"],
                       ["0x1C", "0x03", "0x03", "EN25F16"],
                       ["0x9E", "0x3B", "0x03", "Boot sectors at bottom"],
                       ["0x01", "0x0B", "0x03", "S25FL016A"]]},
                     "OTA set": {"OTA PID": "", "DiSEqc": "LNB2", "Sys OUI": "c0ffee"}})"),
            0)
      << err.str();
  EXPECT_EQ(err.str(), "Success to save the file.\n");
  std::vector<uint8_t> expected = unchanged;
  expected[944] = 4;
  expected[952] = 0x9E, expected[953] = 2, expected[1070] = 2;  // row 3 edited
  expected[954] = 0x01, expected[955] = 0, expected[1071] = 1;  // a catalogue device added
  expected[record::kOtaDiseqcInUse] = 2;
  expected[record::kOtaDiseqcPort] = 1;
  expected[record::kOtaSystemOui] = 0xEE, expected[record::kOtaSystemOui + 1] = 0xFF;
  expected[record::kOtaSystemOui + 2] = 0xC0;
  const std::vector<uint8_t> saved = testdata::ReadSavedImage(output()).Record();
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(int(saved[i]), int(expected[i])) << "record byte " << i;
}

TEST_F(PageCommandsTest, ApplyRefusesFilesThatAreNoPageObject) {
  EXPECT_EQ(Apply("[1]"), 1);
  EXPECT_EQ(err.str(), "qtkcli: " + dir.File("set.json") +
                           " must hold an object of pages, {\"Common\": {...}, ...}\n");
  Reset();
  EXPECT_EQ(Apply("{\"Common\": "), 1);
  EXPECT_EQ(err.str().rfind("qtkcli: " + dir.File("set.json") + " is not JSON: ", 0), 0u);
  Reset();
  ApplyOptions missing{Open(), dir.File("none.json"), output(), {}, {}};
  EXPECT_EQ(RunApplyCommand(missing, streams()), 1);
  EXPECT_EQ(err.str(), "qtkcli: can not read " + dir.File("none.json") + "\n");
  Reset();
  // A hidden control takes no other value.
  WriteImage({.config_version = 1});
  EXPECT_EQ(Apply(R"({"Tuner": {"Base address": "10"}})"), 1);
  EXPECT_EQ(err.str(),
            "qtkcli: Tuner: \"Base address\": the field is not shown for this firmware\n");
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(output())));
}

TEST_F(PageCommandsTest, ReplacementsGoThroughTheGeneralPage) {
  std::vector<uint8_t> logo = testdata::PatternBytes(0x200, 3);
  std::copy_n(std::vector<uint8_t>{0, 0, 1, 0xB3}.begin(), 4, logo.begin());
  std::copy_n(std::vector<uint8_t>{0, 0, 1, 0xB7}.begin(), 4, logo.end() - 4);
  WriteFile(dir.File("logo.m2v"), logo);
  ASSERT_EQ(Apply("{}", {"0x02FD0100=" + dir.File("logo.m2v")}), 0) << err.str();
  EXPECT_EQ(testdata::ReadSavedImage(output()).Data(kLogoChunkId), logo);
  std::filesystem::remove(PathFromUtf8(output()));

  Reset();
  WriteFile(dir.File("bad.m2v"), testdata::PatternBytes(0x200));
  EXPECT_EQ(Apply("{}", {"0x02FD0100=" + dir.File("bad.m2v")}), 1);
  EXPECT_EQ(err.str(),
            "It is not a standard logo file!\nqtkcli: General: chunk 0x02FD0100 is not "
            "replaced with " +
                dir.File("bad.m2v") + "\n");
  Reset();
  EXPECT_EQ(Apply("{}", {"0x12345678=" + dir.File("x")}), 1);
  EXPECT_EQ(err.str(), "qtkcli: General: the chunk list has no chunk with id 0x12345678\n");
  Reset();
  EXPECT_EQ(Apply("{}", {"02FD0100=x"}), 2);  // a usage error, found before the image is opened
  EXPECT_EQ(err.str(),
            "qtkcli: --replace takes ID=FILE with the chunk id in hexadecimal as 0x...: "
            "02FD0100=x\n");
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(output())));
}

TEST_F(PageCommandsTest, PasswordsAreSingleBytesOnTheCommandLineToo) {
  WriteImage({}, "p\xE4sswort");  // Latin-1, as the record keeps it
  EXPECT_EQ(RunShowCommand(Open("p\xC3\xA4sswort"), true, streams()), 0) << err.str();
  Reset();
  EXPECT_EQ(RunShowCommand(Open("\xE2\x82\xAC"), true, streams()), 1);
  EXPECT_EQ(err.str(),
            "qtkcli: --password takes at most 8 characters, each with a one-byte (Latin-1) "
            "encoding\n");
  Reset();
  EXPECT_EQ(RunShowCommand(Open("p\xC3\xA4sswort1"), true, streams()), 1);
  EXPECT_EQ(out.str(), "");
}

TEST(Latin1Text, EveryByteSurvivesTheTripThroughUtf8) {
  std::string all;
  for (int c = 0; c < 256; ++c)
    all += static_cast<char>(c);
  const std::string utf8 = Latin1ToUtf8(all);
  EXPECT_EQ(utf8.size(), 128u + 2 * 128u);
  EXPECT_EQ(Utf8ToLatin1(utf8), std::optional<std::string>(all));
  EXPECT_EQ(Latin1ToUtf8("\xE4"), "\xC3\xA4");
  EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x98\x80"), std::nullopt);
  EXPECT_EQ(Utf8ToLatin1("\xC3\x28"), std::nullopt);
}

}  // namespace
}  // namespace qtk::cli
