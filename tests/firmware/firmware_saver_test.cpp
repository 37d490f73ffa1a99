#include "firmware/firmware_saver.h"
#include "common/utf8_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/crc32.h"
#include "firmware/image/image_parser.h"
#include "firmware/password_words.h"
#include "firmware/settings_import.h"
#include "firmware_env.h"
#include "testdata/special_files.h"

namespace qtk {
namespace {

using testdata::BuildFirmware;
using testdata::PatternBytes;
using testdata::ReadFile;
using testdata::StandardChunks;
using testdata::StandardImageOptions;
using testdata::WriteFile;
using testing::FirmwareEnv;
using testing::kPassword;

// Independent reference for what a rewritten CRC-guarded chunk looks like: the old header
// with new length and CRC, the data, then the filler up to the region.
void ExpectSealedChunk(const std::vector<uint8_t>& out, const std::vector<uint8_t>& original,
                       const ChunkEntry& e, const std::vector<uint8_t>& data, uint8_t filler,
                       uint32_t length) {
  const size_t o = e.file_offset;
  std::vector<uint8_t> expected(original.begin() + o, original.begin() + o + e.region_size);
  std::fill(expected.begin() + 128, expected.end(), filler);
  std::copy(data.begin(), data.end(), expected.begin() + 128);
  PutU32BigEndian(&expected[4], length);
  PutU32BigEndian(&expected[12], Crc32(kCrcInitial, &expected[16], length));
  std::vector<uint8_t> actual(out.begin() + o, out.begin() + o + e.region_size);
  EXPECT_EQ(actual, expected) << "chunk at " << o;
}

class SaveTest : public ::testing::Test {
 protected:
  std::unique_ptr<FirmwareProject> LoadStandard(const StandardImageOptions& options = {}) {
    env.WriteStandardImage(options);
    original = ReadFile(env.image_path());
    auto project = env.Open();
    EXPECT_NE(project, nullptr);
    env.dialogs.messages.clear();
    return project;
  }
  int Index(const FirmwareProject& p, uint32_t id) { return *p.chunks.FindLoaded(id); }
  // Opens the saved output with the password in force, as the next run of the program would.
  std::unique_ptr<FirmwareProject> Reload(const FirmwareProject& saved,
                                          const std::string& path = "") {
    reload_dialogs.messages.clear();
    auto project = OpenFirmware(path.empty() ? out_path() : path, env.config_path(),
                                env.session.current_password, reload_session, reload_dialogs);
    if (project) {
      EXPECT_EQ(project->settings.bytes(), saved.settings.bytes());
    }
    return project;
  }
  void Mark(FirmwareProject& p, uint32_t id, const std::vector<uint8_t>& data,
            const std::string& name) {
    const std::string path = env.dir.File(name);
    WriteFile(path, data);
    ChunkEntry& e = p.chunks.entries[Index(p, id)];
    e.replace = true;
    e.replacement_path = path;
  }
  // Every path names the loaded file: the save is refused with its message, and the file
  // keeps its bytes.
  void ExpectSaveRefused(FirmwareProject& p, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
      env.dialogs.messages.clear();
      EXPECT_EQ(SaveFirmware(p, env.session, path, env.dialogs), SaveResult::kFailed) << path;
      EXPECT_EQ(env.dialogs.Texts(),
                std::vector<std::string>{
                    "the save file name can not be same with the original firmware file name!"});
    }
    EXPECT_EQ(ReadFile(env.image_path()), original);
  }
  SaveResult Save(FirmwareProject& p) {
    return SaveFirmware(p, env.session, out_path(), env.dialogs);
  }
  std::string out_path() const { return env.dir.File("out.bin"); }
  bool OutputExists() const { return std::filesystem::exists(PathFromUtf8(out_path())); }
  // Every name in the test folder: no temporary file may stay behind.
  std::set<std::string> FolderNames() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(env.dir.path()))
      names.insert(entry.path().filename().string());
    return names;
  }

  FirmwareEnv env;
  std::vector<uint8_t> original;
  LoadSession reload_session;
  RecordingDialogs reload_dialogs;
};

TEST_F(SaveTest, UnchangedProjectRewritesOnlyTheCommonChunkAndTheMirroredBytes) {
  auto p = LoadStandard();
  p->settings.SetU8(record::kDefaultVolume, 31);
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  auto out = ReadFile(out_path());
  ASSERT_EQ(out.size(), original.size());

  const ChunkEntry& common = p->chunks.entries[Index(*p, kCommonDataChunkId)];
  auto record = testdata::MakeRecord(2);
  testdata::PutPasswordWords(record, kPassword, PasswordKey(p->chunks));
  record[29] = 31;
  // The loaded clock and pad bytes came from image offset 258.
  std::copy(original.begin() + 258, original.begin() + 264, record.begin() + 2);
  ExpectSealedChunk(out, original, common, record, 0x00, common.region_size - 16);

  std::vector<uint8_t> expected = original;
  std::copy(out.begin() + common.file_offset, out.end(), expected.begin() + common.file_offset);
  EXPECT_EQ(out, expected);                         // nothing else changed
  EXPECT_EQ(ReadFile(env.image_path()), original);  // the loaded file is only read
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(out_path() + ".ota")));
}

