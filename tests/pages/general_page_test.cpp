#include "pages/general_page.h"

#include <gtest/gtest.h>

#include "config/ini/private_profile.h"
#include "firmware/firmware_saver.h"
#include "page_env.h"
#include "testdata/special_files.h"

namespace qtk {
namespace {

using testing::PageEnv;

int RowOf(const GeneralPage& page, const std::string& name) {
  for (size_t i = 0; i < page.rows().size(); ++i) {
    if (page.rows()[i].name == name)
      return static_cast<int>(i);
  }
  return -1;
}

std::vector<uint8_t> Logo(size_t size, uint8_t last = 0xB7) {
  std::vector<uint8_t> bytes = testdata::PatternBytes(size, 3);
  bytes[0] = 0;
  bytes[1] = 0;
  bytes[2] = 1;
  bytes[3] = 0xB3;
  bytes[size - 4] = 0;
  bytes[size - 3] = 0;
  bytes[size - 2] = 1;
  bytes[size - 1] = last;
  return bytes;
}

class GeneralPageTest : public ::testing::Test {
 protected:
  // Selects the row of the named chunk and answers the file dialog with the path.
  bool ReplaceWith(const std::string& chunk, const std::string& path) {
    page.SelectRow(RowOf(page, chunk));
    env.dialogs.chosen_paths.push_back(path);
    return page.Replace();
  }
  std::string WriteList(const std::string& text) {
    const std::string path = source.File("list.txt");
    testdata::WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
    return path;
  }

  PageEnv env;
  testdata::TempDir source{"qtk_pages_src"};
  GeneralPage page{env.context};
  void SetUp() override {
    // The standard record selects the first builder generation; these runs use the current.
    env.settings().SetU8(record::kConfigVersion, 0x02);
    page.Load();
  }
};

TEST_F(GeneralPageTest, ListsTheDescribedChunksWithDetailColumns) {
  EXPECT_EQ(page.ColumnNames(),
            (std::vector<std::string>{"Chunk name", "ID", "Offset", "CRC", "File"}));
  EXPECT_EQ(page.ColumnWidths(), (std::vector<int>{100, 80, 80, 80, 120}));
  // Game ROM is described but not in the image.
  std::vector<std::string> names;
  for (const auto& r : page.rows())
    names.push_back(r.name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"bootloader", "maincode", "logo", "dynpanel", "defaultdb",
                                      "userdb", "gameemu", "tunerdrv", "common"}));
  const GeneralPage::Row& logo = page.rows()[2];
  EXPECT_EQ(logo.id, "0x02fd0100");
  EXPECT_EQ(logo.offset, "0x00001000");
  char crc[16];
  std::snprintf(crc, sizeof crc, "0x%8.8x", env.chunk(kLogoChunkId).crc);
  EXPECT_EQ(logo.crc, crc);
  EXPECT_EQ(page.Cells(2), (std::vector<std::string>{"logo", "0x02fd0100", "0x00001000", crc, ""}));
}

TEST(GeneralPageColumns, WithoutDetailTwoColumns) {
  testdata::DescriptionSpec d = testdata::RealisticDescription();
  d.Set("CommonConfig", "ShowChunkDetailEnable", 0);
  PageEnv env({}, d);
  GeneralPage page(env.context);
  page.Load();
  EXPECT_EQ(page.ColumnNames(), (std::vector<std::string>{"Chunk name", "File"}));
  EXPECT_EQ(page.ColumnWidths(), (std::vector<int>{100, 360}));
  EXPECT_EQ(page.Cells(0).size(), 2u);
}

TEST_F(GeneralPageTest, ButtonsFollowTheSelectionAndItsFile) {
  EXPECT_FALSE(page.replace_enabled());
  EXPECT_FALSE(page.clear_enabled());
  page.SelectRow(0);
  EXPECT_TRUE(page.replace_enabled());
  EXPECT_FALSE(page.clear_enabled());
  const std::string file = source.File("main.bin");
  testdata::WriteFile(file, testdata::PatternBytes(0x100));
  ASSERT_TRUE(ReplaceWith("maincode", file));
  EXPECT_TRUE(page.clear_enabled());
  page.SelectRow(-1);
  EXPECT_FALSE(page.replace_enabled());
}

