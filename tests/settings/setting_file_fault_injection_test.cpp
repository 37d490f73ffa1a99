// Every output call of a setting file save fails in turn.
#include <gtest/gtest.h>

#include <numeric>

#include "common/recording_dialogs.h"
#include "settings/setting_file.h"
#include "testdata/failing_output.h"
#include "testdata/image_builder.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

using testdata::FailEachOutputCall;
using testdata::FailingOutputSeam;
using testdata::FailureReason;
using testdata::FolderSnapshot;
using testdata::ReadFile;

TEST(SettingFileFaultInjection, EveryFailedCallKeepsTheOldFileAndTheRecord) {
  testdata::TempDir dir;
  const std::string path = dir.File("a.set");
  CustomerSettings::Bytes bytes;
  std::iota(bytes.begin(), bytes.end(), uint8_t{3});
  CustomerSettings settings;
  settings.CopyRecordIn(bytes);
  RecordingDialogs dialogs;
  ASSERT_TRUE(WriteSettingFile(path, settings, false, dialogs));
  // The copy-out settles the record once; a failed write may change nothing more.
  const CustomerSettings::Bytes record_before = settings.bytes();
  const std::vector<uint8_t> reference = ReadFile(path);
  testdata::WriteFile(path, testdata::PatternBytes(700, 4));  // an older setting file
  const auto folder_before = FolderSnapshot(dir.path());

  const int failed_runs = FailEachOutputCall([&](const FailingOutputSeam& seam) {
    testdata::WriteFile(path, testdata::PatternBytes(700, 4));
    dialogs.messages.clear();
    const bool written = WriteSettingFile(path, settings, false, dialogs);
    const std::string at = seam.failed_call() ? OutputCallName(*seam.failed_call()) : "none";
    EXPECT_EQ(settings.bytes(), record_before) << at;
    if (written) {
      EXPECT_TRUE(dialogs.messages.empty()) << at;
      EXPECT_EQ(ReadFile(path), reference) << at;
      EXPECT_EQ(FolderSnapshot(dir.path()).size(), folder_before.size()) << at;
      return true;
    }
    const std::string expected =
        seam.failed_call() == OutputCall::kOpen
            ? std::string(setting_file_messages::kCannotCreate) + path
            : std::string(setting_file_messages::kCannotWrite) + path + ": " + FailureReason(seam);
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{expected}) << at;
    if (seam.failed_folder_sync())
      EXPECT_EQ(ReadFile(path), reference) << at;  // complete, only maybe not yet on the disk
    else
      EXPECT_EQ(FolderSnapshot(dir.path()), folder_before) << at;
    return false;
  });
  EXPECT_EQ(failed_runs, 7);  // open, write, flush, sync, close, rename, folder sync
}

}  // namespace
}  // namespace qtk