TEST_F(SaveTest, ReplacedChunksGetNewLengthCrcAndFiller) {
  auto p = LoadStandard();
  auto logo = PatternBytes(0x300, 40);
  auto userdb = PatternBytes(0x50, 41);
  Mark(*p, kLogoChunkId, logo, "logo.m2v");
  Mark(*p, kUserDatabaseChunkId, userdb, "user.bin");
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  auto out = ReadFile(out_path());
  const ChunkEntry& l = p->chunks.entries[Index(*p, kLogoChunkId)];
  const ChunkEntry& u = p->chunks.entries[Index(*p, kUserDatabaseChunkId)];
  ExpectSealedChunk(out, original, l, logo, 0x00, 0x300 + 112);
  ExpectSealedChunk(out, original, u, userdb, 0xFF, 0x50 + 112);
  EXPECT_EQ(l.crc, ReadU32BigEndian(out, l.file_offset + 12));
  ChunkTable reparsed;
  EXPECT_EQ(ParseImage(out, reparsed), p->chunks.count);
}

TEST_F(SaveTest, NcrcChunksKeepTheirHeader) {
  auto chunks = StandardChunks({.common_no_crc = true});
  chunks[2].no_crc = true;  // logo
  env.WriteImage(BuildFirmware(chunks, kPassword));
  original = ReadFile(env.image_path());
  auto p = env.Open();
  ASSERT_NE(p, nullptr);
  auto logo = PatternBytes(0x80, 9);
  Mark(*p, kLogoChunkId, logo, "logo.m2v");
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  auto out = ReadFile(out_path());
  const ChunkEntry& l = p->chunks.entries[Index(*p, kLogoChunkId)];
  std::vector<uint8_t> expected(original.begin() + l.file_offset,
                                original.begin() + l.file_offset + l.region_size);
  std::fill(expected.begin() + 128, expected.end(), 0);
  std::copy(logo.begin(), logo.end(), expected.begin() + 128);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin() + l.file_offset));

  const ChunkEntry& c = p->chunks.entries[Index(*p, kCommonDataChunkId)];
  EXPECT_TRUE(std::equal(original.begin() + c.file_offset, original.begin() + c.file_offset + 128,
                         out.begin() + c.file_offset));
  EXPECT_EQ(out[c.file_offset + 128], 0x5A);
  EXPECT_EQ(out[c.file_offset + 128 + 1452], 0x00);  // zeros behind the record
  EXPECT_EQ(out.back(), 0x00);
}

TEST_F(SaveTest, BootloaderReplacementWritesOnlyTheFileDataBehindItsOwnHeader) {
  auto p = LoadStandard();
  auto boot = PatternBytes(0x200, 77);
  Mark(*p, kBootloaderChunkId, boot, "boot.bin");
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  auto out = ReadFile(out_path());
  auto expected = original;
  std::copy(boot.begin() + 128, boot.end(), expected.begin() + 128);
  // Bytes 258-263 always carry the record's clock and pad block.
  std::copy(p->settings.bytes().begin() + 2, p->settings.bytes().begin() + 8,
            expected.begin() + 258);
  EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 0x1000, out.begin()));
}

TEST_F(SaveTest, BootloaderFileShorterThanItsHeaderIsRefused) {
  auto p = LoadStandard();
  Mark(*p, kBootloaderChunkId, PatternBytes(127), "boot.bin");
  EXPECT_FALSE(ChunkFileFits(*p, env.dir.File("boot.bin"), 0, env.dialogs));
  EXPECT_EQ(Save(*p), SaveResult::kFailed);
  EXPECT_EQ(env.dialogs.LastText(), "The boot loader file " + env.dir.File("boot.bin") +
                                        " is shorter than its 128-byte header!");
  EXPECT_FALSE(OutputExists());
}

TEST_F(SaveTest, AGuardedBootloaderTakesAFileOfAnySizeAsItsData) {
  // Only a boot loader without CRC skips a header of the file; a guarded one keeps it all.
  auto chunks = StandardChunks({});
  chunks[0].no_crc = false;
  env.WriteImage(BuildFirmware(chunks, kPassword));
  original = ReadFile(env.image_path());
  auto p = env.Open();
  ASSERT_NE(p, nullptr);
  for (size_t size : {0u, 1u, 127u}) {
    env.dialogs.messages.clear();
    const auto boot = PatternBytes(size, 21);
    Mark(*p, kBootloaderChunkId, boot, "boot.bin");
    EXPECT_TRUE(ChunkFileFits(*p, env.dir.File("boot.bin"), 0, env.dialogs)) << size;
    ASSERT_EQ(Save(*p), SaveResult::kSaved) << size;
    EXPECT_TRUE(env.dialogs.messages.empty());
    auto out = ReadFile(out_path());
    EXPECT_EQ(ReadU32BigEndian(out, 4), size + 112);
    EXPECT_TRUE(std::equal(boot.begin(), boot.end(), out.begin() + 128));
    EXPECT_NE(Reload(*p), nullptr) << size;
  }
}

TEST_F(SaveTest, MirrorBlockAndOtaFileForA256KiBBootRegion) {
  auto p = LoadStandard({.bootloader_region = 0x40000});
  p->settings.SetU8(record::kOtaEnable, 1);
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  auto out = ReadFile(out_path());
  const ChunkEntry& tuner = p->chunks.entries[Index(*p, kTunerDriverChunkId)];
  const ChunkEntry& common = p->chunks.entries[Index(*p, kCommonDataChunkId)];
  std::vector<uint8_t> mirror(4096, 0);
  std::copy_n(out.begin() + tuner.file_offset, 0x800, mirror.begin());
  std::copy_n(out.begin() + common.file_offset, 0x800, mirror.begin() + 0x800);
  EXPECT_TRUE(std::equal(mirror.begin(), mirror.end(), out.begin() + 0x2F000));
  EXPECT_TRUE(std::equal(p->settings.bytes().begin() + 1416, p->settings.bytes().end(),
                         out.begin() + 0x30000));
  EXPECT_EQ(out[0x30000 + 28], 1);  // OTA enable

  auto ota = ReadFile(out_path() + ".ota");
  std::vector<uint8_t> tail(out.begin() + 0x40000, out.end());
  EXPECT_EQ(ota, tail);
}