struct FilterCase {
  uint32_t id;
  const char* filter;
};
class ChunkFilters : public ::testing::TestWithParam<FilterCase> {};
TEST_P(ChunkFilters, EachChunkOffersItsFiles) {
  EXPECT_STREQ(ChunkFileFilter(GetParam().id), GetParam().filter);
}
INSTANTIATE_TEST_SUITE_P(
    All, ChunkFilters,
    ::testing::Values(
        FilterCase{kLogoChunkId, "Logo Files(*.m2v)|*.m2v|All Files (*.*)|*.*||"},
        FilterCase{kDefaultDatabaseChunkId, "DefaultDb Files(*.txt)|*.txt|All Files (*.*)|*.*||"},
        FilterCase{kMainCodeChunkId, "Main code Files(*.bin)|*.bin|All Files (*.*)|*.*||"},
        FilterCase{kUserDatabaseChunkId, "User DB Files(*.bin)|*.bin|All Files (*.*)|*.*||"},
        FilterCase{kGameEmulatorChunkId, "Game Emu Files(*.bin)|*.bin|All Files (*.*)|*.*||"},
        FilterCase{kGameRomChunkId, "Game Rom Files(*.bin)|*.bin|All Files (*.*)|*.*||"},
        FilterCase{kCommonDataChunkId, "Common data Files(*.bin)|*.bin|All Files (*.*)|*.*||"},
        FilterCase{kBootloaderChunkId, "Bootloader Files(*.bin)|*.bin|All Files (*.*)|*.*||"},
        FilterCase{kTunerDriverChunkId, "Binary Files(*.bin)|*.bin|All Files (*.*)|*.*||"}));

TEST_F(GeneralPageTest, WithoutSelectionReplaceAsksNothing) {
  EXPECT_FALSE(ReplaceWith("no such row", source.File("emu.bin")));
  EXPECT_TRUE(env.dialogs.file_requests.empty());
}

TEST_F(GeneralPageTest, ReplaceMarksTheChunkAndShowsTheFile) {
  const std::string file = source.File("emu.bin");
  testdata::WriteFile(file, testdata::PatternBytes(0x100));
  ASSERT_TRUE(ReplaceWith("gameemu", "  " + file + " \t"));
  ASSERT_EQ(env.dialogs.file_requests.size(), 1u);
  EXPECT_EQ(env.dialogs.file_requests[0].filter, ChunkFileFilter(kGameEmulatorChunkId));
  EXPECT_TRUE(env.dialogs.file_requests[0].read_only_ticked);
  EXPECT_TRUE(env.chunk(kGameEmulatorChunkId).replace);
  EXPECT_EQ(env.chunk(kGameEmulatorChunkId).replacement_path, file);
  EXPECT_EQ(page.rows()[static_cast<size_t>(RowOf(page, "gameemu"))].file, file);
  EXPECT_TRUE(env.dialogs.messages.empty());
}

TEST_F(GeneralPageTest, CancelAndBlankPathsDoNothing) {
  page.SelectRow(RowOf(page, "gameemu"));
  env.dialogs.chosen_paths.push_back(std::nullopt);
  EXPECT_FALSE(page.Replace());
  EXPECT_FALSE(ReplaceWith("gameemu", "   "));
  EXPECT_TRUE(env.dialogs.messages.empty());
  EXPECT_FALSE(env.chunk(kGameEmulatorChunkId).replace);
}

TEST_F(GeneralPageTest, PathLengthLimit) {
  const std::string name_255 = std::string(255 - source.path().string().size() - 1, 'a');
  const std::string ok = source.File(name_255);
  testdata::WriteFile(ok, testdata::PatternBytes(16));
  ASSERT_EQ(ok.size(), 255u);
  EXPECT_TRUE(ReplaceWith("gameemu", ok));
  EXPECT_FALSE(ReplaceWith("gameemu", ok + "b"));
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"the chunk file name is too long!"});
  EXPECT_EQ(env.chunk(kGameEmulatorChunkId).replacement_path, ok);
}

