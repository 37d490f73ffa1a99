// The demo image opened and saved with every page loaded and stored but none touched: the
// record changes only where a page's Load or Store must change it.
#include <gtest/gtest.h>

#include "common/recording_dialogs.h"
#include "demo/demo_set.h"
#include "firmware/firmware_loader.h"
#include "firmware/firmware_saver.h"
#include "pages/page_list.h"
#include "pages/page_set.h"
#include "testdata/saved_image.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

TEST(UntouchedSave, TheDemoRecordChangesOnlyWhereAPageMustChangeIt) {
  testdata::TempDir dir("qtk_untouched");
  std::string error;
  ASSERT_TRUE(demo::WriteDemoSet(dir.path(), &error)) << error;
  const std::string image = dir.File(demo::kDemoImageName);
  const testdata::SavedImage loaded = testdata::ReadSavedImage(image);
  ASSERT_TRUE(loaded.parsed);

  RecordingDialogs dialogs;
  LoadSession session;
  std::unique_ptr<FirmwareProject> project =
      OpenFirmware(image, dir.File("QTK_K7720X.ini"), demo::kDemoPassword, session, dialogs);
  ASSERT_TRUE(project);
  SharedPageState shared;
  PageSet pages(PageContext{project.get(), &session, &dialogs, dir.path(), nullptr, &shared},
                CreatePageModel);
  pages.LoadAll();
  ASSERT_EQ(pages.StoreAll(), nullptr) << dialogs.LastText();
  const std::string out = dir.File("untouched.bin");
  ASSERT_EQ(SaveFirmware(*project, session, out, dialogs), SaveResult::kSaved)
      << dialogs.LastText();
  const testdata::SavedImage saved = testdata::ReadSavedImage(out);
  ASSERT_TRUE(saved.parsed);

  std::vector<size_t> changed;
  const std::vector<uint8_t> before = loaded.Record();
  const std::vector<uint8_t> after = saved.Record();
  ASSERT_EQ(before.size(), after.size());
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i] != after[i])
      changed.push_back(i);
  }
  const std::vector<size_t> expected = {
      2,    3,    4,    5,    6,   7,  // clock and pad block: the load takes the boot region's copy
      28,                              // Common: [Volume] MaxValue written on load
      34,                              // Common: number of [Transparence] entries
      43,   110,                       // Tuner: zooms of 0 shown and stored as 100 %
      148,  149,  150,  151,  152,     // Tuner: the offered tuner types
      1172, 1173,                      // Tuner: the chosen type's entry takes the user crystal
      1401, 1402, 1403, 1404,          // Tuner: the entry codes follow [ExtTunerType]
      // AV set and Program set change nothing here: the record's RF channel is inside its
      // range, every output signal has a known DAC, and the program tables are in order.
  };
  EXPECT_EQ(changed, expected);
}

}  // namespace
}  // namespace qtk
