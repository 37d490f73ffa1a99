#include "settings/setting_file.h"

#include <gtest/gtest.h>

#include <numeric>

#include "common/recording_dialogs.h"
#include "firmware/image/chunk_ids.h"
#include "testdata/image_builder.h"
#include "testdata/special_files.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

using testdata::ReadFile;
using testdata::WriteFile;

class SettingFileTest : public ::testing::Test {
 protected:
  SettingFileTest() {
    CustomerSettings::Bytes bytes;
    std::iota(bytes.begin(), bytes.end(), uint8_t{7});
    bytes[record::kConfigVersion] = 0x12;
    bytes[record::kFlashDeviceCount] = 0;
    bytes[record::kFlashDeviceCount + 1] = 0;
    std::fill(bytes.begin() + 948, bytes.begin() + 1128, 0);
    current.CopyRecordIn(bytes);
    chunks.count = 2;
    chunks.entries[1].id = kCommonDataChunkId;
    chunks.entries[1].length = 2048 - 16;  // last chunk: capacity 1920
  }
  std::string path() const { return dir.File("a.set"); }

  testdata::TempDir dir;
  RecordingDialogs dialogs;
  CustomerSettings current;
  ChunkTable chunks;
};

TEST_F(SettingFileTest, SavedFileIsTheCopiedOutRecord) {
  current.flash_devices() = {{0xC2, 3, 1}};
  ASSERT_TRUE(WriteSettingFile(path(), current, true, dialogs));
  auto file = ReadFile(path());
  ASSERT_EQ(file.size(), 1452u);
  EXPECT_TRUE(std::equal(file.begin(), file.end(), current.bytes().begin()));
  EXPECT_EQ(file[944], 1);
  EXPECT_EQ(file[948], 0xC2);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SettingFileTest, UncreatableFileIsReportedAndNothingIsLeft) {
  const std::string bad = dir.File("no/dir/a.set");
  EXPECT_FALSE(WriteSettingFile(bad, current, false, dialogs));
  EXPECT_EQ(dialogs.LastText(), "Can not open setting file " + bad);
}

TEST_F(SettingFileTest, OnlyRegularFilesAreReadAndOnlyTheirRecordPart) {
  // A FIFO would block, a device never ends: neither is opened.
  const std::string fifo = dir.File("pipe.set");
  if (testdata::MakeFifo(fifo)) {
    EXPECT_FALSE(ReadSettingFile(fifo, chunks, current, dialogs));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can not open setting file " + fifo + "!"});
  }
  const std::string device = testdata::EndlessDevice();
  if (!device.empty()) {
    dialogs.messages.clear();
    EXPECT_FALSE(ReadSettingFile(device, chunks, current, dialogs));
    EXPECT_EQ(dialogs.Texts(),
              std::vector<std::string>{"Can not open setting file " + device + "!"});
  }
  // A file of 3 GiB is measured and refused, never read.
  dialogs.messages.clear();
  const std::string huge = dir.File("huge.set");
  ASSERT_TRUE(testdata::MakeSparseFile(huge, uint64_t{3} << 30));
  EXPECT_FALSE(ReadSettingFile(huge, chunks, current, dialogs));
  EXPECT_EQ(dialogs.Texts(),
            std::vector<std::string>{"the setting file size of " + huge + " is too big!"});
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
}

TEST_F(SettingFileTest, ReadingBackGivesTheSameRecord) {
  ASSERT_TRUE(WriteSettingFile(path(), current, false, dialogs));
  auto buffer = ReadSettingFile(path(), chunks, current, dialogs);
  ASSERT_TRUE(buffer.has_value());
  EXPECT_EQ(*buffer, current.bytes());
}

TEST_F(SettingFileTest, ConfigurationVersionNibbleStaysThatOfTheCurrentRecord) {
  auto file = std::vector<uint8_t>(current.bytes().begin(), current.bytes().end());
  file[1] = 0xA1;
  WriteFile(path(), file);
  auto buffer = ReadSettingFile(path(), chunks, current, dialogs);
  ASSERT_TRUE(buffer.has_value());
  EXPECT_EQ((*buffer)[1], 0xA2);
}

TEST_F(SettingFileTest, ShortFileIsAPrefixOfTheRecord) {
  WriteFile(path(), std::vector<uint8_t>(496, 0xEE));
  auto buffer = ReadSettingFile(path(), chunks, current, dialogs);
  ASSERT_TRUE(buffer.has_value());
  EXPECT_EQ((*buffer)[0], 0xEE);
  EXPECT_EQ((*buffer)[495], 0xEE);
  EXPECT_EQ((*buffer)[496], current.bytes()[496]);
  EXPECT_EQ((*buffer)[1], 0xE2);
}

