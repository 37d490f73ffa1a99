// Every output call of the INI writer fails in turn.
#include <gtest/gtest.h>

#include "common/utf8_path.h"
#include "config/ini/private_profile.h"
#include "testdata/failing_output.h"
#include "testdata/image_builder.h"
#include "testdata/temp_dir.h"

namespace qtk::ini {
namespace {

using testdata::FailEachOutputCall;
using testdata::FailingOutputSeam;
using testdata::FolderSnapshot;

std::vector<uint8_t> Text(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST(PrivateProfileFaultInjection, EveryFailedCallKeepsEveryKeyOfTheFile) {
  testdata::TempDir dir("qtk_ini");
  const std::string path = dir.File("dfv_k7720x.ini");
  const std::vector<uint8_t> old_text =
      Text("[File0]\r\nFile=old.txt\r\n[config]\r\nLoadDomestic=0\r\nRemoveProgram=1\r\n");
  const std::vector<uint8_t> new_text =
      Text("[File0]\r\nFile=old.txt\r\n[config]\r\nLoadDomestic=1\r\nRemoveProgram=1\r\n");
  testdata::WriteFile(path, old_text);
  const auto folder_before = FolderSnapshot(dir.path());

  const int failed_runs = FailEachOutputCall([&](const FailingOutputSeam& seam) {
    testdata::WriteFile(path, old_text);
    const bool written = WritePrivateProfileString("config", "LoadDomestic", "1", PathFromUtf8(path));
    const std::string at = seam.failed_call() ? OutputCallName(*seam.failed_call()) : "none";
    if (written) {
      EXPECT_EQ(testdata::ReadFile(path), new_text) << at;
      EXPECT_EQ(FolderSnapshot(dir.path()).size(), 1u) << at;
      return true;
    }
    if (seam.failed_folder_sync())
      EXPECT_EQ(testdata::ReadFile(path), new_text) << at;
    else
      EXPECT_EQ(FolderSnapshot(dir.path()), folder_before) << at;
    return false;
  });
  EXPECT_EQ(failed_runs, 7);
}

}  // namespace
}  // namespace qtk::ini