TEST_F(SaveTest, LargerBootRegionGivesOtaWithoutMirrorSmallerGivesNeither) {
  auto p = LoadStandard({.bootloader_region = 0x41000});
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  auto out = ReadFile(out_path());
  EXPECT_TRUE(
      std::equal(original.begin() + 0x2F000, original.begin() + 0x31000, out.begin() + 0x2F000));
  EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(out_path() + ".ota")));

  auto small = LoadStandard({.bootloader_region = 0x3F000});
  std::filesystem::remove(PathFromUtf8(out_path() + ".ota"));
  ASSERT_EQ(Save(*small), SaveResult::kSaved);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(out_path() + ".ota")));
}

TEST_F(SaveTest, OtaFileStopsAtOneMebibyte) {
  auto chunks = StandardChunks({.bootloader_region = 0x40000});
  chunks[1].region_size = 0x120000;
  env.WriteImage(BuildFirmware(chunks, kPassword));
  auto p = env.Open();
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  auto out = ReadFile(out_path());
  auto ota = ReadFile(out_path() + ".ota");
  ASSERT_EQ(ota.size(), 0x100000u);
  EXPECT_TRUE(std::equal(ota.begin(), ota.end(), out.begin() + 0x40000));
}

TEST_F(SaveTest, GuardedFirstChunkPassesItsOwnLoadAfterTheMirroredBytes) {
  auto chunks = StandardChunks({});
  chunks[0].no_crc = false;
  chunks[0].id = 0x7F800000u;  // any id may stand first
  env.WriteImage(BuildFirmware(chunks, kPassword));
  auto p = env.Open();
  ASSERT_NE(p, nullptr);
  p->settings.SetU8(record::kCpuClock, 0xEE);
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  auto out = ReadFile(out_path());
  EXPECT_EQ(out[258], 0xEE);
  ChunkTable table;
  EXPECT_GT(ParseImage(out, table), 0);
  EXPECT_EQ(table.entries[0].crc, p->chunks.entries[0].crc);
}

TEST_F(SaveTest, MainCodeReplacementReKeysThePasswordWordsWhereverItStands) {
  for (bool common_ncrc : {false, true}) {
    auto chunks = StandardChunks({.common_no_crc = common_ncrc});
    // Main code behind the common data chunk: the words must still use its new CRC.
    std::rotate(chunks.begin() + 1, chunks.begin() + 2, chunks.end());
    env.WriteImage(BuildFirmware(chunks, kPassword));
    auto p = env.Open();
    ASSERT_NE(p, nullptr);
    Mark(*p, kMainCodeChunkId, PatternBytes(0x2000, 99), "main.bin");
    ASSERT_EQ(Save(*p), SaveResult::kSaved);
    EXPECT_TRUE(p->password_refresh);
    testing::FirmwareEnv reload;
    testdata::WriteFile(reload.image_path(), ReadFile(out_path()));
    EXPECT_NE(reload.Open(), nullptr) << "common NCRC " << common_ncrc;
  }
}

TEST_F(SaveTest, SecondSaveKeysWithTheCrcTheFirstSaveWrote) {
  auto p = LoadStandard();
  Mark(*p, kMainCodeChunkId, PatternBytes(0x1000, 5), "main.bin");
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  FirmwareEnv reload;
  testdata::WriteFile(reload.image_path(), ReadFile(out_path()));
  EXPECT_NE(reload.Open(), nullptr);
}

TEST_F(SaveTest, SameFileIsRefusedHoweverItIsWritten) {
  auto p = LoadStandard();
  std::string upper = env.image_path();
  upper.replace(upper.size() - 3, 3, "BIN");
  const std::string dotted = (env.dir.path() / "." / "firmware.bin").string();
  ExpectSaveRefused(*p, {env.image_path(), upper, dotted});
}

TEST_F(SaveTest, SameFileIsRefusedThroughASymbolicLink) {
  if (const char* why = testdata::NoSymbolicLinks())
    GTEST_SKIP() << why;
  auto p = LoadStandard();
  const std::string link = env.dir.File("link.bin");
  std::filesystem::create_symlink(env.image_path(), link);
  ExpectSaveRefused(*p, {link});
}

TEST_F(SaveTest, MissingFirmwareFileIsACopyFailure) {
  auto p = LoadStandard();
  std::filesystem::remove(PathFromUtf8(env.image_path()));
  EXPECT_FALSE(SaveFirmwareAndReport(*p, env.session, out_path(), env.dialogs));
  EXPECT_EQ(env.dialogs.Texts(),
            (std::vector<std::string>{"Copy original firmware file fail!",
                                      "Fault to save the file: \r\n" + out_path()}));
}