TEST_F(SettingFileTest, RefusalsAndTheirMessages) {
  WriteFile(path(), std::vector<uint8_t>(495, 0));
  EXPECT_FALSE(ReadSettingFile(path(), chunks, current, dialogs));
  const std::string old_file =
      "Can not load old config file, please use the old version bin tool(lower then ver2.0)!";
  EXPECT_EQ(dialogs.LastText(), old_file);

  WriteFile(path(), std::vector<uint8_t>(1921, 0));
  EXPECT_FALSE(ReadSettingFile(path(), chunks, current, dialogs));
  EXPECT_EQ(dialogs.LastText(), "the setting file size of " + path() + " is too big!");
  EXPECT_EQ(dialogs.messages.back().icon, MessageIcon::Error);

  WriteFile(path(), std::vector<uint8_t>(1920, 0x33));  // longer than the record, still fits
  EXPECT_TRUE(ReadSettingFile(path(), chunks, current, dialogs));

  chunks.entries[1].length = 496;  // old-format common data chunk
  EXPECT_FALSE(ReadSettingFile(path(), chunks, current, dialogs));
  EXPECT_EQ(dialogs.LastText(), old_file);

  EXPECT_FALSE(ReadSettingFile(dir.File("none.set"), chunks, current, dialogs));
  EXPECT_EQ(dialogs.LastText(), "Can not open setting file " + dir.File("none.set") + "!");
}

TEST_F(SettingFileTest, WithoutCommonDataChunkTheSizeChecksAreSkipped) {
  chunks.entries[1].id = 0x20DF0000u;
  WriteFile(path(), std::vector<uint8_t>(10, 1));
  EXPECT_TRUE(ReadSettingFile(path(), chunks, current, dialogs));
}

// Each page import changes exactly its own record ranges.
struct ImportCase {
  const char* name;
  void (*run)(CustomerSettings&, const CustomerSettings::Bytes&);
  std::vector<std::pair<size_t, size_t>> ranges;  // [first, last]
};

void PrintTo(const ImportCase& c, std::ostream* os) {
  *os << c.name;
}

class PageImportTest : public ::testing::TestWithParam<ImportCase> {};

TEST_P(PageImportTest, TakesOnlyItsRanges) {
  CustomerSettings settings;
  CustomerSettings::Bytes file;
  file.fill(0xAB);
  GetParam().run(settings, file);
  for (size_t i = 0; i < record::kSize; ++i) {
    bool inside = false;
    for (auto [first, last] : GetParam().ranges)
      inside |= i >= first && i <= last;
    ASSERT_EQ(settings.bytes()[i], inside ? 0xAB : 0x00) << GetParam().name << " byte " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageImportTest,
    ::testing::Values(
        ImportCase{"tuner",
                   ImportTunerSettings,
                   {{43, 43}, {110, 110}, {144, 163}, {1160, 1399}, {1400, 1400}, {1401, 1415}}},
        ImportCase{"panel", ImportPanelSettings, {{164, 395}}},
        ImportCase{"flash", ImportSerialFlashSettings, {{944, 1127}}},
        ImportCase{"ota", ImportOtaSettings, {{1416, 1451}}},
        ImportCase{"keymap",
                   [](CustomerSettings& s, const CustomerSettings::Bytes& f) {
                     ImportKeyMapSettings(s, f);
                   },
                   {{396, 779}, {780, 781}, {1128, 1129}}}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST(PageImport, KeyMapHandsBackTheWindowKeysAndPanelRebuildsTheCharacterTable) {
  CustomerSettings settings;
  CustomerSettings::Bytes file{};
  file[45] = 1;
  file[46] = 2;
  file[47] = 3;
  WindowKeys keys = ImportKeyMapSettings(settings, file);
  EXPECT_EQ(keys.pause, 1);
  EXPECT_EQ(keys.preview, 2);
  EXPECT_EQ(keys.dview, 3);
  EXPECT_EQ(settings.U8(45), 0);  // reaches the record only at the page's next store

  file[204] = 2;
  file[208] = 0x31;
  ImportPanelSettings(settings, file);
  EXPECT_EQ(settings.character_table().size(), 2u);
  file[944] = 1;
  file[948] = 0xC2;
  ImportSerialFlashSettings(settings, file);
  ASSERT_EQ(settings.flash_devices().size(), 1u);
  EXPECT_EQ(settings.flash_devices()[0].flash_id, 0xC2);
}

}  // namespace
}  // namespace qtk