TEST_F(GeneralPageTest, FitCheckMessages) {
  const std::string big = source.File("big.bin");
  testdata::WriteFile(big, testdata::PatternBytes(0x400 - 128 + 1));
  EXPECT_FALSE(ReplaceWith("gameemu", big));
  EXPECT_EQ(env.dialogs.LastText(), "the chunk file size of " + big + " is too big!");
  const std::string fits = source.File("fits.bin");
  testdata::WriteFile(fits, testdata::PatternBytes(0x400 - 128));
  EXPECT_TRUE(ReplaceWith("gameemu", fits));
  EXPECT_FALSE(ReplaceWith("gameemu", source.File("missing.bin")));
  EXPECT_EQ(env.dialogs.LastText(), "Can not open chunk file " + source.File("missing.bin") + "!");
  EXPECT_EQ(env.chunk(kGameEmulatorChunkId).replacement_path, fits);
}

TEST_F(GeneralPageTest, LogoMustBeAnMpegSequence) {
  const std::string good = source.File("good.m2v");
  const std::string bad_end = source.File("bad.m2v");
  testdata::WriteFile(good, Logo(0x200));
  testdata::WriteFile(bad_end, Logo(0x200, 0xB8));
  EXPECT_FALSE(ReplaceWith("logo", bad_end));
  ASSERT_EQ(env.dialogs.messages.size(), 1u);
  EXPECT_EQ(env.dialogs.messages[0].text, "It is not a standard logo file!");
  EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_FALSE(env.chunk(kLogoChunkId).replace);
  EXPECT_TRUE(ReplaceWith("logo", good));
  EXPECT_TRUE(env.chunk(kLogoChunkId).replace);
}

TEST_F(GeneralPageTest, UnreadableLogoWarnsThenCountsAsNotStandard) {
  EXPECT_FALSE(ReplaceWith("logo", source.File("none.m2v")));
  ASSERT_EQ(env.dialogs.messages.size(), 2u);
  EXPECT_EQ(env.dialogs.messages[0].text, "Can not open logo file!");
  EXPECT_EQ(env.dialogs.messages[0].title, "Warning");
  EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(env.dialogs.messages[1].text, "It is not a standard logo file!");
}

TEST_F(GeneralPageTest, SpecialFilesAreRefusedWithoutWaiting) {
  // A FIFO chosen in the file dialog must not block the program until a writer comes.
  const std::string fifo = source.File("pipe");
  if (!testdata::MakeFifo(fifo))
    GTEST_SKIP() << "no FIFOs here";
  EXPECT_FALSE(ReplaceWith("logo", fifo));
  EXPECT_EQ(env.dialogs.Texts(), (std::vector<std::string>{"Can not open logo file!",
                                                           "It is not a standard logo file!"}));
  env.dialogs.messages.clear();
  EXPECT_FALSE(ReplaceWith("defaultdb", fifo));
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"It is not a standard default DB file!"});
  EXPECT_TRUE(env.runner.started.empty());
  env.dialogs.messages.clear();
  EXPECT_FALSE(ReplaceWith("maincode", fifo));
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"Can not open chunk file " + fifo + "!"});
  EXPECT_FALSE(env.chunk(kMainCodeChunkId).replace);
}

struct DbTextCase {
  const char* text;
  bool standard;
};
class DefaultDbText : public ::testing::TestWithParam<DbTextCase> {};
TEST_P(DefaultDbText, FirstMeaningfulLineDecides) {
  testdata::TempDir dir;
  const std::string path = dir.File("db.txt");
  const std::string text = GetParam().text;
  testdata::WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
  EXPECT_EQ(IsStandardDefaultDbText(path), GetParam().standard);
}
INSTANTIATE_TEST_SUITE_P(Lines, DefaultDbText,
                         ::testing::Values(DbTextCase{"; c\r\n \t\r\n#sat\r\n", true},
                                           DbTextCase{"*Astra\n", true},
                                           DbTextCase{"; c\nAstra\n*x\n", false},
                                           DbTextCase{"; only\n;comments\n", false},
                                           DbTextCase{"", false}, DbTextCase{" *x\n", false}));

TEST_F(GeneralPageTest, NotStandardDefaultDbTextIsRefusedBeforeConverting) {
  EXPECT_FALSE(ReplaceWith("defaultdb", WriteList("Astra\n")));
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"It is not a standard default DB file!"});
  EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_TRUE(env.runner.started.empty());
}

class Conversion : public GeneralPageTest, public ::testing::WithParamInterface<MessageAnswer> {};