TEST_F(SaveTest, AFirmwareFileChangedSinceTheLoadIsNotSavedFrom) {
  // A byte in a chunk the save does not rewrite would leave that chunk's CRC wrong; a moved
  // header would put every rewrite in the wrong place.
  auto p = LoadStandard();
  const ChunkEntry& logo = p->chunks.entries[Index(*p, kLogoChunkId)];
  for (size_t offset : {size_t{logo.file_offset} + 200, size_t{logo.file_offset} + 1}) {
    auto changed = original;
    changed[offset] ^= 0x01;
    WriteFile(env.image_path(), changed);
    env.dialogs.messages.clear();
    EXPECT_FALSE(SaveFirmwareAndReport(*p, env.session, out_path(), env.dialogs));
    EXPECT_EQ(env.dialogs.Texts(),
              (std::vector<std::string>{"Copy original firmware file fail!",
                                        "Fault to save the file: \r\n" + out_path()}));
    EXPECT_FALSE(OutputExists());
  }
}

TEST_F(SaveTest, UnwritableOutputIsReported) {
  auto p = LoadStandard();
  const std::string path = env.dir.File("no/such/dir/out.bin");
  EXPECT_EQ(SaveFirmware(*p, env.session, path, env.dialogs), SaveResult::kFailed);
  EXPECT_EQ(env.dialogs.LastText(), "Can not open output firmware file " + path);
}

TEST_F(SaveTest, OtaFailureLeavesNoOutputAtAll) {
  auto p = LoadStandard({.bootloader_region = 0x40000});
  std::filesystem::create_directory(
      PathFromUtf8(out_path() + ".ota"));  // the OTA file cannot take its name
  EXPECT_EQ(Save(*p), SaveResult::kFailed);
  EXPECT_EQ(env.dialogs.LastText(), "Can not write output ota file " + out_path() +
                                        ".ota: it can not replace the old file");
  EXPECT_FALSE(OutputExists());
  EXPECT_EQ(FolderNames(),
            (std::set<std::string>{"QTK_K7720X.ini", "firmware.bin", "out.bin.ota"}));
}

TEST_F(SaveTest, CommonChunkTooSmallForTheRecord) {
  auto chunks = StandardChunks({});
  std::swap(chunks[chunks.size() - 1], chunks[chunks.size() - 2]);
  chunks[chunks.size() - 2].region_size = 1024;
  chunks[chunks.size() - 2].data.resize(896);
  chunks.back().data.resize(2000);
  env.WriteImage(BuildFirmware(chunks, kPassword));
  auto p = env.Open();
  ASSERT_NE(p, nullptr);
  const uint8_t before_volume = p->settings.U8(29);
  EXPECT_FALSE(SaveFirmwareAndReport(*p, env.session, out_path(), env.dialogs));
  EXPECT_EQ(env.dialogs.Texts(),
            (std::vector<std::string>{"the size of Common data is too big, can not insert to FW!\n",
                                      "Fault to save the file: \r\n" + out_path()}));
  EXPECT_FALSE(OutputExists());
  EXPECT_EQ(p->settings.U8(29), before_volume);
}

TEST_F(SaveTest, FailedSaveKeepsTheProjectAsItWas) {
  auto p = LoadStandard();
  Mark(*p, kMainCodeChunkId, PatternBytes(0x1000, 5), "main.bin");
  Mark(*p, kLogoChunkId, PatternBytes(0x2000), "logo.m2v");  // too big: fails after main code
  const ChunkTable before = p->chunks;
  EXPECT_EQ(Save(*p), SaveResult::kFailed);
  EXPECT_EQ(p->chunks.entries[Index(*p, kMainCodeChunkId)].crc,
            before.entries[Index(*p, kMainCodeChunkId)].crc);
  EXPECT_FALSE(p->password_refresh);
  EXPECT_TRUE(VerifyPassword(*p, kPassword));
}

// An image whose first chunk is not the boot loader: the clock and pad bytes at offset 258 and
// the first chunk's own CRC, which may key the password, must agree after every save.
class FirstChunkSaveTest : public SaveTest {
 protected:
  // The standard chunks with the boot loader removed, so that `first` stands first.
  std::unique_ptr<FirmwareProject> LoadWithFirst(uint32_t first, bool no_crc = false) {
    auto chunks = StandardChunks({});
    chunks.erase(chunks.begin());
    auto it = std::find_if(chunks.begin(), chunks.end(),
                           [&](const testdata::ChunkSpec& c) { return c.id == first; });
    std::rotate(chunks.begin(), it, it + 1);
    chunks[0].no_crc = no_crc;
    env.WriteImage(BuildFirmware(chunks, kPassword));
    original = ReadFile(env.image_path());
    auto p = env.Open();
    EXPECT_NE(p, nullptr) << ::testing::PrintToString(env.dialogs.Texts());
    env.dialogs.messages.clear();
    return p;
  }
};

TEST_F(FirstChunkSaveTest, CommonDataChunkFirstSavesAndLoadsAgain) {
  for (bool no_crc : {false, true}) {
    auto p = LoadWithFirst(kCommonDataChunkId, no_crc);
    ASSERT_NE(p, nullptr);
    // Its record covers offset 258 itself (bytes 130-135): both blocks keep their values.
    for (int i = 0; i < 6; ++i) {
      p->settings.SetU8(2 + i, static_cast<uint8_t>(0xC0 + i));
      p->settings.SetU8(130 + i, static_cast<uint8_t>(0xD0 + i));
    }
    ASSERT_EQ(Save(*p), SaveResult::kSaved) << no_crc;
    auto reloaded = Reload(*p);
    ASSERT_NE(reloaded, nullptr) << ::testing::PrintToString(reload_dialogs.Texts());
    EXPECT_EQ(reloaded->settings.U8(130), 0xD0);
    EXPECT_EQ(reloaded->settings.U8(2), 0xC0);
  }
}

