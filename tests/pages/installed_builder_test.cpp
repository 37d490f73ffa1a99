// An installed desktop program converts a channel list with the builder installed beside it:
// nothing is copied into the work folder, and the files still meet there.
#include <gtest/gtest.h>

#include "demo/demo_set.h"
#include "firmware/firmware_saver.h"
#include "firmware/image/image_parser.h"
#include "firmware/program_location.h"
#include "page_env.h"
#include "pages/general_page.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;
using testing::PageEnv;

std::vector<uint8_t> ChunkData(const std::vector<uint8_t>& image, const ChunkTable& table,
                               uint32_t id, size_t size) {
  const ChunkEntry& e = table.entries[static_cast<size_t>(*table.FindLoaded(id))];
  return std::vector<uint8_t>(image.begin() + e.file_offset + 128,
                              image.begin() + e.file_offset + 128 + size);
}

TEST(InstalledBuilder, ConvertsInTheApplicationDirectoryAndTheSaveCarriesBothDatabases) {
  PageEnv env;
  env.settings().SetU8(record::kConfigVersion, 0x02);
  testdata::TempDir prefix{"qtk_prefix"};
  const fs::path bin = prefix.path() / "usr local" / "bin";
  fs::create_directories(bin);
  fs::copy_file(QTK_DFV_K7720X_PATH, bin / ExecutableFileName("dfv_k7720x"));
  SystemProgramRunner runner(env.dir.path(), bin);
  env.context.runner = &runner;
  const std::string text = demo::DemoProgramList();
  testdata::WriteFile(env.dir.File("channels.txt"), std::vector<uint8_t>(text.begin(), text.end()));
  // Outputs of an earlier run in the work folder must not be taken for this run's.
  testdata::WriteFile(env.dir.File("user_db.bin"), {1, 2, 3});

  // The desktop program's current directory is its application directory.
  struct CurrentDirectory {
    fs::path saved = fs::current_path();
    ~CurrentDirectory() { fs::current_path(saved); }
  } restore;
  fs::current_path(env.dir.path());

  GeneralPage general(env.context);
  general.Load();
  general.SelectRow(4);
  ASSERT_EQ(general.rows()[4].name, "defaultdb");
  env.dialogs.answers = {MessageAnswer::No};  // domestic programs only
  env.dialogs.chosen_paths.push_back(env.dir.File("channels.txt"));
  ASSERT_TRUE(general.Replace()) << env.dialogs.LastText();
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"\n  YES: load all programs. \n\n  NO: "
                                                          "load only domestic programs."});

  EXPECT_EQ(env.chunk(kDefaultDatabaseChunkId).replacement_path, env.dir.File("m_6615_df.bin"));
  EXPECT_EQ(env.chunk(kUserDatabaseChunkId).replacement_path, env.dir.File("user_db.bin"));
  for (const char* name : {"m_6615_df.bin", "unzipped_m_6615_df.bin", "user_db.bin", "chout.txt"})
    EXPECT_TRUE(fs::is_regular_file(env.dir.path() / name)) << name;
  // The installation stays as it was: only the builder itself is there.
  EXPECT_EQ(std::distance(fs::directory_iterator(bin), fs::directory_iterator()), 1);

  const std::vector<uint8_t> default_db = testdata::ReadFile(env.dir.File("m_6615_df.bin"));
  const std::vector<uint8_t> user_db = testdata::ReadFile(env.dir.File("user_db.bin"));
  ASSERT_GT(user_db.size(), 3u);
  ASSERT_TRUE(general.Store());
  const std::string out = env.dir.File("out.bin");
  ASSERT_EQ(SaveFirmware(*env.project, env.session, out, env.dialogs), SaveResult::kSaved)
      << env.dialogs.LastText();
  const std::vector<uint8_t> saved = testdata::ReadFile(out);
  ChunkTable table;
  ASSERT_GT(ParseImage(saved, table), 0);
  EXPECT_EQ(ChunkData(saved, table, kDefaultDatabaseChunkId, default_db.size()), default_db);
  EXPECT_EQ(ChunkData(saved, table, kUserDatabaseChunkId, user_db.size()), user_db);
}

TEST(InstalledBuilder, NoBuilderAnywhereFailsTheConversionWithItsMessage) {
  PageEnv env;
  env.settings().SetU8(record::kConfigVersion, 0x02);
  testdata::TempDir empty_bin{"qtk_bin"};
  SystemProgramRunner runner(env.dir.path(), empty_bin.path());
  env.context.runner = &runner;
  const std::string text = demo::DemoProgramList();
  testdata::WriteFile(env.dir.File("channels.txt"), std::vector<uint8_t>(text.begin(), text.end()));
  GeneralPage general(env.context);
  general.Load();
  general.SelectRow(4);
  env.dialogs.answers = {MessageAnswer::Yes};
  env.dialogs.chosen_paths.push_back(env.dir.File("channels.txt"));
  EXPECT_FALSE(general.Replace());
  EXPECT_EQ(env.dialogs.LastText(), "Convert default database file fail!");
  EXPECT_FALSE(env.chunk(kDefaultDatabaseChunkId).replace);
  EXPECT_FALSE(env.chunk(kUserDatabaseChunkId).replace);
}

}  // namespace
}  // namespace qtk
