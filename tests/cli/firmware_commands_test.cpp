#include "common/utf8_path.h"
#include "cli/firmware_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/chunks_command.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/image_parser.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::cli {
namespace {

using testdata::ReadFile;
using testdata::WriteFile;

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    testdata::RealisticDescription().Write(PathFromUtf8(config()));
    WriteFile(image(), testdata::BuildStandardFirmware({.bootloader_region = 0x40000}, "1234"));
  }
  std::string config() const { return dir.File("QTK_K7720X.ini"); }
  std::string image() const { return dir.File("fw.bin"); }
  OpenOptions Open(const std::string& path, const std::string& password = "1234") const {
    return {path, config(), password};
  }
  Streams streams() { return {out, err}; }
  void Reset() {
    out.str("");
    err.str("");
  }

  testdata::TempDir dir;
  std::ostringstream out, err;
};

TEST_F(CliTest, LoadPrintsTheConfigurationVersionAndTheChunkTable) {
  EXPECT_EQ(RunLoadCommand(Open(image()), false, streams()), 0);
  EXPECT_EQ(out.str().rfind("Config ver: 2.0\n", 0), 0u);
  EXPECT_NE(out.str().find("0x10EF0100"), std::string::npos);
  EXPECT_EQ(err.str(), "");
  Reset();
  EXPECT_EQ(RunLoadCommand(Open(image()), true, streams()), 0);
  auto doc = nlohmann::json::parse(out.str());
  EXPECT_EQ(doc["config_version"], 2);
  EXPECT_EQ(doc["chunks"].size(), 9u);
  EXPECT_EQ(doc["chunks"][0]["crc_checked"], false);
}

TEST_F(CliTest, LoadFailuresPrintTheMessageAndExitOne) {
  EXPECT_EQ(RunLoadCommand(Open(image(), "9999"), false, streams()), 1);
  EXPECT_EQ(err.str(), "The password is wrong, please try again!\n");
  EXPECT_EQ(out.str(), "");
  Reset();
  EXPECT_EQ(RunLoadCommand(Open(dir.File("none.bin")), false, streams()), 1);
  EXPECT_EQ(err.str(), "Can not open firmware file.\n");
}

TEST_F(CliTest, ExportSaveLoadRoundTripKeepsTheRecord) {
  const std::string set = dir.File("a.set");
  ASSERT_EQ(RunExportSettingsCommand(Open(image()), set, streams()), 0);
  EXPECT_EQ(err.str(), "Save setting file OK!\n");
  ASSERT_EQ(ReadFile(set).size(), 1452u);

  SaveOptions save;
  save.open = Open(image());
  save.output = dir.File("out.bin");
  save.settings_file = set;
  Reset();
  ASSERT_EQ(RunSaveCommand(save, streams()), 0) << err.str();
  EXPECT_EQ(err.str(), "Success to save the file.\n");
  EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(save.output + ".ota")));

  const std::string set2 = dir.File("b.set");
  ASSERT_EQ(RunExportSettingsCommand(Open(save.output), set2, streams()), 0);
  EXPECT_EQ(ReadFile(set2), ReadFile(set));
}

TEST_F(CliTest, SaveAppliesPasswordAndReplacements) {
  WriteFile(dir.File("logo.m2v"), testdata::PatternBytes(300, 3));
  WriteFile(dir.File("main.bin"), testdata::PatternBytes(0x1000, 4));
  SaveOptions save;
  save.open = Open(image());
  save.output = dir.File("out.bin");
  save.change_password = true;
  save.new_password = "87654321";
  save.replacements = {"0x02FD0100=" + dir.File("logo.m2v"), "0x01fe0101=" + dir.File("main.bin")};
  ASSERT_EQ(RunSaveCommand(save, streams()), 0) << err.str();

  Reset();
  EXPECT_EQ(RunLoadCommand(Open(save.output, "1234"), false, streams()), 1);
  Reset();
  ASSERT_EQ(RunLoadCommand(Open(save.output, "87654321"), true, streams()), 0) << err.str();
  auto doc = nlohmann::json::parse(out.str());
  EXPECT_EQ(doc["chunks"][2]["length"], 300 + 112);
  EXPECT_EQ(doc["chunks"][1]["length"], 0x1000 + 112);
}

TEST_F(CliTest, SaveUsageErrorsExitTwoBeforeTheImageIsOpened) {
  SaveOptions save;
  save.open = Open(dir.File("none.bin"));  // never opened: the command line is at fault first
  save.output = dir.File("out.bin");
  const std::string logo = "0x02FD0100=" + dir.File("logo.m2v");
  const struct {
    std::vector<std::string> replacements;
    std::string message;
  } cases[] = {
      {{"02FD0100=x"},
       "qtkcli: --replace takes ID=FILE with the chunk id in hexadecimal as 0x...: 02FD0100=x\n"},
      {{"0x02FD0100="},
       "qtkcli: --replace takes ID=FILE with the chunk id in hexadecimal as 0x...: 0x02FD0100=\n"},
      {{"0x10ef0100=" + dir.File("common.bin")},
       "qtkcli: the common data chunk 0x10EF0100 is written from the settings record; use "
       "--settings instead of --replace\n"},
      {{logo, "0x01FE0101=" + dir.File("main.bin"), "0x02fd0100=" + dir.File("other.m2v")},
       "qtkcli: --replace names chunk 0x02FD0100 twice\n"},
  };
  for (const auto& c : cases) {
    Reset();
    save.replacements = c.replacements;
    EXPECT_EQ(RunSaveCommand(save, streams()), 2) << c.message;
    EXPECT_EQ(err.str(), c.message);
  }
  Reset();
  save.replacements.clear();
  save.change_password = true;
  save.new_password = "123456789";
  EXPECT_EQ(RunSaveCommand(save, streams()), 2);
  EXPECT_EQ(err.str(),
            "qtkcli: --new-password takes at most 8 characters, each with a one-byte (Latin-1) "
            "encoding\n");
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(save.output)));
}

