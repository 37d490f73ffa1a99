// qtkcli diff, check and the change report of save and apply: every line they print, every
// exit status, and the report of a save against what the saved image holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "common/utf8_path.h"
#include "cli/check_command.h"
#include "cli/diff_command.h"
#include "cli/firmware_commands.h"
#include "cli/page_commands.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/image_parser.h"
#include "inspect/chunk_walk.h"
#include "settings/record_layout.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::cli {
namespace {

using testdata::ReadFile;
using testdata::WriteFile;
using Bytes = std::vector<uint8_t>;

// The standard image with record bytes written over.
Bytes ImageWithRecord(const std::vector<std::pair<size_t, uint8_t>>& bytes,
                      testdata::StandardImageOptions options = {}) {
  std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks(options);
  for (testdata::ChunkSpec& c : chunks) {
    if (c.id != kCommonDataChunkId)
      continue;
    for (const auto& [offset, value] : bytes)
      c.data.at(offset) = value;
  }
  return testdata::BuildFirmware(chunks, "1234");
}

// The line of a chunk that differs between two images, from their headers.
std::string ChunkChanged(const std::string& before, const std::string& after, uint32_t id) {
  // The chunk walk reads the headers of a damaged image too.
  const ChunkTable a = WalkChunks(ReadFile(before)).value().chunks;
  const ChunkTable b = WalkChunks(ReadFile(after)).value().chunks;
  const ChunkEntry& x = a.entries[static_cast<size_t>(a.FindLoaded(id).value())];
  const ChunkEntry& y = b.entries[static_cast<size_t>(b.FindLoaded(id).value())];
  char text[160];
  std::snprintf(text, sizeof text,
                "chunk changed 0x%08X \"%s\": length 0x%08X -> 0x%08X, CRC 0x%08X -> 0x%08X\n", id,
                y.Name().c_str(), x.length, y.length, x.crc, y.crc);
  return text;
}

// The diff's lines without the record lines that start in [first, end), and how many those
// were: "record byte N ..." and "record bytes N-M ...".
std::pair<std::string, int> SplitRecordLines(const std::string& text, size_t first, size_t end) {
  std::istringstream lines(text);
  std::string kept;
  int dropped = 0;
  for (std::string line; std::getline(lines, line);) {
    size_t offset = 0;
    if (std::sscanf(line.c_str(), "record byte %zu", &offset) == 1 ||
        std::sscanf(line.c_str(), "record bytes %zu", &offset) == 1) {
      if (offset >= first && offset < end) {
        ++dropped;
        continue;
      }
    }
    kept += line + "\n";
  }
  return {kept, dropped};
}

class InspectTest : public ::testing::Test {
 protected:
  InspectTest() {
    const testdata::DescriptionSpec description = testdata::RealisticDescription();
    description.Write(PathFromUtf8(config()));
    WriteFile(image(), testdata::BuildStandardFirmware({}, "1234"));
    // The files the Tuner and GPIO usage pages put into their chunks at every load.
    description.WriteItemFiles("ExtTunerDriver", dir.path(), 0x100, 60);
    description.WriteItemFiles("GPIOBusType", dir.path(), 0x100, 64);
  }
  std::string config() const { return dir.File("QTK_K7720X.ini"); }
  std::string image() const { return dir.File("fw.bin"); }
  std::string File(const std::string& name) const { return dir.File(name); }
  std::string Write(const std::string& name, const Bytes& bytes) {
    WriteFile(File(name), bytes);
    return File(name);
  }
  int Diff(const std::string& a, const std::string& b, bool fields = true, bool json = false) {
    Reset();
    DiffOptions o{a, b, fields ? config() : "", fields ? "1234" : "", json};
    return RunDiffCommand(o, {out, err});
  }
  int Check(const std::string& path, const std::string& ota = "", bool json = false,
            const std::string& password = "1234") {
    Reset();
    return RunCheckCommand({path, config(), password, ota, json}, {out, err});
  }
  // The image loaded, every page stored (with the page fields of `json` set first) and saved,
  // as "Save FW..." writes it.
  std::string Stored(const std::string& name, const std::string& json = "{}",
                     const std::string& from = "") {
    const std::string set = Write(name + ".json", Bytes(json.begin(), json.end()));
    ApplyOptions options{
        {from.empty() ? image() : from, config(), "1234"}, set, File(name), {}, {}};
    Reset();
    EXPECT_EQ(RunApplyCommand(options, {out, err}), 0) << err.str();
    return File(name);
  }
  // The stored image with tuner values inside the Tuner page's ranges: nothing to find.
  std::string Sound() {
    return Stored(
        "sound.bin",
        R"({"Tuner": {"Frequency low": 950, "Frequency high": 2150, "Filter BW": 27500}})");
  }
  void Reset() {
    out.str("");
    err.str("");
  }
  std::string ApplyJson(const std::string& json, const std::string& output,
                        const std::string& report) {
    const std::string set = Write("set.json", Bytes(json.begin(), json.end()));
    ApplyOptions options{{image(), config(), "1234"}, set, output, {}, report};
    Reset();
    EXPECT_EQ(RunApplyCommand(options, {out, err}), 0) << err.str();
    return output;
  }