TEST_P(Conversion, WritesTheBuilderSettingsRunsItAndMarksBothDatabases) {
  const auto app = env.dir.path();
  testdata::WriteFile((app / "unzipped_m_6615_df.bin").string(), {1, 2, 3});
  env.runner.default_db_output = {0x6C, 0x00, 0x00, 0x80, 0x00, 9, 9};
  env.runner.user_db_output = {7, 7, 7};
  env.dialogs.answers.push_back(GetParam());
  const std::string list = WriteList("*Astra\n");
  ASSERT_TRUE(ReplaceWith("defaultdb", list));

  ASSERT_EQ(env.dialogs.messages.size(), 1u);
  EXPECT_EQ(env.dialogs.messages[0].text,
            "\n  YES: load all programs. \n\n  NO: load only domestic programs.");
  EXPECT_EQ(env.dialogs.messages[0].buttons, MessageButtons::YesNo);
  const auto ini = app / "dfv_k7720x.ini";
  EXPECT_EQ(ini::GetPrivateProfileString("File0", "File", "", ini), "Tmp_default_dbquar8.txt");
  EXPECT_EQ(ini::GetPrivateProfileInt("config", "LoadDomestic", -1, ini),
            GetParam() == MessageAnswer::Yes ? 0 : 1);
  EXPECT_EQ(testdata::ReadFile((app / "Tmp_default_dbquar8.txt").string()),
            testdata::ReadFile(list));
  EXPECT_FALSE(std::filesystem::exists(app / "unzipped_m_6615_df.bin"));
  EXPECT_EQ(env.runner.started, std::vector<std::string>{"dfv_k7720x"});
  EXPECT_EQ(env.runner.argument_counts, std::vector<size_t>{0});

  EXPECT_EQ(env.chunk(kDefaultDatabaseChunkId).replacement_path, (app / "m_6615_df.bin").string());
  EXPECT_TRUE(env.chunk(kDefaultDatabaseChunkId).replace);
  EXPECT_EQ(env.chunk(kUserDatabaseChunkId).replacement_path, (app / "user_db.bin").string());
  EXPECT_TRUE(env.chunk(kUserDatabaseChunkId).replace);
  EXPECT_EQ(page.rows()[static_cast<size_t>(RowOf(page, "defaultdb"))].file, list);
  EXPECT_EQ(page.rows()[static_cast<size_t>(RowOf(page, "userdb"))].file, "");
}
INSTANTIATE_TEST_SUITE_P(Answers, Conversion,
                         ::testing::Values(MessageAnswer::Yes, MessageAnswer::No));

TEST_F(GeneralPageTest, FirstBuilderGenerationRunsTheV1Builder) {
  env.settings().SetU8(record::kConfigVersion, 0x12);
  env.runner.can_start = false;
  EXPECT_FALSE(ReplaceWith("defaultdb", WriteList("#x\n")));
  EXPECT_EQ(env.runner.started, std::vector<std::string>{"dfv_k7720x_v1"});
  EXPECT_EQ(env.dialogs.LastText(), "Convert default database file fail!");
  EXPECT_FALSE(env.chunk(kDefaultDatabaseChunkId).replace);
  EXPECT_FALSE(env.chunk(kUserDatabaseChunkId).replace);
}

TEST_F(GeneralPageTest, BuilderWithoutOutputFailsTheFitCheck) {
  // Stale outputs of an earlier run must not be taken for this run's.
  testdata::WriteFile(env.dir.File("m_6615_df.bin"), {1});
  testdata::WriteFile(env.dir.File("user_db.bin"), {1});
  EXPECT_FALSE(ReplaceWith("defaultdb", WriteList("#x\n")));
  EXPECT_EQ(env.dialogs.LastText(),
            "Can not open chunk file " + env.dir.File("m_6615_df.bin") + "!");
  EXPECT_FALSE(env.chunk(kDefaultDatabaseChunkId).replace);
  EXPECT_FALSE(env.chunk(kUserDatabaseChunkId).replace);  // no user_db.bin appeared
}

TEST_F(GeneralPageTest, TooBigDefaultDatabaseMessagesTellCompressedFromRaw) {
  const std::string out = env.dir.File("m_6615_df.bin");
  env.runner.default_db_output = testdata::PatternBytes(0x2000);
  EXPECT_FALSE(ReplaceWith("defaultdb", WriteList("#x\n")));
  EXPECT_EQ(env.dialogs.LastText(), "The size of default base file " + out +
                                        " is too big, you can compress it and try again.");
  env.runner.default_db_output[0] = 0x6C;
  env.runner.default_db_output[1] = 0x00;
  env.runner.default_db_output[2] = 0x00;
  env.runner.default_db_output[3] = 0x80;
  EXPECT_FALSE(ReplaceWith("defaultdb", WriteList("#x\n")));
  EXPECT_EQ(env.dialogs.LastText(),
            "The size of ZIP compressed default base file " + out + " is too big");
}

