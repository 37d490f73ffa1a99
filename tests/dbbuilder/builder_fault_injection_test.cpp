// Every output call of a builder run fails in turn: the four files of the build step and
// OUT.bin of the update step.
#include <gtest/gtest.h>

#include <sstream>

#include "common/pending_file.h"
#include "dbbuilder/builder.h"
#include "firmware/image/chunk_ids.h"
#include "test_support.h"
#include "testdata/failing_output.h"
#include "testdata/image_builder.h"

namespace qtk::dbbuilder {
namespace {

namespace fs = std::filesystem;
using testdata::FailEachOutputCall;
using testdata::FailingOutputSeam;
using testdata::FailureReason;
using testdata::FolderSnapshot;
using Snapshot = std::map<std::string, std::vector<uint8_t>>;

const std::string kList = "*Sat\r\nProg\t\t100\t101\t\t\t102\t11000\t27500\tV\t2\t\t1\tL\r\n";
constexpr const char* kUpdateStart = "Start of update binary code...\n";

std::vector<uint8_t> ImageWithDatabaseRoom() {
  std::vector<testdata::ChunkSpec> chunks(3);
  chunks[0].id = kBootloaderChunkId;
  chunks[0].region_size = 256;
  chunks[1].id = kDefaultDatabaseChunkId;
  chunks[1].region_size = 128 + 8192;
  chunks[2].id = kUserDatabaseChunkId;
  return testdata::BuildImage(chunks);
}

// The files of earlier runs, which a failed run must leave as they are.
void OldOutputs(const test::TempDir& builder, const test::TempDir& current) {
  for (const char* name : {kDefaultDatabaseName, kUnzippedDefaultDatabaseName, kUserDatabaseName})
    testdata::WriteFile((builder / name).string(), testdata::PatternBytes(100, 7));
  for (const char* name : {"chout.txt", kUpdatedImageName})
    testdata::WriteFile((current / name).string(), testdata::PatternBytes(50, 8));
}

// A failed open of a single file is that of its temporary file (a group of files also opens
// the names that keep old files aside, which FailureReason gives).
std::string Reason(const FailingOutputSeam& seam) {
  if (seam.failed_call() == OutputCall::kOpen)
    return OutputFailureText(OutputFailure::kCreate);
  return FailureReason(seam);
}

TEST(BuilderFaultInjection, EveryFailedCallIsNamedAndLeavesEarlierFilesAsTheyWere) {
  test::TempDir builder;
  test::TempDir current;
  test::WriteText(builder / "dfv_k7720x.ini",
                  "[File0]\r\nFile=list.txt\r\n[File1]\r\nFile=fw.bin\r\n");
  test::WriteText(builder / "list.txt", kList);
  testdata::WriteFile((builder / "fw.bin").string(), ImageWithDatabaseRoom());

  std::ostringstream reference_out;
  RunBuilder(builder.path(), current.path(), reference_out);
  ASSERT_TRUE(reference_out.str().ends_with("Finished!\n"));
  const Snapshot reference_builder = FolderSnapshot(builder.path());
  const Snapshot reference_current = FolderSnapshot(current.path());
  OldOutputs(builder, current);
  const Snapshot old_builder = FolderSnapshot(builder.path());
  const Snapshot old_current = FolderSnapshot(current.path());

  bool update_step_failed = false;
  const int failed_runs = FailEachOutputCall([&](const FailingOutputSeam& seam) {
    OldOutputs(builder, current);
    std::ostringstream out;
    RunBuilder(builder.path(), current.path(), out);
    const std::string text = out.str();
    const std::string at = seam.failed_call() ? OutputCallName(*seam.failed_call()) : "none";
    if (text == reference_out.str()) {
      EXPECT_EQ(FolderSnapshot(builder.path()), reference_builder) << at;
      EXPECT_EQ(FolderSnapshot(current.path()), reference_current) << at;
      return true;
    }
    const size_t update = text.find(kUpdateStart);
    if (update != std::string::npos) {
      // The databases are complete; only OUT.bin failed and keeps its old bytes.
      update_step_failed = true;
      EXPECT_EQ(text.substr(update), std::string(kUpdateStart) + "Can't write OUT.bin: " +
                                         Reason(seam) + "\nUpdate binary code failed!\n")
          << at;
      EXPECT_EQ(FolderSnapshot(builder.path()), reference_builder) << at;
      Snapshot current_files = FolderSnapshot(current.path());
      if (!seam.failed_folder_sync()) {
        EXPECT_EQ(current_files[kUpdatedImageName], old_current.at(kUpdatedImageName)) << at;
        EXPECT_EQ(current_files.size(), old_current.size()) << at;
      }
      return false;
    }
    // The build step: the message names the file and the failure; no output is left.
    const bool named = text.find("Can't create ") != std::string::npos ||
                       text.find("open user database file fail\n") != std::string::npos ||
                       text.ends_with(": " + Reason(seam) + "\n") ||
                       text.ends_with(": " + FailureReason(seam) + "\n");
    EXPECT_TRUE(named) << at << ": " << text;
    if (!seam.failed_folder_sync()) {
      EXPECT_EQ(FolderSnapshot(builder.path()), old_builder) << at;
      EXPECT_EQ(FolderSnapshot(current.path()), old_current) << at;
    }
    return false;
  });
  EXPECT_TRUE(update_step_failed);
  EXPECT_GE(failed_runs, 14);
}

}  // namespace
}  // namespace qtk::dbbuilder
