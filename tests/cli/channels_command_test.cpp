#include "common/utf8_path.h"
#include "cli/channels_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "dbbuilder/database_writer.h"
#include "dbbuilder/decode/database_source.h"
#include "dbbuilder/lzma_compressor.h"
#include "dbbuilder/program_list.h"
#include "demo/demo_set.h"
#include "firmware/image/chunk_ids.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::cli {
namespace {

using Bytes = std::vector<uint8_t>;

class ChannelsCommandTest : public ::testing::Test {
 protected:
  ChannelsCommandTest() {
    const std::string list = demo::DemoProgramList();
    dbbuilder::ProgramTables tables;
    std::ostringstream warnings;
    dbbuilder::ParseProgramList({reinterpret_cast<const uint8_t*>(list.data()), list.size()},
                                tables, warnings);
    dbbuilder::UserTables user;
    raw = dbbuilder::WriteDefaultDatabase(tables, {}, user);
    user_db = dbbuilder::WriteUserDatabase(user);
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    for (testdata::ChunkSpec& c : chunks) {
      if (c.id == kDefaultDatabaseChunkId)
        c.data = dbbuilder::CompressLzmaAlone(raw).value();
      if (c.id == kUserDatabaseChunkId)
        c.data = user_db;
    }
    image = testdata::BuildFirmware(chunks, "1234");
    testdata::WriteFile(dir.File("fw.bin"), image);
  }

  int Run(const ChannelsOptions& options) {
    out.str("");
    err.str("");
    return RunChannelsCommand(options, {out, err});
  }
  std::string Read(const std::string& name) {
    const Bytes b = testdata::ReadFile(dir.File(name));
    return std::string(b.begin(), b.end());
  }
  std::string Expected(dbbuilder::DatabaseKind kind) {
    return dbbuilder::DecodeImageDatabase(image, kind)->text;
  }

  testdata::TempDir dir;
  std::ostringstream out, err;
  Bytes raw, user_db, image;
};

TEST_F(ChannelsCommandTest, ImageDatabasesAndDatabaseFiles) {
  const std::string list = dir.File("list.txt");
  ASSERT_EQ(Run({.image = dir.File("fw.bin"), .output = list}), 0) << err.str();
  EXPECT_EQ(out.str(),
            "Channel list written to " + list + " (satellites: 3, TPs: 5, programs: 7)\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(Read("list.txt"), Expected(dbbuilder::DatabaseKind::kDefault));

  ASSERT_EQ(Run({.image = dir.File("fw.bin"), .output = list, .user = true}), 0) << err.str();
  EXPECT_EQ(Read("list.txt"), Expected(dbbuilder::DatabaseKind::kUser));

  testdata::WriteFile(dir.File("unzipped_m_6615_df.bin"), raw);
  ASSERT_EQ(Run({.database = dir.File("unzipped_m_6615_df.bin"), .output = list}), 0);
  EXPECT_EQ(Read("list.txt"), Expected(dbbuilder::DatabaseKind::kDefault));
  testdata::WriteFile(dir.File("user_db.bin"), user_db);
  ASSERT_EQ(Run({.database = dir.File("user_db.bin"), .output = list, .user = true}), 0);
  EXPECT_EQ(Read("list.txt"), Expected(dbbuilder::DatabaseKind::kUser));
  EXPECT_EQ(testdata::ReadFile(dir.File("fw.bin")), image);
}

TEST_F(ChannelsCommandTest, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Run({.output = dir.File("list.txt")}), 2);
  EXPECT_EQ(err.str(), "qtkcli channels: name either an IMAGE or a --database FILE\n");
  EXPECT_EQ(Run({.image = dir.File("fw.bin"),
                 .database = dir.File("fw.bin"),
                 .output = dir.File("list.txt")}),
            2);
  EXPECT_EQ(err.str(), "qtkcli channels: name either an IMAGE or a --database FILE\n");
  EXPECT_EQ(Run({.image = dir.File("fw.bin")}), 2);
  EXPECT_EQ(err.str(), "qtkcli channels: -o LIST.txt names the channel list to write\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(dir.File("list.txt"))));
}

TEST_F(ChannelsCommandTest, BadInputExitsWithOneAndWritesNothing) {
  const std::string list = dir.File("list.txt");
  testdata::WriteFile(dir.File("plain.bin"), testdata::BuildStandardFirmware({}, "1234"));
  EXPECT_EQ(Run({.image = dir.File("plain.bin"), .output = list}), 1);
  EXPECT_EQ(err.str(),
            "The default database chunk holds neither an LZMA stream as dfv_k7720x writes it "
            "(header 6C 00 00 80 00) nor a raw default database.\n");
  EXPECT_EQ(Run({.image = dir.File("plain.bin"), .output = list, .user = true}), 1);
  EXPECT_EQ(err.str(),
            "The user database chunk does not hold a user database as dfv_k7720x writes it.\n");

  Bytes cut(raw.begin(), raw.end() - 1);
  testdata::WriteFile(dir.File("cut.bin"), cut);
  EXPECT_EQ(Run({.database = dir.File("cut.bin"), .output = list}), 1);
  EXPECT_EQ(err.str(), dir.File("cut.bin") +
                           " is not a database that dfv_k7720x writes (m_6615_df.bin, "
                           "unzipped_m_6615_df.bin or user_db.bin).\n");
  EXPECT_EQ(Run({.image = dir.File("missing.bin"), .output = list}), 1);
  EXPECT_EQ(err.str(), "Can not open firmware file.\n");
  EXPECT_EQ(Run({.image = dir.File("fw.bin"), .output = dir.File("fw.bin")}), 1);
  EXPECT_EQ(err.str(), "The channel list can not be written over the file it is read from.\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(list)));
  EXPECT_EQ(testdata::ReadFile(dir.File("fw.bin")), image);
}

TEST_F(ChannelsCommandTest, CommandLineNamesEveryOption) {
  auto parse = [&](std::vector<std::string> args) {
    CLI::App app;
    int status = -1;
    RegisterChannelsCommand(app, {out, err}, &status);
    std::reverse(args.begin(), args.end());  // CLI11 takes the arguments last first
    app.parse(args);
    return status;
  };
  const std::string list = dir.File("list.txt");
  EXPECT_EQ(parse({"channels", dir.File("fw.bin"), "-o", list, "--user"}), 0);
  EXPECT_EQ(Read("list.txt"), Expected(dbbuilder::DatabaseKind::kUser));
  testdata::WriteFile(dir.File("unzipped_m_6615_df.bin"), raw);
  EXPECT_EQ(parse({"channels", "--database", dir.File("unzipped_m_6615_df.bin"), "--output", list}),
            0);
  EXPECT_EQ(Read("list.txt"), Expected(dbbuilder::DatabaseKind::kDefault));
  EXPECT_EQ(parse({"channels", dir.File("fw.bin")}), 2);
}

}  // namespace
}  // namespace qtk::cli