TEST_F(GeneralPageTest, AConversionWhoseOutputDoesNotFitMarksNothing) {
  env.runner.default_db_output = testdata::PatternBytes(0x2000);  // the chunk holds 0x2000 - 128
  env.runner.user_db_output = {7, 7, 7};
  EXPECT_FALSE(ReplaceWith("defaultdb", WriteList("#x\n")));
  EXPECT_FALSE(env.chunk(kDefaultDatabaseChunkId).replace);
  // No hidden user database mark that no row shows and "Clear" could not reach.
  EXPECT_FALSE(env.chunk(kUserDatabaseChunkId).replace);
  EXPECT_TRUE(env.chunk(kUserDatabaseChunkId).replacement_path.empty());
  for (const GeneralPage::Row& r : page.rows())
    EXPECT_EQ(r.file, "") << r.name;
}

TEST_F(GeneralPageTest, ANewConversionTakesTheMarksOfTheOutputsItDeletesWithThem) {
  env.runner.default_db_output = {1, 2, 3};
  env.runner.user_db_output = {4, 5};
  const std::string list = WriteList("#x\n");
  ASSERT_TRUE(ReplaceWith("defaultdb", list));
  ASSERT_TRUE(env.chunk(kUserDatabaseChunkId).replace);

  env.runner.can_start = false;  // the second run fails after the old outputs are deleted
  EXPECT_FALSE(ReplaceWith("defaultdb", list));
  EXPECT_EQ(env.dialogs.LastText(), "Convert default database file fail!");
  EXPECT_FALSE(std::filesystem::exists(env.dir.path() / "m_6615_df.bin"));
  EXPECT_FALSE(env.chunk(kDefaultDatabaseChunkId).replace);
  EXPECT_FALSE(env.chunk(kUserDatabaseChunkId).replace);
  EXPECT_EQ(page.rows()[static_cast<size_t>(RowOf(page, "defaultdb"))].file, "");
  EXPECT_FALSE(page.clear_enabled());
  // A save now writes both database chunks as they were, and fails on no missing file.
  const std::string out = env.dir.File("out.bin");
  EXPECT_EQ(SaveFirmware(*env.project, env.session, out, env.dialogs), SaveResult::kSaved);
}

TEST_F(GeneralPageTest, AConversionReplacesAUserDatabaseTheUserChoseAndItsRowSaysSo) {
  const std::string own = source.File("own_user_db.bin");
  testdata::WriteFile(own, {9, 9});
  ASSERT_TRUE(ReplaceWith("userdb", own));
  env.runner.default_db_output = {1, 2, 3};
  env.runner.user_db_output = {4, 5};
  ASSERT_TRUE(ReplaceWith("defaultdb", WriteList("#x\n")));
  EXPECT_EQ(env.chunk(kUserDatabaseChunkId).replacement_path, env.dir.File("user_db.bin"));
  EXPECT_EQ(page.rows()[static_cast<size_t>(RowOf(page, "userdb"))].file, "");
}

TEST_F(GeneralPageTest, ChosenFileMayBeTheBuildersOwnInput) {
  const std::string input = env.dir.File("Tmp_default_dbquar8.txt");
  testdata::WriteFile(input, {'#', 'x', '\n'});
  env.runner.default_db_output = {1, 2, 3};
  ASSERT_TRUE(ReplaceWith("defaultdb", input));
  EXPECT_EQ(testdata::ReadFile(input), (std::vector<uint8_t>{'#', 'x', '\n'}));
}

