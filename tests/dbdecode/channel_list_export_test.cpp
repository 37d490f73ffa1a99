#include "common/utf8_path.h"
#include "dbbuilder/decode/channel_list_export.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/recording_dialogs.h"
#include "dbbuilder/decode/database_source.h"
#include "dbbuilder/lzma_compressor.h"
#include "decode_test_support.h"
#include "demo/demo_set.h"
#include "firmware/image/chunk_ids.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::dbbuilder {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

class ExportTest : public ::testing::Test {
 protected:
  ExportTest() {
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    for (testdata::ChunkSpec& c : chunks) {
      if (c.id == kDefaultDatabaseChunkId)
        c.data = CompressLzmaAlone(built.raw_default).value();
      if (c.id == kUserDatabaseChunkId)
        c.data = built.user;
    }
    image = testdata::BuildFirmware(chunks, "1234");
    testdata::WriteFile(Path("fw.bin"), image);
  }

  std::string Path(const std::string& name) const { return dir.File(name); }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
  std::string Read(const std::string& name) const {
    const Bytes b = testdata::ReadFile(Path(name));
    return std::string(b.begin(), b.end());
  }
  std::optional<ChannelList> Export(const std::string& source, ListSource kind,
                                    const std::string& list) {
    return ExportChannelList(PathFromUtf8(source), kind, PathFromUtf8(list), dialogs);
  }

  testdata::TempDir dir;
  RecordingDialogs dialogs;
  test::Built built = test::Build(demo::DemoProgramList());
  Bytes image;
};

TEST_F(ExportTest, WritesTheListOverAnOlderOneAndShowsNothing) {
  testdata::WriteFile(Path("list.txt"), Bytes(50000, 'x'));
  std::optional<ChannelList> list =
      Export(Path("fw.bin"), ListSource::kImageDefaultDatabase, Path("list.txt"));
  ASSERT_TRUE(list);
  EXPECT_EQ(Read("list.txt"), list->text);
  EXPECT_EQ(list->text, DecodeImageDatabase(image, DatabaseKind::kDefault)->text);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Files(), (std::set<std::string>{"fw.bin", "list.txt"}));
  EXPECT_EQ(testdata::ReadFile(Path("fw.bin")), image);

  ASSERT_TRUE(Export(Path("fw.bin"), ListSource::kImageUserDatabase, Path("user.txt")));
  EXPECT_EQ(Read("user.txt"), DecodeImageDatabase(image, DatabaseKind::kUser)->text);
  testdata::WriteFile(Path("user_db.bin"), built.user);
  ASSERT_TRUE(Export(Path("user_db.bin"), ListSource::kDatabaseFile, Path("from_file.txt")));
  EXPECT_EQ(Read("from_file.txt"), Read("user.txt"));
  ASSERT_TRUE(Export(Path("user_db.bin"), ListSource::kUserDatabaseFile, Path("from_file.txt")));
  EXPECT_EQ(Read("from_file.txt"), Read("user.txt"));
}

TEST_F(ExportTest, FailuresShowTheirMessageAndLeaveNoFile) {
  testdata::WriteFile(Path("old.txt"), Bytes{'o', 'l', 'd'});
  testdata::WriteFile(Path("junk.bin"), Bytes(700, 0x33));
  struct Case {
    std::string source;
    ListSource kind;
    std::string list;
    std::string message;
  };
  const std::vector<Case> cases = {
      {Path("missing.bin"), ListSource::kImageDefaultDatabase, Path("old.txt"),
       "Can not open firmware file."},
      {Path("missing.bin"), ListSource::kDatabaseFile, Path("old.txt"),
       "Can not open database file " + Path("missing.bin") + "."},
      {Path("junk.bin"), ListSource::kImageUserDatabase, Path("old.txt"),
       "It is not a standard firmware file!"},
      {Path("junk.bin"), ListSource::kDatabaseFile, Path("old.txt"),
       Path("junk.bin") +
           " is not a database that dfv_k7720x writes (m_6615_df.bin, unzipped_m_6615_df.bin or "
           "user_db.bin)."},
      {Path("fw.bin"), ListSource::kImageDefaultDatabase, Path("fw.bin"),
       "The channel list can not be written over the file it is read from."},
      {Path("fw.bin"), ListSource::kImageDefaultDatabase, (dir.path() / "." / "fw.bin").string(),
       "The channel list can not be written over the file it is read from."},
      {Path("fw.bin"), ListSource::kImageDefaultDatabase, Path("no_such_folder/list.txt"),
       "Can not write the channel list file " + Path("no_such_folder/list.txt") +
           ": it can not be created."},
      {Path("fw.bin"), ListSource::kImageDefaultDatabase, dir.path().string(),
       "Can not write the channel list file " + dir.path().string() +
           ": it can not replace the old file."},
  };
  for (const Case& c : cases) {
    dialogs.messages.clear();
    EXPECT_FALSE(Export(c.source, c.kind, c.list)) << c.message;
    ASSERT_EQ(dialogs.messages.size(), 1u) << c.message;
    EXPECT_EQ(dialogs.messages[0].text, c.message);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(Files(), (std::set<std::string>{"fw.bin", "junk.bin", "old.txt"})) << c.message;
    EXPECT_EQ(Read("old.txt"), "old");
    EXPECT_EQ(testdata::ReadFile(Path("fw.bin")), image);
  }
}

TEST_F(ExportTest, ListThatDoesNotBuildBackIsWrittenWithAWarning) {
  Bytes raw = built.raw_default;
  raw[2 + 11] = 0x80;  // a bit of the first satellite record that no column sets
  testdata::WriteFile(Path("unzipped_m_6615_df.bin"), raw);
  std::optional<ChannelList> list =
      Export(Path("unzipped_m_6615_df.bin"), ListSource::kDatabaseFile, Path("list.txt"));
  ASSERT_TRUE(list);
  EXPECT_EQ(Read("list.txt"), list->text);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Warning: dfv_k7720x does not give back the same default database from this channel "
            "list: satellite 1 differs.");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Warning);
}

}  // namespace
}  // namespace qtk::dbbuilder