TEST_F(FirstChunkSaveTest, MainCodeFirstReplacedByAnotherSizeLoadsAgain) {
  auto p = LoadWithFirst(kMainCodeChunkId);
  ASSERT_NE(p, nullptr);
  Mark(*p, kMainCodeChunkId, PatternBytes(1000, 61), "main.bin");
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  auto out = ReadFile(out_path());
  EXPECT_EQ(ReadU32BigEndian(out, 4), 1000u + 112u);
  auto reloaded = Reload(*p);
  ASSERT_NE(reloaded, nullptr) << ::testing::PrintToString(reload_dialogs.Texts());
  EXPECT_EQ(reloaded->chunks.entries[0].crc, p->chunks.entries[0].crc);
  EXPECT_EQ(out[258], p->settings.U8(2));
}

TEST_F(FirstChunkSaveTest, MainCodeFirstKeepsThePasswordWhenOnlyTheMirroredBytesChange) {
  // A same-size replacement, a whole setting file and a plain edit of bytes 2-7 all change
  // the main code CRC through offset 258; the words must follow it.
  {
    auto p = LoadWithFirst(kMainCodeChunkId);
    ASSERT_NE(p, nullptr);
    Mark(*p, kMainCodeChunkId, PatternBytes(p->chunks.entries[0].length - 112, 62), "main.bin");
    ASSERT_EQ(Save(*p), SaveResult::kSaved);
    EXPECT_NE(Reload(*p), nullptr) << ::testing::PrintToString(reload_dialogs.Texts());
  }
  {
    auto p = LoadWithFirst(kMainCodeChunkId);
    ASSERT_NE(p, nullptr);
    auto file = p->settings.bytes();
    file[3] ^= 0x5A;
    ImportWholeSettings(*p, file, env.session.current_password);
    ASSERT_EQ(Save(*p), SaveResult::kSaved);
    EXPECT_NE(Reload(*p), nullptr) << ::testing::PrintToString(reload_dialogs.Texts());
  }
  {
    auto p = LoadWithFirst(kMainCodeChunkId);
    ASSERT_NE(p, nullptr);
    p->settings.SetU8(record::kCpuClock, static_cast<uint8_t>(p->settings.U8(2) + 1));
    ASSERT_EQ(Save(*p), SaveResult::kSaved);
    EXPECT_FALSE(p->password_refresh);  // the words moved to the new key without a refresh
    EXPECT_TRUE(VerifyPassword(*p, kPassword));
    EXPECT_NE(Reload(*p), nullptr) << ::testing::PrintToString(reload_dialogs.Texts());
  }
}

TEST_F(FirstChunkSaveTest, AFirstChunkWhoseCrcWouldCoverItsOwnMirrorIsRefused) {
  for (uint32_t first : {kMainCodeChunkId, kTunerDriverChunkId}) {
    auto chunks = StandardChunks({});
    chunks.erase(chunks.begin());
    auto it = std::find_if(chunks.begin(), chunks.end(),
                           [&](const testdata::ChunkSpec& c) { return c.id == first; });
    std::rotate(chunks.begin(), it, it + 1);
    chunks[0].region_size = 0x40000;
    chunks[0].data = PatternBytes(0x30000, 3);  // the CRC covers the mirror block
    env.WriteImage(BuildFirmware(chunks, kPassword));
    auto p = env.Open();
    ASSERT_NE(p, nullptr);
    env.dialogs.messages.clear();
    EXPECT_EQ(Save(*p), SaveResult::kFailed);
    EXPECT_EQ(env.dialogs.Texts(),
              std::vector<std::string>{"The first chunk's CRC would cover the mirror block that "
                                       "depends on it, can not save this firmware!"});
    EXPECT_FALSE(OutputExists());

    // A shorter CRC range leaves the block outside: the same layout saves.
    Mark(*p, first, PatternBytes(0x1000, 4), "first.bin");
    EXPECT_EQ(Save(*p), SaveResult::kSaved);
    EXPECT_NE(Reload(*p), nullptr);
    std::filesystem::remove(PathFromUtf8(out_path()));
    std::filesystem::remove(PathFromUtf8(out_path() + ".ota"));
  }
}

TEST_F(SaveTest, ALastChunkShorterThanItsHeaderSavesUnchanged) {
  auto chunks = StandardChunks({});
  std::swap(chunks[3], chunks.back());  // the dynamic panel chunk last
  chunks.back().length_field = 50;      // its CRC covers 50 header bytes only
  env.WriteImage(BuildFirmware(chunks, kPassword));
  original = ReadFile(env.image_path());
  auto p = env.Open();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->chunks.entries[p->chunks.count - 1].region_size, 66u);
  ASSERT_EQ(Save(*p), SaveResult::kSaved) << ::testing::PrintToString(env.dialogs.Texts());
  auto out = ReadFile(out_path());
  ASSERT_EQ(out.size(), original.size());
  const ChunkEntry& last = p->chunks.entries[p->chunks.count - 1];
  EXPECT_TRUE(std::equal(original.begin() + last.file_offset, original.end(),
                         out.begin() + last.file_offset));
  EXPECT_NE(Reload(*p), nullptr);

  // Such a chunk has no room for a replacement.
  Mark(*p, kDynamicPanelChunkId, {}, "panel.bin");
  EXPECT_EQ(Save(*p), SaveResult::kFailed);
  EXPECT_EQ(env.dialogs.LastText(),
            "the chunk file size of " + env.dir.File("panel.bin") + " is too big!");
}

