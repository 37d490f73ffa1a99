// A generated image opened and saved without touching any page: every record byte that the
// save changes is listed here with the page that changes it and why. A page that writes a
// field its load did not read back adds its line to kUntouchedSaveChanges; a change that is
// not listed, or a listed one that does not happen, fails the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>

#include "demo/demo_set.h"
#include "firmware/firmware_loader.h"
#include "firmware/firmware_saver.h"
#include "page_env.h"
#include "pages/page_list.h"
#include "pages/page_set.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/image_builder.h"
#include "testdata/saved_image.h"

namespace qtk {
namespace {

struct UntouchedSaveChange {
  size_t offset;
  std::optional<PageId> page;  // expected only while this page is built; none: the load
  const char* reason;
  int value;  // the byte the save writes
};

// The generated record of the file differs from the saved one in these bytes, and only in
// these. The image is saved as the desktop program does it: every page loaded, then stored.
const UntouchedSaveChange kUntouchedSaveChanges[] = {
    {2, std::nullopt, "the clock and pad block comes from image offset 258", 131},
    {3, std::nullopt, "the clock and pad block comes from image offset 258", 132},
    {4, std::nullopt, "the clock and pad block comes from image offset 258", 133},
    {5, std::nullopt, "the clock and pad block comes from image offset 258", 134},
    {6, std::nullopt, "the clock and pad block comes from image offset 258", 135},
    {7, std::nullopt, "the clock and pad block comes from image offset 258", 136},
    {record::kMaxVolume, PageId::kCommon, "every load writes [Volume] MaxValue", 100},
    {record::kTransparenceCount, PageId::kCommon, "the number of [Transparence] entries", 4},
    {record::kSignalQualityZoom, PageId::kTuner, "a zoom of 0 is shown as 100 %", 10},
    {record::kSignalIntensityZoom, PageId::kTuner, "a zoom of 0 is shown as 100 %", 10},
    {record::kOfferedTunerCount, PageId::kTuner, "the extended format offers every type", 4},
    {record::kOfferedTunerCodes + 0, PageId::kTuner, "[ExtTunerType] code", 1},
    {record::kOfferedTunerCodes + 1, PageId::kTuner, "[ExtTunerType] code", 4},
    {record::kOfferedTunerCodes + 2, PageId::kTuner, "[ExtTunerType] code", 7},
    {record::kOfferedTunerCodes + 3, PageId::kTuner, "[ExtTunerType] code", 8},
    {record::kTunerParameters + record::tuner_entry::kUserCrystal, PageId::kTuner,
     "the user crystal of byte 146 goes into the chosen type's entry", 4000 & 0xFF},
    {record::kTunerParameters + record::tuner_entry::kUserCrystal + 1, PageId::kTuner,
     "the user crystal of byte 146 goes into the chosen type's entry", 4000 >> 8},
    {record::kExtTunerCodes + 0, PageId::kTuner, "the entries' [ExtTunerType] codes", 1},
    {record::kExtTunerCodes + 1, PageId::kTuner, "the entries' [ExtTunerType] codes", 4},
    {record::kExtTunerCodes + 2, PageId::kTuner, "the entries' [ExtTunerType] codes", 7},
    {record::kExtTunerCodes + 3, PageId::kTuner, "the entries' [ExtTunerType] codes", 8},
};

// Tables the generated record leaves empty and a page writes whole from the description; any
// value may land in them, and a second untouched save must give them back unchanged.
struct UntouchedSaveTable {
  size_t offset;
  size_t size;
  PageId page;
  const char* reason;
};
const UntouchedSaveTable kUntouchedSaveTables[] = {
    {record::kCharacterTableCount, 4 + 2 * 64, PageId::kPanel,
     "the character table follows the segment assignment"},
    {record::kPanelKeyMap, 4 * record::kPanelKeyEntries, PageId::kKeyMap,
     "the panel keys of [PanelKey]"},
    {record::kIrKeyMap, 4 * record::kIrKeyEntries, PageId::kKeyMap, "the IR keys of [IRKey]"},
};

// Chunks other than the common data chunk that an untouched save writes anew.
const std::pair<uint32_t, PageId> kUntouchedSaveChunks[] = {
    // The driver file of the chosen tuner type replaces the tuner-driver chunk.
    {kTunerDriverChunkId, PageId::kTuner},
    // The file of the chosen bus type replaces the dynamic panel chunk.
    {kDynamicPanelChunkId, PageId::kGpioUsage},
};

constexpr const char* kPassword = "1234";

bool IsBuilt(PageId id) {
  bool built = false;
  ForEachPageRow([&](auto row) { built = built || decltype(row)::ModelType::kId == id; });
  return built;
}

const UntouchedSaveTable* TableOf(size_t offset) {
  for (const UntouchedSaveTable& table : kUntouchedSaveTables) {
    if (IsBuilt(table.page) && offset >= table.offset && offset < table.offset + table.size)
      return &table;
  }
  return nullptr;
}

std::string TableLine(const UntouchedSaveTable& table) {
  return std::string(InfoOf(table.page).name) + ": " + table.reason;
}

// Opens the image, loads and stores every page as the desktop program does, and saves it.
testdata::SavedImage SaveUntouched(const testdata::TempDir& dir, const std::string& image,
                                   const std::string& out) {
  LoadSession session;
  RecordingDialogs dialogs;
  std::unique_ptr<FirmwareProject> project =
      OpenFirmware(image, dir.File(testdata::kDefaultDescriptionName), kPassword, session, dialogs);
  EXPECT_TRUE(project) << dialogs.LastText();
  if (!project)
    return {};
  SharedPageState shared;
  PageSet pages({project.get(), &session, &dialogs, dir.path(), nullptr, &shared}, CreatePageModel);
  pages.LoadAll();
  EXPECT_EQ(pages.StoreAll(), nullptr) << dialogs.LastText();
  EXPECT_EQ(SaveFirmware(*project, session, out, dialogs), SaveResult::kSaved)
      << dialogs.LastText();
  return testdata::ReadSavedImage(out);
}

TEST(UntouchedSave, AGeneratedImageChangesOnlyWhereAPageMustChangeIt) {
  // The image as generated, never stored by the pages, in a folder with its description and
  // the files the Tuner and GPIO usage pages take.
  testdata::TempDir dir("qtk_untouched");
  const testdata::DescriptionSpec description = testdata::RealisticDescription();
  ASSERT_TRUE(description.Write(dir.File(testdata::kDefaultDescriptionName)));
  ASSERT_TRUE(description.WriteItemFiles("ExtTunerDriver", dir.path(), 2048, 50));
  ASSERT_TRUE(description.WriteItemFiles("GPIOBusType", dir.path(), 512, 60));
  const std::string image = dir.File("generated.bin");
  ASSERT_TRUE(testdata::WriteFile(
      image, testdata::BuildStandardFirmware({.bootloader_region = 0x40000}, kPassword)));
  const testdata::SavedImage loaded = testdata::ReadSavedImage(image);
  ASSERT_TRUE(loaded.parsed);
  const std::string out = dir.File("untouched.bin");
  const testdata::SavedImage saved = SaveUntouched(dir, image, out);
  ASSERT_TRUE(saved.parsed);

  std::map<size_t, std::string> expected;
  for (const UntouchedSaveChange& change : kUntouchedSaveChanges) {
    if (!change.page || IsBuilt(*change.page)) {
      const std::string who = change.page ? std::string(InfoOf(*change.page).name) : "load";
      expected[change.offset] =
          who + ": " + change.reason + " (" + std::to_string(change.value) + ")";
    }
  }
  std::map<size_t, std::string> changed;
  std::map<std::string, int> written_tables;  // changed bytes per table
  const std::vector<uint8_t> before = loaded.Record();
  const std::vector<uint8_t> after = saved.Record();
  for (size_t i = 0; i < after.size(); ++i) {
    if (before[i] == after[i])
      continue;
    if (const UntouchedSaveTable* table = TableOf(i)) {
      ++written_tables[TableLine(*table)];
      continue;
    }
    auto listed = expected.find(i);
    changed[i] =
        listed != expected.end() && listed->second.ends_with(" (" + std::to_string(after[i]) + ")")
            ? listed->second
            : "unlisted: " + std::to_string(before[i]) + " -> " + std::to_string(after[i]);
  }
  EXPECT_EQ(changed, expected);
  for (const UntouchedSaveTable& table : kUntouchedSaveTables)
    EXPECT_EQ(written_tables.contains(TableLine(table)), IsBuilt(table.page)) << table.reason;

  // The saved image loads again and gives back the record that was saved.
  LoadSession reopened_session;
  RecordingDialogs dialogs;
  std::unique_ptr<FirmwareProject> reopened = OpenFirmware(
      out, dir.File(testdata::kDefaultDescriptionName), kPassword, reopened_session, dialogs);
  ASSERT_TRUE(reopened) << dialogs.LastText();
  EXPECT_EQ(
      std::vector<uint8_t>(reopened->settings.bytes().begin(), reopened->settings.bytes().end()),
      after);

  // The other chunks go out as they came in.
  for (int i = 0; i < loaded.table.count; ++i) {
    const uint32_t id = loaded.table.entries[static_cast<size_t>(i)].id;
    bool rewritten = id == kCommonDataChunkId;
    for (const auto& [chunk, page] : kUntouchedSaveChunks)
      rewritten = rewritten || (chunk == id && IsBuilt(page));
    EXPECT_EQ(loaded.Data(id) != saved.Data(id), rewritten) << std::hex << id;
  }

  // What an untouched save wrote, an untouched save of it writes again byte for byte: every
  // page reads back what it stored.
  const std::string again = dir.File("untouched_again.bin");
  SaveUntouched(dir, out, again);
  EXPECT_TRUE(testdata::ReadFile(again) == testdata::ReadFile(out));
}

TEST(UntouchedSave, TheDemoImageIsWrittenAsAStoredFirmwareHoldsIt) {
  // The demo set stores every page once, so an unedited save gives back the demo image.
  testdata::TempDir dir("qtk_untouched_demo");
  std::string error;
  ASSERT_TRUE(demo::WriteDemoSet(dir.path(), &error)) << error;
  const std::string image = dir.File(demo::kDemoImageName);
  const std::string out = dir.File("unedited.bin");
  ASSERT_TRUE(SaveUntouched(dir, image, out).parsed);
  EXPECT_TRUE(testdata::ReadFile(out) == testdata::ReadFile(image));
  // Only the folder's own files are left: no stored copy or OTA file of the demo's making.
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "demo_k7720x.stored.bin"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "demo_k7720x.stored.bin.ota"));
}

}  // namespace
}  // namespace qtk
