#include "cli/chunks_command.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "firmware/image/chunk_ids.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::cli {
namespace {

class ChunksCommandTest : public ::testing::Test {
 protected:
  testdata::TempDir dir;
  std::ostringstream out, err;
  Streams streams() { return {out, err}; }
};

TEST_F(ChunksCommandTest, JsonRowsCarryEveryFieldAsNumbers) {
  const std::string path = dir.File("fw.bin");
  testdata::WriteFile(path, testdata::BuildStandardFirmware({}, "1234"));
  ASSERT_EQ(RunChunksCommand(path, true, streams()), 0);
  auto rows = nlohmann::json::parse(out.str());
  ASSERT_EQ(rows.size(), 9u);
  const auto& boot = rows[0];
  EXPECT_EQ(boot["index"], 0);
  EXPECT_EQ(boot["id"], kBootloaderChunkId);
  EXPECT_EQ(boot["name"], "bootloader");
  EXPECT_EQ(boot["file_offset"], 0);
  EXPECT_EQ(boot["region_size"], 0x1000);
  EXPECT_EQ(boot["offset_to_next"], 0x1000);
  EXPECT_EQ(boot["crc"], kNoCrc);
  EXPECT_EQ(boot["crc_checked"], false);
  const auto& common = rows[8];
  EXPECT_EQ(common["id"], kCommonDataChunkId);
  EXPECT_EQ(common["offset_to_next"], 0);
  EXPECT_EQ(common["region_size"], common["length"].get<uint32_t>() + 16);
  EXPECT_EQ(common["crc_checked"], true);
  EXPECT_EQ(rows[1]["file_offset"], 0x1000);
  EXPECT_EQ(err.str(), "");
}

TEST_F(ChunksCommandTest, TextTableNamesNcrcAndCheckedChunks) {
  const std::string path = dir.File("fw.bin");
  testdata::WriteFile(path, testdata::BuildStandardFirmware({}, "1234"));
  ASSERT_EQ(RunChunksCommand(path, false, streams()), 0);
  const std::string text = out.str();
  EXPECT_NE(text.find("0xE3000010 bootloader"), std::string::npos);
  EXPECT_NE(text.find("NCRC"), std::string::npos);
  EXPECT_NE(text.find("checked"), std::string::npos);
}

TEST_F(ChunksCommandTest, FailuresGoToStandardErrorWithExitOne) {
  EXPECT_EQ(RunChunksCommand(dir.File("missing.bin"), false, streams()), 1);
  EXPECT_EQ(err.str(), "Can not open firmware file.\n");
  err.str("");
  const std::string path = dir.File("junk.bin");
  testdata::WriteFile(path, std::vector<uint8_t>(300, 0x41));
  EXPECT_EQ(RunChunksCommand(path, true, streams()), 1);
  EXPECT_EQ(err.str(), "It is not a standard firmware file!\n");
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace qtk::cli