  testdata::TempDir dir{"qtk_cli_inspect"};
  std::ostringstream out, err;
};

// ---- diff ----

TEST_F(InspectTest, DiffOfEqualFilesPrintsNothingAndExitsZero) {
  const std::string copy = Write("copy.bin", ReadFile(image()));
  EXPECT_EQ(Diff(image(), copy), 0);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(Diff(image(), copy, false), 0);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(Diff(image(), copy, true, true), 0);
  const auto doc = nlohmann::json::parse(out.str());
  EXPECT_EQ(doc["equal"], true);
  EXPECT_TRUE(doc["chunks"].empty());
  EXPECT_TRUE(doc["fields"].empty());
  EXPECT_TRUE(doc["bytes"].empty());
}

TEST_F(InspectTest, DiffOfAnImageAndItsUneditedSaveListsWhatLoadAndStoreChange) {
  // save stores no page: the common data chunk is written from the record as loaded, whose
  // clock and pad bytes come from their copy in the first chunk, and zeros follow the record
  // where the test image has filler. The record as loaded is the same.
  SaveOptions save;
  save.open = {image(), config(), "1234"};
  save.output = File("saved.bin");
  ASSERT_EQ(RunSaveCommand(save, {out, err}), 0) << err.str();
  EXPECT_EQ(Diff(image(), save.output), 1);
  EXPECT_EQ(out.str(), ChunkChanged(image(), save.output, kCommonDataChunkId));

  // apply stores every page as "Save FW..." does. What a load and store must change, and
  // nothing else: the tuner driver chunk from the driver file of the chosen type; the maximum
  // volume from [Volume] MaxValue (28) and the transparence count from [Transparence] (34),
  // which no control shows; the zooms that show 0 as 100 and store 10 (43, 110); the offered
  // tuner types (148-152); the user crystal written into the shown tuner entry (1172-1173) and
  // the codes of the tuner entries (1401-1404); the dynamic panel chunk from the file of the
  // chosen bus type. The test record leaves the character table (204-335) and the panel and IR
  // key maps (364-779) empty, and the Panel and Key map pages write them whole: their lines
  // are counted apart.
  const std::string stored = Stored("stored.bin");
  EXPECT_EQ(Diff(image(), stored), 1);
  const auto [other_lines, table_lines] = SplitRecordLines(out.str(), 204, 780);
  EXPECT_EQ(other_lines, ChunkChanged(image(), stored, kDynamicPanelChunkId) +
                             ChunkChanged(image(), stored, kTunerDriverChunkId) +
                             ChunkChanged(image(), stored, kCommonDataChunkId) +
                             "record byte 28 (0x01C): 20 -> 64\n"
                             "record byte 34 (0x022): 00 -> 04\n"
                             "record byte 43 (0x02B): 00 -> 0A\n"
                             "record byte 110 (0x06E): 00 -> 0A\n"
                             "record bytes 148-152 (0x094): 00 00 00 00 00 -> 04 01 04 07 08\n"
                             "record bytes 1172-1173 (0x494): 00 00 -> A0 0F\n"
                             "record bytes 1401-1404 (0x579): 00 00 00 00 -> 01 04 07 08\n");
  EXPECT_NE(table_lines, 0);
  EXPECT_EQ(ReadFile(File("stored.bin")).size(), ReadFile(image()).size());

  // Once stored, a load and store change nothing more: neither save changes the image again.
  const std::string again = Stored("again.bin", "{}", stored);
  EXPECT_EQ(Diff(stored, again), 0) << out.str();
  save.open.image = stored;
  save.output = File("saved_again.bin");
  ASSERT_EQ(RunSaveCommand(save, {out, err}), 0) << err.str();
  EXPECT_EQ(Diff(stored, save.output), 0) << out.str();
  EXPECT_EQ(ReadFile(save.output), ReadFile(stored));
}

TEST_F(InspectTest, DiffNamesPageAndFieldWithBothValuesAsShown) {
  const std::string stored = Stored("stored.bin");
  const std::string edited =
      Stored("edited.bin", R"({"Common": {"Version": "V2.1", "Volume": 25}})", stored);
  EXPECT_EQ(Diff(stored, edited), 1);
  EXPECT_EQ(out.str(), ChunkChanged(stored, edited, kCommonDataChunkId) +
                           "field Common / Version: \"DEMO 1.0.0\" -> \"V2.1\"\n"
                           "field Common / Volume: 20 -> 25\n");
  EXPECT_EQ(err.str(), "");

  // Without the description the same change is listed by offset; the version text is
  // zero-filled behind its new end.
  EXPECT_EQ(Diff(stored, edited, false), 1);
  EXPECT_EQ(out.str(), ChunkChanged(stored, edited, kCommonDataChunkId) +
                           "record byte 29 (0x01D): 14 -> 19\n"
                           "record bytes 60-69 (0x03C): 44 45 4D 4F 20 31 2E 30 2E 30 -> 56 32 "
                           "2E 31 00 00 00 00 00 00\n");

  EXPECT_EQ(Diff(stored, edited, true, true), 1);
  const auto doc = nlohmann::json::parse(out.str());
  EXPECT_EQ(doc["equal"], false);
  ASSERT_EQ(doc["chunks"].size(), 1u);
  EXPECT_EQ(doc["chunks"][0]["change"], "changed");
  EXPECT_EQ(doc["chunks"][0]["id"], kCommonDataChunkId);
  EXPECT_EQ(doc["chunks"][0]["name"], "common");
  EXPECT_EQ(doc["chunks"][0]["before"]["length"], 0x7F0);
  ASSERT_EQ(doc["fields"].size(), 2u);
  EXPECT_EQ(doc["fields"][0], nlohmann::json::parse(R"({"page": "Common", "field": "Version",
                                                        "before": "DEMO 1.0.0", "after": "V2.1"})"));
  EXPECT_EQ(
      doc["fields"][1],
      nlohmann::json::parse(R"({"page": "Common", "field": "Volume", "before": 20, "after": 25})"));
  EXPECT_TRUE(doc["bytes"].empty());
}

TEST_F(InspectTest, DiffListsBytesThatNoFieldShowsByOffset) {
  // Byte 0 belongs to no page.
  const std::string other = Write("other.bin", ImageWithRecord({{0, 0x11}}));
  EXPECT_EQ(Diff(image(), other), 1);
  const std::string text = out.str();
  EXPECT_NE(text.find("\nrecord byte 0 (0x000): 5A -> 11\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("field "), std::string::npos) << text;
}

TEST_F(InspectTest, DiffTellsChunksAddedRemovedAndChanged) {
  const std::string without =
      Write("without.bin", testdata::BuildStandardFirmware({.with_game_emulator = false}, "1234"));
  EXPECT_EQ(Diff(without, image(), false), 1);
  EXPECT_NE(out.str().find("chunk added 0x06F90101 \"gameemu\": length 0x00000170, CRC 0x"),
            std::string::npos)
      << out.str();
  EXPECT_EQ(Diff(image(), without, false), 1);
  EXPECT_NE(out.str().find("chunk removed 0x06F90101 \"gameemu\": length 0x00000170, CRC 0x"),
            std::string::npos)
      << out.str();
}

TEST_F(InspectTest, DiffShowsWhereADamagedImageDiffers) {
  Bytes bytes = ReadFile(image());
  ChunkTable table;
  ASSERT_GT(ParseImage(bytes, table), 0);
  bytes[table.entries[static_cast<size_t>(*table.FindLoaded(kLogoChunkId))].file_offset + 300] ^= 1;
  const std::string damaged = Write("damaged.bin", bytes);
  EXPECT_EQ(Diff(image(), damaged, false), 1);
  EXPECT_EQ(out.str(), ChunkChanged(image(), damaged, kLogoChunkId));
  // Its pages cannot be read: it does not load.
  EXPECT_EQ(Diff(image(), damaged), 2);
  EXPECT_EQ(err.str(), "It is not a standard firmware file!\n");
}

TEST_F(InspectTest, DiffComparesSettingFilesWithImagesInAnyMix) {
  const std::string stored = Stored("stored.bin");
  const std::string set = File("stored.set");
  ASSERT_EQ(RunExportSettingsCommand({stored, config(), "1234"}, set, {out, err}), 0);
  EXPECT_EQ(Diff(set, stored), 0) << out.str();
  EXPECT_EQ(Diff(stored, set, false), 0) << out.str();

  const std::string edited = Stored("edited.bin", R"({"Common": {"Volume": 30}})", stored);
  EXPECT_EQ(Diff(set, edited), 1);
  EXPECT_EQ(out.str(), "field Common / Volume: 20 -> 30\n");
  // Two setting files: the description alone gives the pages.
  const std::string set2 = File("edited.set");
  ASSERT_EQ(RunExportSettingsCommand({edited, config(), "1234"}, set2, {out, err}), 0);
  EXPECT_EQ(Diff(set, set2), 1);
  EXPECT_EQ(out.str(), "field Common / Volume: 20 -> 30\n");
  EXPECT_EQ(Diff(set, set2, false), 1);
  EXPECT_EQ(out.str(), "record byte 29 (0x01D): 14 -> 1E\n");

  // A short setting file is compared as it would load over the other side.
  Bytes head = ReadFile(set2);
  head.resize(500);
  EXPECT_EQ(Diff(Write("short.set", head), stored), 1);
  EXPECT_EQ(out.str(), "field Common / Volume: 30 -> 20\n");
  EXPECT_EQ(Diff(stored, Write("short.set", head)), 1);
  EXPECT_EQ(out.str(), "field Common / Volume: 20 -> 30\n");

  // The unstored image against the stored record: the bytes a store writes, by offset.
  EXPECT_EQ(Diff(image(), set), 1);
  EXPECT_EQ(out.str().rfind("record byte 28 (0x01C): 20 -> 64\n", 0), 0u) << out.str();
}

TEST_F(InspectTest, DiffErrorsExitTwo) {
  struct Case {
    DiffOptions options;
    std::string message;
  };
  const std::string junk = Write("junk.bin", Bytes(3000, 0x42));
  const std::vector<Case> cases = {
      {{image(), File("none.bin"), "", "", false},
       "qtkcli diff: can not read " + File("none.bin") + "\n"},
      {{junk, image(), "", "", false},
       "qtkcli diff: " + junk + " is neither a firmware image nor a setting file\n"},
      {{image(), image(), config(), "", false},
       "qtkcli diff: --config and --password go together\n"},
      {{image(), image(), "", "1234", false}, "qtkcli diff: --config and --password go together\n"},
      {{image(), image(), config(), "9999", false}, "The password is wrong, please try again!\n"},
      {{image(), image(), File("none.ini"), "1234", false},
       "Can not open config file " + File("none.ini") + "\n"},
  };
  for (const Case& c : cases) {
    Reset();
    EXPECT_EQ(RunDiffCommand(c.options, {out, err}), 2) << c.message;
    EXPECT_EQ(err.str(), c.message);
    EXPECT_EQ(out.str(), "");
  }
}

// ---- check ----

TEST_F(InspectTest, CheckOfASoundImageIsSilent) {
  const std::string sound = Sound();
  EXPECT_EQ(Check(sound), 0) << out.str();
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(Check(sound, "", true), 0);
  const auto doc = nlohmann::json::parse(out.str());
  EXPECT_TRUE(doc["findings"].empty());
  ASSERT_EQ(doc["chunks"].size(), 9u);
  // The logo: a 0x1000 region holds 0xF80 data bytes; the header length covers 0x400.
  EXPECT_EQ(doc["chunks"][2], nlohmann::json::parse(R"({"id": 50135296, "name": "logo",
      "capacity": 3968, "used": 1024, "room": 2944})"));

  // The test image as generated holds no tuner entry (the entry codes are not written):
  // the shown entry's zero frequencies and bandwidth are outside the page's ranges.
  EXPECT_EQ(Check(image()), 1);
  EXPECT_EQ(out.str(),
            "Tuner / Frequency low: the page refuses 0 (it makes it 900)\n"
            "Tuner / Frequency high: the page refuses 0 (it makes it 900)\n"
            "Tuner / Filter BW: the page refuses 0 (it makes it 15000)\n");
}

TEST_F(InspectTest, CheckNamesEveryWrongChunkCrc) {
  Bytes bytes = ReadFile(image());
  ChunkTable table;
  ASSERT_GT(ParseImage(bytes, table), 0);
  for (uint32_t id : {kLogoChunkId, kUserDatabaseChunkId}) {
    const ChunkEntry& e = table.entries[static_cast<size_t>(*table.FindLoaded(id))];
    bytes[e.file_offset + 200] ^= 0x01;
  }
  EXPECT_EQ(Check(Write("bad.bin", bytes)), 1);
  const std::string text = out.str();
  EXPECT_EQ(text.rfind("chunk 0x02FD0100 \"logo\": CRC 0x", 0), 0u) << text;
  EXPECT_NE(text.find(" in the header, 0x"), std::string::npos);
  EXPECT_NE(text.find(" over the data\nchunk 0x04FB0100 \""), std::string::npos) << text;
  EXPECT_NE(text.find("\nrecord: not checked: an image with a wrong chunk CRC does not load\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
}

TEST_F(InspectTest, CheckFindsRecordValuesThePagesRefuse) {
  // Volume above [Volume] MaxValue, a palette style beyond its list.
  const std::string odd = Write(
      "odd.bin", ImageWithRecord({{record::kDefaultVolume, 150}, {record::kPaletteStyle, 9}}));
  EXPECT_EQ(Check(odd), 1);
  const std::string text = out.str();
  EXPECT_NE(text.find("Common / Volume: the page refuses 150"), std::string::npos) << text;
  EXPECT_NE(text.find("Common / OSD Palette: the record holds a value that is none of its "
                      "choices\n"),
            std::string::npos)
      << text;
}

TEST_F(InspectTest, CheckFindsKeysAndGpiosGivenTwice) {
  // Panel keys Power and Menu on one scan code 0x0010; Panel clock and Key scan 2 on GPIO 20;
  // the Pause and DView window keys both on RED.
  const std::string odd = Write(
      "twice.bin", ImageWithRecord({{record::kPanelKeyMap + 0, 0x10},
                                    {record::kPanelKeyMap + 2, 0},
                                    {record::kPanelKeyMap + 3, 1},
                                    {record::kPanelKeyMap + 4, 0x10},
                                    {record::kPanelKeyMap + 6, 1},
                                    {record::kPanelKeyMap + 7, 1},
                                    {record::kGpioUsageBlock + 0, 20 << 2},
                                    {record::kGpioUsageBlock + 3, 20 << 2},
                                    {record::kPauseWindowKey, 1},
                                    {record::kDViewWindowKey, 2}}));
  EXPECT_EQ(Check(odd), 1);
  const std::string text = out.str();
  for (const char* line :
       {"Key map / DView window: holds the same value as Pause window: \"RED\"\n",
        "Key map / Panel Key Usage: rows 1 and 2 hold the same Key(in Hex): \"0010\"\n",
        "GPIO usage / Usage: rows 1 and 4 hold the same GPIO No.: \"20\"\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  // The plain values past the GPIO rows (Digit order, Key debounce) may repeat.
  EXPECT_EQ(text.find("rows 7 and 8"), std::string::npos) << text;
}

TEST_F(InspectTest, CheckFindsRecordListsBeyondTheirRoomAndRepeatedFlashDevices) {
  // The test image's empty tuner entry gives the same three lines each time.
  const std::string tuner =
      "Tuner / Frequency low: the page refuses 0 (it makes it 900)\n"
      "Tuner / Frequency high: the page refuses 0 (it makes it 900)\n"
      "Tuner / Filter BW: the page refuses 0 (it makes it 15000)\n";
  // 95 character table entries; three flash devices, the first and third alike.
  const std::string odd = Write("odd.bin", ImageWithRecord({{record::kCharacterTableCount, 95},
                                                            {record::kFlashDeviceCount, 3},
                                                            {record::kFlashDeviceIdSlots, 0xC2},
                                                            {record::kFlashDeviceIdSlots + 1, 3},
                                                            {record::kFlashDeviceIdSlots + 2, 0xC2},
                                                            {record::kFlashDeviceIdSlots + 3, 4},
                                                            {record::kFlashDeviceIdSlots + 4, 0xC2},
                                                            {record::kFlashDeviceIdSlots + 5, 3}}));
  EXPECT_EQ(Check(odd), 1);
  EXPECT_EQ(out.str(), tuner +
                           "Serial flash: the page refuses to store: Error :The flash ID 0xC2 is "
                           "duplicate.\n"
                           "record / character table: the count 95 at offset 204 is more than the "
                           "94 entries the record holds\n");
  // 94 entries fit; 61 flash devices do not: a load ignores them, the page shows no device.
  const std::string full =
      Write("full.bin",
            ImageWithRecord({{record::kCharacterTableCount, 94}, {record::kFlashDeviceCount, 61}}));
  EXPECT_EQ(Check(full), 1);
  EXPECT_EQ(out.str(), tuner +
                           "record / serial flash devices: the count 61 at offset 944 is more than "
                           "the 60 slots; a load ignores the list\n");
}

TEST_F(InspectTest, CheckComparesTheOtaFileWithTheImage) {
  WriteFile(image(), testdata::BuildStandardFirmware({.bootloader_region = 0x40000}, "1234"));
  SaveOptions save;
  save.open = {Sound(), config(), "1234"};
  save.output = File("saved.bin");
  ASSERT_EQ(RunSaveCommand(save, {out, err}), 0) << err.str();
  const std::string ota = save.output + ".ota";
  EXPECT_EQ(Check(save.output, ota), 0) << out.str();
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(Check(save.output, File("sound.bin.ota")), 0) << out.str();

  Bytes changed = ReadFile(ota);
  changed[0x300] ^= 0xFF;
  EXPECT_EQ(Check(save.output, Write("changed.ota", changed)), 1);
  EXPECT_NE(out.str().find("does not match its data\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("OTA: differs from the image at OTA offset 0x00000300 (image offset "
                           "0x00040300)\n"),
            std::string::npos)
      << out.str();

  Bytes cut = ReadFile(ota);
  cut.resize(cut.size() - 1);
  EXPECT_EQ(Check(save.output, Write("cut.ota", cut)), 1);
  EXPECT_EQ(out.str(), "OTA: the file holds " + std::to_string(cut.size()) +
                           " bytes, a save of this image writes " + std::to_string(cut.size() + 1) +
                           "\n");

  WriteFile(image(), testdata::BuildStandardFirmware({}, "1234"));
  EXPECT_EQ(Check(Sound(), ota), 1);
  EXPECT_EQ(out.str(),
            "OTA: this image has no OTA file (its first chunk's region is smaller than 0x00040000 "
            "or it has one chunk)\n");
}

TEST_F(InspectTest, CheckErrorsExitTwo) {
  EXPECT_EQ(Check(File("none.bin")), 2);
  EXPECT_EQ(err.str(), "Can not open firmware file.\n");
  EXPECT_EQ(Check(Write("junk.bin", Bytes(3000, 0x42))), 2);
  EXPECT_EQ(err.str(), "It is not a standard firmware file!\n");
  EXPECT_EQ(Check(image(), "", false, "9999"), 2);
  EXPECT_EQ(err.str(), "The password is wrong, please try again!\n");
  EXPECT_EQ(Check(image(), File("none.ota")), 2);
  EXPECT_EQ(err.str(), "qtkcli check: can not read the OTA file " + File("none.ota") + "\n");
  EXPECT_EQ(out.str(), "");
}

// ---- change report ----

TEST_F(InspectTest, SaveReportListsReplacedChunksPasswordAndOtaFile) {
  WriteFile(image(), testdata::BuildStandardFirmware({.bootloader_region = 0x40000}, "1234"));
  const std::string logo = Write("logo.m2v", testdata::PatternBytes(300, 3));
  SaveOptions save;
  save.open = {image(), config(), "1234"};
  save.output = File("out.bin");
  save.change_password = true;
  save.new_password = "4321";
  save.replacements = {"0x02FD0100=" + logo};
  save.report = File("report.json");
  ASSERT_EQ(RunSaveCommand(save, {out, err}), 0) << err.str();
  EXPECT_EQ(err.str(), "Success to save the file.\n");
  const Bytes text = ReadFile(save.report);
  const auto doc = nlohmann::json::parse(text.begin(), text.end());
  EXPECT_EQ(doc["output"], save.output);
  // The boot loader region takes the mirror block and the clock and pad bytes; it carries
  // no CRC, so its length and CRC stay.
  ASSERT_EQ(doc["chunks"].size(), 3u) << doc.dump(2);
  EXPECT_EQ(doc["chunks"][0], nlohmann::json::parse(R"({"change": "changed", "id": 3808428048,
      "name": "bootloader", "before": {"length": 1648, "crc": 1313034819},
      "after": {"length": 1648, "crc": 1313034819}, "file": null})"));
  EXPECT_EQ(doc["chunks"][1]["id"], kLogoChunkId);
  EXPECT_EQ(doc["chunks"][1]["file"], logo);
  EXPECT_EQ(doc["chunks"][1]["before"]["length"], 0x400 + 112);
  EXPECT_EQ(doc["chunks"][1]["after"]["length"], 300 + 112);
  EXPECT_EQ(doc["chunks"][2]["id"], kCommonDataChunkId);
  EXPECT_TRUE(doc["chunks"][2]["file"].is_null());
  EXPECT_TRUE(doc["fields"].empty());
  // The password words are record bytes that no page shows.
  ASSERT_FALSE(doc["bytes"].empty());
  for (const auto& run : doc["bytes"]) {
    EXPECT_GE(run["offset"].get<size_t>(), record::kPasswordWord0);
    EXPECT_LT(run["offset"].get<size_t>(), record::kPasswordWord1 + 4);
  }
  EXPECT_EQ(doc["password_changed"], true);
  EXPECT_TRUE(doc["crc_rom"].is_null());
  EXPECT_EQ(doc["mirror_block"], true);
  EXPECT_EQ(doc["ota_file"], save.output + ".ota");

  // Each chunk line of the report is what the saved image holds.
  Reset();
  ASSERT_EQ(RunLoadCommand({save.output, config(), "4321"}, true, {out, err}), 0);
  const auto loaded = nlohmann::json::parse(out.str());
  EXPECT_EQ(doc["chunks"][1]["after"]["crc"], loaded["chunks"][2]["crc"]);
  EXPECT_EQ(doc["chunks"][2]["after"]["crc"], loaded["chunks"][8]["crc"]);
}

TEST_F(InspectTest, ApplyReportListsTheFieldsItChanged) {
  ApplyJson(R"({"Common": {"Volume": 25}})", File("out.bin"), File("report.json"));
  const Bytes text = ReadFile(File("report.json"));
  const auto doc = nlohmann::json::parse(text.begin(), text.end());
  ASSERT_EQ(doc["fields"].size(), 1u);
  EXPECT_EQ(
      doc["fields"][0],
      nlohmann::json::parse(R"({"page": "Common", "field": "Volume", "before": 20, "after": 25})"));
  EXPECT_EQ(doc["password_changed"], false);
  EXPECT_TRUE(doc["ota_file"].is_null());
  EXPECT_EQ(doc["mirror_block"], false);
}

TEST_F(InspectTest, AReportThatWouldReplaceAnInputOrOutputIsRefusedBeforeTheSave) {
  SaveOptions save;
  save.open = {image(), config(), "1234"};
  save.output = File("out.bin");
  for (const std::string& report : {image(), config()}) {
    save.report = report;
    Reset();
    EXPECT_EQ(RunSaveCommand(save, {out, err}), 1) << report;
    EXPECT_EQ(err.str(), "the output file " + report +
                             " can not be the same file as the input file " + report + "!\n");
  }
  // The image and its OTA file do not exist yet; another spelling of the path is caught too.
  for (const std::string& report : {save.output, dir.File("sub/../out.bin.ota")}) {
    save.report = report;
    Reset();
    EXPECT_EQ(RunSaveCommand(save, {out, err}), 1) << report;
    const std::string clash = report == save.output ? save.output : save.output + ".ota";
    EXPECT_EQ(err.str(), "the report " + report + " can not be the same file as the output file " +
                             clash + "!\n");
  }
  // apply: the field values given with --set are an input too.
  const std::string set = Write("set.json", Bytes{'{', '}'});
  ApplyOptions apply{{image(), config(), "1234"}, set, save.output, {}, set};
  Reset();
  EXPECT_EQ(RunApplyCommand(apply, {out, err}), 1);
  EXPECT_EQ(err.str(), "the output file " + set + " can not be the same file as the input file " +
                           set + "!\n");
  EXPECT_EQ(ReadFile(set), (Bytes{'{', '}'}));
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(save.output)));
  EXPECT_EQ(ReadFile(image()), testdata::BuildStandardFirmware({}, "1234"));
}

}  // namespace
}  // namespace qtk::cli
