// Edits made through the page models reach the saved image.
#include <gtest/gtest.h>

#include "demo/demo_set.h"
#include "firmware/firmware_saver.h"
#include "firmware/program_location.h"
#include "page_env.h"
#include "pages/common_page.h"
#include "pages/general_page.h"
#include "pages/tuner_page.h"
#include "testdata/saved_image.h"

namespace qtk {
namespace {

using testing::PageEnv;

using testdata::SavedImage;

SavedImage SaveAndParse(PageEnv& env, std::vector<SettingsPage*> pages) {
  for (SettingsPage* page : pages)
    EXPECT_TRUE(page->Store());
  const std::string out = env.dir.File("out.bin");
  EXPECT_EQ(SaveFirmware(*env.project, env.session, out, env.dialogs), SaveResult::kSaved)
      << env.dialogs.LastText();
  SavedImage saved = testdata::ReadSavedImage(out);
  EXPECT_TRUE(saved.parsed);
  return saved;
}

TEST(PagesEndToEnd, TunerCommonAndChunkEditsReachTheSavedImage) {
  PageEnv env({.config_version = 1});  // basic record in an image with a tuner-driver chunk
  testdata::WriteFile(env.dir.File("tuner_zl10039.bin"), testdata::PatternBytes(0x300, 40));
  GeneralPage general(env.context);
  CommonPage common(env.context);
  TunerPage tuner(env.context);
  general.Load();
  common.Load();
  tuner.Load();
  ASSERT_FALSE(tuner.extended());

  tuner.SetQualityZoom(250);
  tuner.SetRowEnable(0, "On");  // the record offers no type yet
  tuner.SetRowEnable(3, "On");  // Zarlink 10039, code 4
  tuner.SelectTunerType(1);
  common.version_text = "E2E 9";
  common.standby_text = "OFF";
  std::vector<uint8_t> logo = testdata::PatternBytes(0x300, 9);
  std::copy_n(std::vector<uint8_t>{0, 0, 1, 0xB3}.begin(), 4, logo.begin());
  std::copy_n(std::vector<uint8_t>{0, 0, 1, 0xB7}.begin(), 4, logo.end() - 4);
  testdata::WriteFile(env.dir.File("new_logo.m2v"), logo);
  general.SelectRow(2);
  env.dialogs.chosen_paths.push_back(env.dir.File("new_logo.m2v"));
  ASSERT_TRUE(general.Replace());

  SavedImage saved = SaveAndParse(env, {&general, &common, &tuner});
  const std::vector<uint8_t> record = saved.Data(kCommonDataChunkId, record::kSize);
  EXPECT_EQ(record[record::kConfigVersion], 0x02);  // the tuner-driver chunk asks for version 2
  EXPECT_EQ(record[record::kSignalQualityZoom], 25);
  EXPECT_EQ(record[record::kTunerType], 4);
  EXPECT_EQ(record[record::kOfferedTunerCount], 1);
  EXPECT_EQ(record[record::kOfferedTunerCodes + 1], 4);
  EXPECT_EQ(std::string(record.begin() + 60, record.begin() + 66), std::string("E2E 9\0", 6));
  EXPECT_EQ(std::string(record.begin() + 92, record.begin() + 97), std::string("OFF \0", 5));
  EXPECT_EQ(saved.Data(kLogoChunkId, logo.size()), logo);
  EXPECT_EQ(saved.Data(kLogoChunkId).size(), logo.size());

  // Reopened, the record is extended and the chosen type's driver goes into its chunk.
  testdata::WriteFile(env.image_path(), saved.bytes);
  env.Reopen();
  TunerPage reopened(env.context);
  reopened.Load();
  ASSERT_TRUE(reopened.extended());
  reopened.SelectTunerType(1);  // Zarlink 10039 in [ExtTunerType]
  reopened.SetFrequencyHigh(2000);
  SavedImage second = SaveAndParse(env, {&reopened});
  EXPECT_EQ(second.Data(kTunerDriverChunkId, 0x300), testdata::PatternBytes(0x300, 40));
  const std::vector<uint8_t> record2 = second.Data(kCommonDataChunkId, record::kSize);
  EXPECT_EQ(record2[record::kExtTunerIndex], 1);
  EXPECT_EQ(record2[record::kTunerParameters + 16 + record::tuner_entry::kFrequencyHigh],
            2000 & 0xFF);
  EXPECT_EQ(record2[record::kTunerParameters + 16 + record::tuner_entry::kFrequencyHigh + 1],
            2000 >> 8);
}

TEST(PagesEndToEnd, WithoutTheDriverChunkASaveKeepsEveryTunerEntryForTheNextLoad) {
  PageEnv env({.with_tuner_driver = false});
  CustomerSettings& s = env.settings();
  // Stored in another order than the description's: Zarlink (4) first, Sharp 7306 (1) second.
  const std::vector<uint8_t> zarlink = testdata::PatternBytes(16, 0x40);
  const std::vector<uint8_t> sharp = testdata::PatternBytes(16, 0x80);
  std::copy(zarlink.begin(), zarlink.end(), s.bytes().begin() + record::kTunerParameters);
  std::copy(sharp.begin(), sharp.end(), s.bytes().begin() + record::kTunerParameters + 16);
  s.SetU8(record::kExtTunerCodes, 4);
  s.SetU8(record::kExtTunerCodes + 1, 1);
  TunerPage tuner(env.context);
  tuner.Load();
  SavedImage saved = SaveAndParse(env, {&tuner});
  testdata::WriteFile(env.image_path(), saved.bytes);

  env.Reopen();
  TunerPage reopened(env.context);
  reopened.Load();
  const CustomerSettings& r = env.settings();
  auto entry = [&r](int i) {
    const auto first = r.bytes().begin() + record::kTunerParameters + 16 * i;
    return std::vector<uint8_t>(first, first + 16);
  };
  EXPECT_EQ(entry(0), sharp);    // [ExtTunerType] entry 0: Sharp 7306
  EXPECT_EQ(entry(1), zarlink);  // entry 1: Zarlink 10039
}

TEST(PagesEndToEnd, ChannelListConvertedByTheRealBuilderReachesBothDatabaseChunks) {
  PageEnv env;
  env.settings().SetU8(record::kConfigVersion, 0x02);  // the current builder generation
  const std::filesystem::path builder = env.dir.path() / ExecutableFileName("dfv_k7720x");
  std::filesystem::copy_file(QTK_DFV_K7720X_PATH, builder);
  SystemProgramRunner runner(env.dir.path());
  env.context.runner = &runner;
  const std::string list = env.dir.File("channels.txt");
  const std::string text = demo::DemoProgramList();
  testdata::WriteFile(list, std::vector<uint8_t>(text.begin(), text.end()));

  // The builder writes its character list into the current directory.
  struct CurrentDirectory {
    std::filesystem::path saved = std::filesystem::current_path();
    ~CurrentDirectory() { std::filesystem::current_path(saved); }
  } restore;
  std::filesystem::current_path(env.dir.path());

  GeneralPage general(env.context);
  general.Load();
  general.SelectRow(4);
  ASSERT_EQ(general.rows()[4].name, "defaultdb");
  env.dialogs.chosen_paths.push_back(list);
  ASSERT_TRUE(general.Replace()) << env.dialogs.LastText();
  EXPECT_TRUE(env.chunk(kDefaultDatabaseChunkId).replace);
  EXPECT_TRUE(env.chunk(kUserDatabaseChunkId).replace);

  const std::vector<uint8_t> user_db = testdata::ReadFile(env.dir.File("user_db.bin"));
  const std::vector<uint8_t> default_db = testdata::ReadFile(env.dir.File("m_6615_df.bin"));
  ASSERT_FALSE(user_db.empty());
  SavedImage saved = SaveAndParse(env, {&general});
  EXPECT_EQ(saved.Data(kDefaultDatabaseChunkId, 5),
            (std::vector<uint8_t>{0x6C, 0x00, 0x00, 0x80, 0x00}));
  EXPECT_EQ(saved.Data(kDefaultDatabaseChunkId, default_db.size()), default_db);
  EXPECT_EQ(saved.Data(kUserDatabaseChunkId, user_db.size()), user_db);
  EXPECT_EQ(saved.Data(kUserDatabaseChunkId).size(), user_db.size());
}

}  // namespace
}  // namespace qtk