TEST_F(SaveTest, NoOutputIsTheSameFileAsAnInput) {
  auto p = LoadStandard({.bootloader_region = 0x40000});
  Mark(*p, kLogoChunkId, PatternBytes(100), "logo.m2v");
  env.session.crc_rom_path = env.dir.File("rom.bin");
  WriteFile(env.session.crc_rom_path, PatternBytes(64));
  env.session.command_inputs = {env.dir.File("whole.set")};
  WriteFile(env.dir.File("whole.set"), PatternBytes(1452));
  const std::string hard_link = env.dir.File("hard.ini");
  std::filesystem::create_hard_link(PathFromUtf8(env.config_path()), PathFromUtf8(hard_link));
  const struct {
    std::string output;
    std::string clash;  // the output file that would replace an input
    std::string input;
  } cases[] = {
      {env.config_path(), env.config_path(), env.config_path()},
      {hard_link, hard_link, env.config_path()},
      {env.dir.File("logo.m2v"), env.dir.File("logo.m2v"), env.dir.File("logo.m2v")},
      {env.dir.File("rom.bin"), env.dir.File("rom.bin"), env.session.crc_rom_path},
      {env.dir.File("whole.set"), env.dir.File("whole.set"), env.dir.File("whole.set")},
  };
  for (const auto& c : cases) {
    env.dialogs.messages.clear();
    EXPECT_FALSE(SaveFirmwareAndReport(*p, env.session, c.output, env.dialogs));
    EXPECT_EQ(env.dialogs.Texts(),
              (std::vector<std::string>{"the output file " + c.clash +
                                            " can not be the same file as the input file " +
                                            c.input + "!",
                                        "Fault to save the file: \r\n" + c.output}));
  }
  EXPECT_EQ(ReadFile(env.dir.File("logo.m2v")), PatternBytes(100));
  EXPECT_EQ(ReadFile(env.session.crc_rom_path), PatternBytes(64));
  EXPECT_EQ(ReadFile(env.dir.File("whole.set")), PatternBytes(1452));
  EXPECT_EQ(ReadFile(env.image_path()), original);
}

TEST_F(SaveTest, TheOtaFileNeverReplacesTheLoadedFirmware) {
  // Firmware "fw.bin.ota" saved as "fw.bin": the OTA file would be the firmware itself.
  const std::string firmware = env.dir.File("fw.bin.ota");
  WriteFile(firmware, testdata::BuildStandardFirmware({.bootloader_region = 0x40000}, kPassword));
  const auto before = ReadFile(firmware);
  auto p = OpenFirmware(firmware, env.config_path(), kPassword, env.session, env.dialogs);
  ASSERT_NE(p, nullptr);
  const std::string output = env.dir.File("fw.bin");
  EXPECT_FALSE(SaveFirmwareAndReport(*p, env.session, output, env.dialogs));
  EXPECT_EQ(
      env.dialogs.Texts(),
      (std::vector<std::string>{"the output file " + firmware +
                                    " can not be the same file as the input file " + firmware + "!",
                                "Fault to save the file: \r\n" + output}));
  EXPECT_EQ(ReadFile(firmware), before);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(output)));
}

TEST_F(SaveTest, TemporaryFilesTakeNoExistingName) {
  // Firmware "out.bin.part" saved as "out.bin": a temporary file named after the output
  // would have been the firmware.
  const std::string firmware = out_path() + ".part";
  WriteFile(firmware, testdata::BuildStandardFirmware({}, kPassword));
  const auto before = ReadFile(firmware);
  auto p = OpenFirmware(firmware, env.config_path(), kPassword, env.session, env.dialogs);
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(Save(*p), SaveResult::kSaved);
  EXPECT_EQ(ReadFile(firmware), before);
  EXPECT_NE(Reload(*p), nullptr);
  EXPECT_EQ(FolderNames(), (std::set<std::string>{"QTK_K7720X.ini", "out.bin", "out.bin.part"}));

  // A legal name of 252 characters saves (no OTA file for this boot region).
  const std::string longest = env.dir.File(std::string(252, 'n'));
  ASSERT_EQ(SaveFirmware(*p, env.session, longest, env.dialogs), SaveResult::kSaved);
  EXPECT_NE(Reload(*p, longest), nullptr);
}

TEST_F(SaveTest, ReplacementsAndTheCrcRomAreReadOnlyAsRegularFiles) {
  auto p = LoadStandard();
  const std::string fifo = env.dir.File("pipe.m2v");
  if (testdata::MakeFifo(fifo)) {
    ChunkEntry& logo = p->chunks.entries[Index(*p, kLogoChunkId)];
    logo.replace = true;
    logo.replacement_path = fifo;
    EXPECT_EQ(Save(*p), SaveResult::kFailed);
    EXPECT_EQ(env.dialogs.Texts(),
              std::vector<std::string>{"Can not open chunk file " + fifo + "!"});
    logo.replace = false;

    env.dialogs.messages.clear();
    env.session.crc_rom_path = fifo;
    EXPECT_EQ(Save(*p), SaveResult::kCrcRomFailed);
    EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"Can not open CRC rom file " + fifo});
    env.session.crc_rom_path.clear();
  }
  const std::string device = testdata::EndlessDevice();
  if (!device.empty()) {
    // Its measured size is 0, so it "fits" every chunk; it must not be read endlessly.
    env.dialogs.messages.clear();
    ChunkEntry& logo = p->chunks.entries[Index(*p, kLogoChunkId)];
    logo.replace = true;
    logo.replacement_path = device;
    EXPECT_EQ(Save(*p), SaveResult::kFailed);
    EXPECT_EQ(env.dialogs.Texts(),
              std::vector<std::string>{"Can not open chunk file " + device + "!"});
  }
  EXPECT_FALSE(OutputExists());
}

