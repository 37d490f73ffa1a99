// Every output call of "qtkcli channels" fails in turn: the user is told which file failed and
// how, the status is 1, and no list or temporary file is left in place of the old list.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/channels_command.h"
#include "dbbuilder/database_writer.h"
#include "dbbuilder/lzma_compressor.h"
#include "dbbuilder/program_list.h"
#include "demo/demo_set.h"
#include "firmware/image/chunk_ids.h"
#include "testdata/failing_output.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::cli {
namespace {

using Bytes = std::vector<uint8_t>;
using testdata::FailEachOutputCall;
using testdata::FailingOutputSeam;
using testdata::FolderSnapshot;
using testdata::SingleFileFailureReason;

// A firmware image whose default database chunk holds the demo channel list as dfv_k7720x
// compresses it.
Bytes ImageWithDemoChannels() {
  const std::string list = demo::DemoProgramList();
  dbbuilder::ProgramTables tables;
  std::ostringstream warnings;
  dbbuilder::ParseProgramList({reinterpret_cast<const uint8_t*>(list.data()), list.size()}, tables,
                              warnings);
  dbbuilder::UserTables user;
  const Bytes raw = dbbuilder::WriteDefaultDatabase(tables, {}, user);
  std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
  for (testdata::ChunkSpec& c : chunks) {
    if (c.id == kDefaultDatabaseChunkId)
      c.data = dbbuilder::CompressLzmaAlone(raw).value();
  }
  return testdata::BuildFirmware(chunks, "1234");
}

class ChannelsFaultInjection : public ::testing::TestWithParam<bool> {};

TEST_P(ChannelsFaultInjection, EveryFailedCallExitsOneAndLeavesTheFolderAsItWas) {
  const bool old_list = GetParam();
  testdata::TempDir dir;
  const Bytes image = ImageWithDemoChannels();
  testdata::WriteFile(dir.File("fw.bin"), image);
  const std::string list = dir.File("list.txt");
  const ChannelsOptions options{.image = dir.File("fw.bin"), .output = list};
  std::ostringstream out, err;
  auto run = [&] {
    out.str("");
    err.str("");
    return RunChannelsCommand(options, {out, err});
  };

  ASSERT_EQ(run(), 0) << err.str();
  const Bytes reference = testdata::ReadFile(list);
  const std::string written = out.str();
  auto restore_folder = [&] {
    std::filesystem::remove(dir.path() / "list.txt");
    if (old_list)
      testdata::WriteFile(list, Bytes{'o', 'l', 'd'});
  };
  restore_folder();
  const auto folder_before = FolderSnapshot(dir.path());

  const int failed_runs = FailEachOutputCall([&](const FailingOutputSeam& seam) {
    restore_folder();
    const int status = run();
    const std::string at =
        "call " + std::to_string(seam.calls().size()) + " (" +
        (seam.failed_call() ? OutputCallName(*seam.failed_call()) : std::string("none")) + ")";
    EXPECT_EQ(testdata::ReadFile(dir.File("fw.bin")), image) << at;
    if (status == 0) {
      // Only the removal of a temporary name may fail without loss.
      if (seam.failed_call()) {
        EXPECT_TRUE(seam.failed_call() == OutputCall::kClose ||
                    seam.failed_call() == OutputCall::kRemove)
            << at;
      }
      EXPECT_EQ(out.str(), written) << at;
      EXPECT_EQ(err.str(), "") << at;
      EXPECT_EQ(testdata::ReadFile(list), reference) << at;
      EXPECT_EQ(FolderSnapshot(dir.path()).size(), folder_before.size() + (old_list ? 0 : 1)) << at;
      return true;
    }
    EXPECT_EQ(status, 1) << at;
    EXPECT_EQ(out.str(), "") << at;
    EXPECT_EQ(err.str(), "Can not write the channel list file " + list + ": " +
                             SingleFileFailureReason(seam) + ".\n")
        << at;
    if (seam.failed_folder_sync()) {
      // The list is complete in its place; only the durability of its name is in doubt.
      EXPECT_EQ(testdata::ReadFile(list), reference) << at;
    } else {
      EXPECT_EQ(FolderSnapshot(dir.path()), folder_before) << at;
    }
    return false;
  });
  // Open, write, flush, sync, close, rename and the folder sync at least.
  EXPECT_GE(failed_runs, 7);
}

INSTANTIATE_TEST_SUITE_P(OldList, ChannelsFaultInjection, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& test) {
                           return test.param ? "OverAnOldList" : "NoOldList";
                         });

}  // namespace
}  // namespace qtk::cli