TEST_F(GeneralPageTest, ClearTakesOffTheMarkAndTheConvertedUserDatabaseGoesWithItsDefault) {
  env.runner.default_db_output = {1, 2, 3};
  env.runner.user_db_output = {4, 5};
  ASSERT_TRUE(ReplaceWith("defaultdb", WriteList("#x\n")));
  const std::string logo = source.File("l.m2v");
  testdata::WriteFile(logo, Logo(64));
  ASSERT_TRUE(ReplaceWith("logo", logo));

  page.SelectRow(RowOf(page, "logo"));
  page.Clear();
  EXPECT_FALSE(env.chunk(kLogoChunkId).replace);
  EXPECT_TRUE(env.chunk(kLogoChunkId).replacement_path.empty());
  EXPECT_FALSE(page.clear_enabled());
  EXPECT_TRUE(env.chunk(kUserDatabaseChunkId).replace);  // belongs to the default database

  page.SelectRow(RowOf(page, "defaultdb"));
  EXPECT_TRUE(page.clear_enabled());
  page.Clear();
  EXPECT_FALSE(env.chunk(kDefaultDatabaseChunkId).replace);
  EXPECT_FALSE(env.chunk(kUserDatabaseChunkId).replace);
  EXPECT_TRUE(env.chunk(kUserDatabaseChunkId).replacement_path.empty());
  EXPECT_EQ(page.rows()[static_cast<size_t>(RowOf(page, "defaultdb"))].file, "");
}

TEST_F(GeneralPageTest, ReloadKeepsFilesOfChunksStillMarked) {
  const std::string file = source.File("emu.bin");
  testdata::WriteFile(file, testdata::PatternBytes(16));
  ASSERT_TRUE(ReplaceWith("gameemu", file));
  page.Load();
  EXPECT_EQ(page.rows()[static_cast<size_t>(RowOf(page, "gameemu"))].file, file);
  EXPECT_EQ(page.selected_row(), -1);
  env.Reopen();  // a firmware reload drops every mark
  page.Load();
  EXPECT_EQ(page.rows()[static_cast<size_t>(RowOf(page, "gameemu"))].file, "");
}

TEST_F(GeneralPageTest, StoreChangesNothing) {
  const CustomerSettings::Bytes before = env.settings().bytes();
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(env.settings().bytes(), before);
}

// Chunk names may repeat, differ only in case, or be empty: each row still stands for the
// chunk it was built from.
class GeneralPageNames : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    for (testdata::ChunkSpec& c : chunks) {
      if (c.id == kGameEmulatorChunkId)
        c.name = "logo";
      if (c.id == kTunerDriverChunkId)
        c.name = "LOGO";
      if (c.id == kDynamicPanelChunkId)
        c.name = "";
    }
    testdata::WriteFile(env.image_path(), testdata::BuildFirmware(chunks, testing::kPassword));
    env.Reopen();
    ASSERT_TRUE(env.project);
    page.Load();
  }
  PageEnv env;
  testdata::TempDir source{"qtk_pages_src"};
  GeneralPage page{env.context};
};

TEST_F(GeneralPageNames, EachRowReplacesAndClearsItsOwnChunk) {
  ASSERT_EQ(page.rows()[6].name, "logo");
  ASSERT_EQ(page.rows()[7].name, "LOGO");
  ASSERT_EQ(page.rows()[3].name, "");
  const std::string file = source.File("any.bin");
  testdata::WriteFile(file, testdata::PatternBytes(0x80));
  for (int row : {6, 7, 3}) {
    page.SelectRow(row);
    env.dialogs.chosen_paths.push_back(file);
    ASSERT_TRUE(page.Replace()) << row << ": " << env.dialogs.LastText();
  }
  EXPECT_EQ(env.dialogs.file_requests[0].filter, ChunkFileFilter(kGameEmulatorChunkId));
  EXPECT_TRUE(env.dialogs.messages.empty());
  EXPECT_FALSE(env.chunk(kLogoChunkId).replace);
  for (uint32_t id : {kGameEmulatorChunkId, kTunerDriverChunkId, kDynamicPanelChunkId}) {
    EXPECT_TRUE(env.chunk(id).replace) << std::hex << id;
    EXPECT_EQ(env.chunk(id).replacement_path, file);
  }
  page.SelectRow(7);
  page.Clear();
  EXPECT_FALSE(env.chunk(kTunerDriverChunkId).replace);
  EXPECT_TRUE(env.chunk(kGameEmulatorChunkId).replace);
  EXPECT_EQ(page.RowOfChunk(kTunerDriverChunkId), 7);
  EXPECT_EQ(page.RowOfChunk(kGameRomChunkId), -1);
}

}  // namespace
}  // namespace qtk