class ChunkFileFitsTest : public SaveTest {};

TEST_F(ChunkFileFitsTest, CapacityBoundaryAndMessages) {
  auto p = LoadStandard();
  const int logo = Index(*p, kLogoChunkId);
  const int64_t capacity = p->chunks.entries[logo].DataCapacity();
  const std::string path = env.dir.File("f.bin");
  WriteFile(path, std::vector<uint8_t>(capacity, 1));
  EXPECT_TRUE(ChunkFileFits(*p, path, logo, env.dialogs));
  WriteFile(path, std::vector<uint8_t>(capacity + 1, 1));
  EXPECT_FALSE(ChunkFileFits(*p, path, logo, env.dialogs));
  EXPECT_EQ(env.dialogs.LastText(), "the chunk file size of " + path + " is too big!");

  EXPECT_FALSE(ChunkFileFits(*p, "", logo, env.dialogs));
  EXPECT_EQ(env.dialogs.messages.size(), 1u);
  EXPECT_FALSE(ChunkFileFits(*p, env.dir.File("none.bin"), logo, env.dialogs));
  EXPECT_EQ(env.dialogs.LastText(), "Can not open chunk file " + env.dir.File("none.bin") + "!");
}

TEST_F(ChunkFileFitsTest, DefaultDatabaseMessagesDependOnTheLzmaHeader) {
  auto p = LoadStandard();
  const int db = Index(*p, kDefaultDatabaseChunkId);
  const std::string path = env.dir.File("db.bin");
  std::vector<uint8_t> big(0x3000, 0);
  big[0] = 0x6C;
  big[3] = 0x80;
  WriteFile(path, big);
  EXPECT_FALSE(ChunkFileFits(*p, path, db, env.dialogs));
  EXPECT_EQ(env.dialogs.LastText(),
            "The size of ZIP compressed default base file " + path + " is too big");
  big[3] = 0x81;
  WriteFile(path, big);
  EXPECT_FALSE(ChunkFileFits(*p, path, db, env.dialogs));
  EXPECT_EQ(env.dialogs.LastText(), "The size of default base file " + path +
                                        " is too big, you can compress it and try again.");
}

TEST_F(ChunkFileFitsTest, LastChunkCapacityIsLengthMinus112) {
  auto p = LoadStandard();
  const int last = p->chunks.count - 1;
  const int64_t capacity = int64_t{p->chunks.entries[last].length} - 112;
  const std::string path = env.dir.File("c.bin");
  WriteFile(path, std::vector<uint8_t>(capacity, 0));
  EXPECT_TRUE(ChunkFileFits(*p, path, last, env.dialogs));
  WriteFile(path, std::vector<uint8_t>(capacity + 1, 0));
  EXPECT_FALSE(ChunkFileFits(*p, path, last, env.dialogs));
}

class CrcRomTest : public SaveTest {};

TEST_F(CrcRomTest, GoesIntoTheUserDatabaseBeforeTheOtaFileIsWritten) {
  auto p = LoadStandard({.bootloader_region = 0x40000});
  auto rom = PatternBytes(0x1000, 33);
  env.session.crc_rom_path = "  " + env.dir.File("rom.bin") + " ";
  WriteFile(env.dir.File("rom.bin"), rom);
  ASSERT_TRUE(SaveFirmwareAndReport(*p, env.session, out_path(), env.dialogs));
  EXPECT_EQ(env.dialogs.LastText(), "Success to save the file.");
  auto out = ReadFile(out_path());
  const ChunkEntry& u = p->chunks.entries[Index(*p, kUserDatabaseChunkId)];
  std::vector<uint8_t> expected(out.begin() + u.file_offset, out.begin() + u.file_offset + 82048);
  expected.resize(u.region_size, 0);
  std::copy(rom.begin(), rom.end(), expected.begin() + 82048);
  PutU32BigEndian(&expected[4], 0x1000 + 82032);
  PutU32BigEndian(&expected[12], Crc32(kCrcInitial, &expected[16], 0x1000 + 82032));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin() + u.file_offset));
  EXPECT_EQ(u.crc, ReadU32BigEndian(out, u.file_offset + 12));
  auto ota = ReadFile(out_path() + ".ota");
  EXPECT_TRUE(std::equal(ota.begin(), ota.end(), out.begin() + 0x40000));
  ChunkTable table;
  EXPECT_GT(ParseImage(out, table), 0);
}

// What a save hands over for its change report: the file as it was read and the image as it
// was written, both whole, with the names of the further outputs; a failed save hands over
// nothing.
TEST_F(CrcRomTest, ASaveHandsOverTheFileAsReadAndTheImageAsWritten) {
  auto p = LoadStandard({.bootloader_region = 0x40000});
  Mark(*p, kLogoChunkId, PatternBytes(300, 8), "logo.m2v");
  env.session.crc_rom_path = env.dir.File("rom.bin");
  WriteFile(env.session.crc_rom_path, PatternBytes(0x800, 34));
  SavedImage saved;
  ASSERT_TRUE(SaveFirmwareAndReport(*p, env.session, out_path(), env.dialogs, {}, &saved));
  EXPECT_EQ(saved.before.ToVector(), original);
  EXPECT_EQ(saved.after.ToVector(), ReadFile(out_path()));
  EXPECT_NE(saved.after.ToVector(), original);
  EXPECT_EQ(saved.output_path, out_path());
  EXPECT_EQ(saved.ota_path, out_path() + ".ota");
  EXPECT_EQ(saved.crc_rom_path, env.session.crc_rom_path);
  EXPECT_TRUE(saved.mirror_block);

  SavedImage untouched;
  env.session.crc_rom_path.clear();
  const std::string same_as_loaded = env.image_path();
  EXPECT_FALSE(SaveFirmwareAndReport(*p, env.session, same_as_loaded, env.dialogs, {}, &untouched));
  EXPECT_TRUE(untouched.before.empty());
  EXPECT_TRUE(untouched.after.empty());
  EXPECT_TRUE(untouched.output_path.empty());
}