TEST_F(CliTest, SaveFailuresExitOne) {
  SaveOptions save;
  save.open = Open(image());
  save.output = dir.File("out.bin");
  save.replacements = {"0x12345678=" + dir.File("x")};
  EXPECT_EQ(RunSaveCommand(save, streams()), 1);
  EXPECT_EQ(err.str(), "qtkcli: the image has no chunk with id 0x12345678\n");

  Reset();
  WriteFile(dir.File("big.m2v"), std::vector<uint8_t>(0x1000, 0));
  save.replacements = {"0x02FD0100=" + dir.File("big.m2v")};
  EXPECT_EQ(RunSaveCommand(save, streams()), 1);
  EXPECT_EQ(err.str(), "the chunk file size of " + dir.File("big.m2v") + " is too big!\n");

  Reset();
  save.replacements.clear();
  save.output = image();
  EXPECT_EQ(RunSaveCommand(save, streams()), 1);
  EXPECT_EQ(err.str(),
            "the save file name can not be same with the original firmware file name!\n"
            "Fault to save the file: \r\n" +
                image() + "\n");
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(dir.File("out.bin"))));
}

TEST_F(CliTest, NoOutputReplacesAnInput) {
  const auto firmware = ReadFile(image());
  const auto description = ReadFile(config());
  WriteFile(dir.File("logo.m2v"), testdata::PatternBytes(300, 3));
  const std::string set = dir.File("a.set");
  ASSERT_EQ(RunExportSettingsCommand(Open(image()), set, streams()), 0);
  const auto settings = ReadFile(set);

  // The firmware as its own setting file: a 389 KiB image would become a 1452-byte record.
  Reset();
  EXPECT_EQ(RunExportSettingsCommand(Open(image()), image(), streams()), 1);
  EXPECT_EQ(err.str(), "the output file " + image() +
                           " can not be the same file as the input file " + image() + "!\n");
  Reset();
  EXPECT_EQ(RunExportSettingsCommand(Open(image()), config(), streams()), 1);
  EXPECT_EQ(err.str(), "the output file " + config() +
                           " can not be the same file as the input file " + config() + "!\n");

  SaveOptions save;
  save.open = Open(image());
  save.settings_file = set;
  save.replacements = {"0x02FD0100=" + dir.File("logo.m2v")};
  save.crc_rom = dir.File("logo.m2v");
  for (const std::string& output : {config(), set, dir.File("logo.m2v")}) {
    Reset();
    save.output = output;
    EXPECT_EQ(RunSaveCommand(save, streams()), 1) << output;
    EXPECT_EQ(err.str(), "the output file " + output +
                             " can not be the same file as the input file " + output +
                             "!\nFault to save the file: \r\n" + output + "\n");
  }
  // Firmware "fw.ota" saved as "fw": its OTA file would replace the loaded firmware.
  const std::string ota_named = dir.File("fw");
  std::filesystem::rename(PathFromUtf8(image()), PathFromUtf8(dir.File("fw.ota")));
  save.open = Open(dir.File("fw.ota"));
  save.output = ota_named;
  Reset();
  EXPECT_EQ(RunSaveCommand(save, streams()), 1);
  EXPECT_EQ(err.str(), "the output file " + ota_named + ".ota" +
                           " can not be the same file as the input file " + dir.File("fw.ota") +
                           "!\nFault to save the file: \r\n" + ota_named + "\n");
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(ota_named)));
  EXPECT_EQ(ReadFile(dir.File("fw.ota")), firmware);
  EXPECT_EQ(ReadFile(config()), description);
  EXPECT_EQ(ReadFile(set), settings);
  EXPECT_EQ(ReadFile(dir.File("logo.m2v")), testdata::PatternBytes(300, 3));
}

TEST_F(CliTest, CrcRomGoesIntoTheSavedImage) {
  WriteFile(dir.File("rom.bin"), testdata::PatternBytes(0x800, 9));
  SaveOptions save;
  save.open = Open(image());
  save.output = dir.File("out.bin");
  save.crc_rom = dir.File("rom.bin");
  ASSERT_EQ(RunSaveCommand(save, streams()), 0) << err.str();
  ChunkTable table;
  auto out_image = ReadFile(save.output);
  ASSERT_GT(ParseImage(out_image, table), 0);
  const ChunkEntry& u = table.entries[*table.FindLoaded(kUserDatabaseChunkId)];
  EXPECT_EQ(u.length, 0x800u + 82032u);
}

}  // namespace
}  // namespace qtk::cli
