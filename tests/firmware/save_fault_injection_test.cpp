// Every output call of a save fails in turn; no fault may lose or half-write a firmware.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/utf8_path.h"
#include "common/pending_file.h"
#include "firmware/firmware_saver.h"
#include "firmware/image/chunk_ids.h"
#include "firmware_env.h"
#include "testdata/failing_output.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;
using testdata::FailEachOutputCall;
using testdata::FailingOutputSeam;
using testdata::FailureReason;
using testdata::FolderSnapshot;
using testdata::PatternBytes;
using testdata::ReadFile;
using testdata::WriteFile;
using testing::FirmwareEnv;

using Bytes = std::vector<uint8_t>;

struct SaveCase {
  const char* name;
  uint32_t bootloader_region;  // 0x40000: mirror block and OTA file
  bool replace_logo;
  bool crc_rom;
  bool old_outputs;  // files of the output names exist before the save
};

class SaveFaultInjection : public ::testing::TestWithParam<SaveCase> {
 protected:
  std::string out() const { return env.dir.File("out.bin"); }
  std::string ota() const { return out() + ".ota"; }

  std::unique_ptr<FirmwareProject> Load() {
    auto project = env.Open();
    EXPECT_NE(project, nullptr);
    const SaveCase& c = GetParam();
    if (project && c.replace_logo) {
      ChunkEntry& logo = project->chunks.entries[*project->chunks.FindLoaded(kLogoChunkId)];
      logo.replace = true;
      logo.replacement_path = env.dir.File("logo.m2v");
    }
    project->settings.SetU8(record::kDefaultVolume, 17);
    env.dialogs.messages.clear();
    return project;
  }

  FirmwareEnv env;
};

TEST_P(SaveFaultInjection, EveryFailedCallLeavesTheOldFilesAndTheProjectAsTheyWere) {
  const SaveCase& c = GetParam();
  env.WriteStandardImage({.bootloader_region = c.bootloader_region});
  WriteFile(env.dir.File("logo.m2v"), PatternBytes(300, 5));
  if (c.crc_rom) {
    env.session.crc_rom_path = env.dir.File("rom.bin");
    WriteFile(env.session.crc_rom_path, PatternBytes(0x800, 9));
  }
  const Bytes firmware = ReadFile(env.image_path());

  // The save that never failed.
  auto reference_project = Load();
  ASSERT_TRUE(SaveFirmwareAndReport(*reference_project, env.session, out(), env.dialogs));
  const Bytes reference = ReadFile(out());
  const bool wants_ota = c.bootloader_region >= 0x40000;
  const Bytes reference_ota = wants_ota ? ReadFile(ota()) : Bytes{};

  auto restore_folder = [&] {
    fs::remove(PathFromUtf8(out()));
    fs::remove(PathFromUtf8(ota()));
    if (c.old_outputs) {
      WriteFile(out(), PatternBytes(4096, 1));
      WriteFile(ota(), PatternBytes(2048, 2));
    }
    env.dialogs.messages.clear();
  };
  restore_folder();
  const auto folder_before = FolderSnapshot(env.dir.path());

  const int failed_runs = FailEachOutputCall([&](const FailingOutputSeam& seam) {
    restore_folder();
    auto project = Load();
    const bool saved = SaveFirmwareAndReport(*project, env.session, out(), env.dialogs);
    const std::string at = std::string("call ") + std::to_string(seam.calls().size()) + " (" +
                           (seam.failed_call() ? OutputCallName(*seam.failed_call()) : "none") +
                           ")";
    std::string trace;
    for (OutputCall call : seam.calls())
      trace += std::string(OutputCallName(call)) + " ";
    SCOPED_TRACE(trace);
    EXPECT_EQ(ReadFile(env.image_path()), firmware) << at;
    if (saved) {
      // Only a call whose failure loses nothing may pass: the close of the empty file that
      // reserves a name, or the removal of an old file moved aside.
      if (seam.failed_call()) {
        EXPECT_TRUE(seam.failed_call() == OutputCall::kClose ||
                    seam.failed_call() == OutputCall::kRemove)
            << at;
      }
      EXPECT_EQ(FolderSnapshot(env.dir.path()).size(),
                folder_before.size() + (c.old_outputs ? 0 : 1 + wants_ota))
          << at;
      EXPECT_EQ(ReadFile(out()), reference) << at;
      if (wants_ota) {
        EXPECT_EQ(ReadFile(ota()), reference_ota) << at;
      }
      EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{save_messages::kSuccess}) << at;
      return true;
    }
    // The user sees which file failed and how, then the save's own failure.
    const std::vector<std::string> texts = env.dialogs.Texts();
    EXPECT_EQ(texts.size(), 2u) << at;
    if (texts.size() == 2) {
      EXPECT_EQ(texts[1], std::string(save_messages::kFaultToSave) + out()) << at;
      const bool open =
          seam.failed_call() == OutputCall::kOpen && texts[0].find(": ") == std::string::npos;
      const std::vector<std::string> allowed =
          open ? std::vector<std::string>{save_messages::kCannotOpenOutput + out(),
                                          save_messages::kCannotOpenOta + ota()}
               : std::vector<std::string>{
                     save_messages::kCannotWriteOutput + out() + ": " + FailureReason(seam),
                     save_messages::kCannotWriteOta + ota() + ": " + FailureReason(seam)};
      EXPECT_TRUE(texts[0] == allowed[0] || (wants_ota && texts[0] == allowed[1]))
          << at << ": " << texts[0];
    }
    if (seam.failed_folder_sync()) {
      // The new files are complete in their places; only their names may not be on the disk.
      EXPECT_EQ(ReadFile(out()), reference) << at;
    } else {
      // No output, no temporary file, old files of the output names untouched.
      EXPECT_EQ(FolderSnapshot(env.dir.path()), folder_before) << at;
    }
    // The project is as before the save: a save without the fault writes the reference.
    env.dialogs.messages.clear();
    {
      ScopedOutputSeam system(SystemOutputSeam());
      EXPECT_EQ(SaveFirmware(*project, env.session, out(), env.dialogs), SaveResult::kSaved) << at;
    }
    EXPECT_EQ(ReadFile(out()), reference) << at;
    if (wants_ota) {
      EXPECT_EQ(ReadFile(ota()), reference_ota) << at;
    }
    return false;
  });
  // open, write, flush, sync, close, rename and the folder sync at the least
  EXPECT_GE(failed_runs, 7);
}

INSTANTIATE_TEST_SUITE_P(
    OutputPaths, SaveFaultInjection,
    ::testing::Values(SaveCase{"ImageOnly", 0x1000, false, false, false},
                      SaveCase{"ImageOverOldFile", 0x1000, true, false, true},
                      SaveCase{"ImageAndOta", 0x40000, false, false, false},
                      SaveCase{"ImageAndOtaOverOldFiles", 0x40000, true, false, true},
                      SaveCase{"CrcRomStepWithOta", 0x40000, false, true, true}),
    [](const ::testing::TestParamInfo<SaveCase>& param) { return param.param.name; });

}  // namespace
}  // namespace qtk