TEST_F(CrcRomTest, RefusalsLeaveNoOutput) {
  auto p = LoadStandard();
  env.session.crc_rom_path = env.dir.File("missing.rom");
  EXPECT_FALSE(SaveFirmwareAndReport(*p, env.session, out_path(), env.dialogs));
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"Can not open CRC rom file " + env.dir.File("missing.rom")});
  const ChunkEntry& u = p->chunks.entries[Index(*p, kUserDatabaseChunkId)];
  env.dialogs.messages.clear();
  env.session.crc_rom_path = env.dir.File("big.rom");
  WriteFile(env.session.crc_rom_path, std::vector<uint8_t>(u.region_size - 82048 + 1, 0));
  EXPECT_FALSE(SaveFirmwareAndReport(*p, env.session, out_path(), env.dialogs));
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"the size of CRC rom file " + env.session.crc_rom_path +
                                     "is too big!"});
  EXPECT_FALSE(OutputExists());
}

TEST_F(CrcRomTest, SkippedWithoutGameEmulatorOrPath) {
  auto p = LoadStandard({.with_game_emulator = false});
  env.session.crc_rom_path = env.dir.File("missing.rom");
  EXPECT_EQ(Save(*p), SaveResult::kSaved);
  auto q = LoadStandard();
  env.session.crc_rom_path = "   ";
  EXPECT_EQ(Save(*q), SaveResult::kSaved);
}

// The image, its description, a replacement file and the outputs in folders named outside ASCII
// and outside any ANSI code page: the paths are UTF-8 text everywhere, and messages name them
// as given.
TEST(SaveInFoldersNamedOutsideAscii, LoadsSavesWithOtaFileAndLoadsAgain) {
  FirmwareEnv env("Jürgen 固件");
  env.WriteStandardImage({.bootloader_region = 0x40000});
  const std::vector<uint8_t> original = ReadFile(env.image_path());
  auto p = env.Open();
  ASSERT_NE(p, nullptr) << ::testing::PrintToString(env.dialogs.Texts());

  std::filesystem::create_directories(PathFromUtf8(env.dir.File("Ærø ñ €")));
  const std::string logo_path = env.dir.File("Ærø ñ €/логотип 𝄞.m2v");
  const auto logo = PatternBytes(0x300, 7);
  ASSERT_TRUE(WriteFile(logo_path, logo));
  const int logo_index = *p->chunks.FindLoaded(kLogoChunkId);
  ASSERT_TRUE(ChunkFileFits(*p, logo_path, logo_index, env.dialogs));
  ChunkEntry& entry = p->chunks.entries[logo_index];
  entry.replace = true;
  entry.replacement_path = logo_path;
  p->settings.SetU8(record::kOtaEnable, 1);

  const std::string out = env.InFolder("固件 out.bin");
  env.dialogs.messages.clear();
  ASSERT_TRUE(SaveFirmwareAndReport(*p, env.session, out, env.dialogs));
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
  EXPECT_EQ(ReadFile(env.image_path()), original);
  const std::vector<uint8_t> saved = ReadFile(out);
  ASSERT_GT(saved.size(), 0x40000u);
  EXPECT_EQ(ReadFile(out + ".ota"), std::vector<uint8_t>(saved.begin() + 0x40000, saved.end()));

  LoadSession session;
  RecordingDialogs dialogs;
  auto again = OpenFirmware(out, env.config_path(), env.session.current_password, session, dialogs);
  ASSERT_NE(again, nullptr) << ::testing::PrintToString(dialogs.Texts());
  EXPECT_EQ(again->settings.bytes(), p->settings.bytes());
  const ChunkEntry& l = again->chunks.entries[*again->chunks.FindLoaded(kLogoChunkId)];
  EXPECT_TRUE(std::equal(logo.begin(), logo.end(), saved.begin() + l.file_offset + 128));
}

TEST(SaveInFoldersNamedOutsideAscii, MissingFilesAreNamedInTheirMessages) {
  FirmwareEnv env("Jürgen 固件");
  env.WriteStandardImage();
  auto p = env.Open();
  ASSERT_NE(p, nullptr);
  env.dialogs.messages.clear();
  const std::string absent = env.InFolder("不在 Ærø.m2v");
  EXPECT_FALSE(ChunkFileFits(*p, absent, *p->chunks.FindLoaded(kLogoChunkId), env.dialogs));
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"Can not open chunk file " + absent + "!"});

  LoadSession session;
  RecordingDialogs dialogs;
  const std::string config = env.InFolder("不在.ini");
  EXPECT_EQ(OpenFirmware(env.image_path(), config, kPassword, session, dialogs), nullptr);
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can not open config file " + config});
}

}  // namespace
}  // namespace qtk
