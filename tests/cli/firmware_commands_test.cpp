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
    testdata::RealisticDescription().Write(config());
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
  EXPECT_TRUE(std::filesystem::exists(save.output + ".ota"));

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

TEST_F(CliTest, SaveRefusals) {
  SaveOptions save;
  save.open = Open(image());
  save.output = dir.File("out.bin");
  save.replacements = {"02FD0100=x"};
  EXPECT_EQ(RunSaveCommand(save, streams()), 1);
  EXPECT_NE(err.str().find("--replace"), std::string::npos);

  Reset();
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

  Reset();
  save.output = dir.File("out.bin");
  save.change_password = true;
  save.new_password = "123456789";
  EXPECT_EQ(RunSaveCommand(save, streams()), 1);
  EXPECT_FALSE(std::filesystem::exists(save.output));
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
