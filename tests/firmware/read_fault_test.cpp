// Input files that shrink, vanish or turn into something unreadable between the check (the
// load, the General page's choice) and the use (the save): a clear message and nothing written.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "common/utf8_path.h"
#include "firmware/firmware_saver.h"
#include "firmware/image/chunk_ids.h"
#include "firmware_env.h"
#include "settings/setting_file.h"
#include "testdata/failing_output.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;
using testdata::FolderSnapshot;
using testdata::PatternBytes;
using testdata::ReadFile;
using testdata::WriteFile;
using testing::FirmwareEnv;

struct ReadFault {
  const char* what;
  // Changes the folder after the load and the marking; returns the message the save shows.
  std::function<std::string(FirmwareEnv&, const std::vector<uint8_t>& firmware)> fault;
};

TEST(ReadFaults, AnInputChangedAfterItsCheckStopsTheSaveWithNothingWritten) {
  const std::vector<ReadFault> faults = {
      {"firmware file cut short",
       [](FirmwareEnv& env, const std::vector<uint8_t>& firmware) {
         WriteFile(env.image_path(), std::vector<uint8_t>(firmware.begin(), firmware.end() - 1));
         return std::string(save_messages::kCopyFailed);
       }},
      {"firmware file replaced by a folder",
       [](FirmwareEnv& env, const std::vector<uint8_t>&) {
         fs::remove(PathFromUtf8(env.image_path()));
         fs::create_directory(PathFromUtf8(env.image_path()));
         return std::string(save_messages::kCopyFailed);
       }},
      {"replacement file vanished",
       [](FirmwareEnv& env, const std::vector<uint8_t>&) {
         fs::remove(env.dir.path() / "logo.m2v");
         return "Can not open chunk file " + env.dir.File("logo.m2v") + "!";
       }},
      {"replacement file grown past its chunk",
       [](FirmwareEnv& env, const std::vector<uint8_t>&) {
         WriteFile(env.dir.File("logo.m2v"), PatternBytes(1 << 20));
         return "the chunk file size of " + env.dir.File("logo.m2v") + " is too big!";
       }},
      {"CRC ROM file vanished",
       [](FirmwareEnv& env, const std::vector<uint8_t>&) {
         env.session.crc_rom_path = env.dir.File("rom.bin");
         return std::string(save_messages::kCannotOpenCrcRom) + env.dir.File("rom.bin");
       }},
  };
  for (const ReadFault& f : faults) {
    FirmwareEnv env;
    env.WriteStandardImage();
    WriteFile(env.dir.File("logo.m2v"), PatternBytes(300));
    auto p = env.Open();
    ASSERT_NE(p, nullptr);
    ChunkEntry& logo = p->chunks.entries[*p->chunks.FindLoaded(kLogoChunkId)];
    logo.replace = true;
    logo.replacement_path = env.dir.File("logo.m2v");
    const std::vector<uint8_t> firmware = ReadFile(env.image_path());
    const std::string message = f.fault(env, firmware);
    const auto folder = FolderSnapshot(env.dir.path());
    env.dialogs.messages.clear();
    EXPECT_FALSE(SaveFirmwareAndReport(*p, env.session, env.dir.File("out.bin"), env.dialogs))
        << f.what;
    ASSERT_FALSE(env.dialogs.messages.empty()) << f.what;
    EXPECT_EQ(env.dialogs.messages.front().text, message) << f.what;
    EXPECT_EQ(FolderSnapshot(env.dir.path()), folder) << f.what;
  }
}

TEST(ReadFaults, ASettingFileThatVanishedOrIsNoFileIsNotRead) {
  testdata::TempDir dir;
  ChunkTable chunks;
  CustomerSettings current;
  RecordingDialogs dialogs;
  const std::string path = dir.File("gone.set");
  EXPECT_FALSE(ReadSettingFile(path, chunks, current, dialogs));
  fs::create_directory(PathFromUtf8(path));
  EXPECT_FALSE(ReadSettingFile(path, chunks, current, dialogs));
  EXPECT_EQ(dialogs.Texts(),
            std::vector<std::string>(2, "Can not open setting file " + path + "!"));
}

}  // namespace
}  // namespace qtk
