#include "firmware/firmware_loader.h"

#include <gtest/gtest.h>

#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/password_words.h"
#include "firmware/settings_import.h"
#include "firmware_env.h"
#include "testdata/special_files.h"

namespace qtk {
namespace {

using testdata::BuildFirmware;
using testdata::ChunkSpec;
using testdata::StandardChunks;
using testdata::StandardImageOptions;
using testing::FirmwareEnv;
using testing::kPassword;

class LoadTest : public ::testing::Test {
 protected:
  // Expects the load to fail with exactly one message and the given status.
  void ExpectRefused(const std::string& message, int32_t status,
                     const std::string& password = kPassword) {
    env.session.load_status = 0;
    EXPECT_EQ(env.Open(password), nullptr);
    ASSERT_EQ(env.dialogs.Texts(), std::vector<std::string>{message});
    EXPECT_EQ(env.session.load_status, status);
  }
  FirmwareEnv env;
};

TEST_F(LoadTest, StandardImageLoadsWithItsRecordAndPassword) {
  env.WriteStandardImage();
  auto project = env.Open();
  ASSERT_NE(project, nullptr);
  EXPECT_TRUE(env.dialogs.messages.empty());
  EXPECT_EQ(env.session.current_password, kPassword);
  EXPECT_EQ(project->settings.ConfigVersion(), 2);
  EXPECT_EQ(project->settings.U8(0), 0x5A);
  EXPECT_EQ(project->firmware_path, env.image_path());
  EXPECT_EQ(project->config_path, env.config_path());
  EXPECT_FALSE(project->password_refresh);
  EXPECT_GT(project->chunks.count, 5);
}

TEST_F(LoadTest, ClockAndPadBytesComeFromImageOffset258) {
  auto chunks = StandardChunks({});
  const uint8_t mirrored[6] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
  std::copy(mirrored, mirrored + 6, chunks[0].data.begin() + (258 - 128));
  env.WriteImage(BuildFirmware(chunks, kPassword));
  auto project = env.Open();
  ASSERT_NE(project, nullptr);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(project->settings.U8(2 + i), mirrored[i]);
}

TEST_F(LoadTest, ConfigurationVersionsOneAndTwoLoadWhateverTheHighNibble) {
  for (int version : {1, 2}) {
    auto chunks = StandardChunks({.config_version = version});
    chunks.back().data[1] = static_cast<uint8_t>(0xF0 | version);
    env.WriteImage(BuildFirmware(chunks, kPassword));
    EXPECT_NE(env.Open(), nullptr) << version;
  }
}

TEST_F(LoadTest, ConfigurationVersionZeroIsTooOld) {
  env.WriteStandardImage({.config_version = 0});
  ExpectRefused("The FW config version is old, please use the QTK Ver 2.56 or older version!", -1);
}

TEST_F(LoadTest, ConfigurationVersionThreeAndAboveIsTooNew) {
  for (int version : {3, 15}) {
    env.dialogs.messages.clear();
    env.WriteStandardImage({.config_version = version});
    ExpectRefused("The FW config version is higher than QTK, please use the last version QTK!", -1);
  }
}

TEST_F(LoadTest, DescriptionFailuresGiveStatusMinusTwo) {
  env.WriteStandardImage();
  LoadSession& s = env.session;
  EXPECT_EQ(OpenFirmware(env.image_path(), "", kPassword, s, env.dialogs), nullptr);
  EXPECT_EQ(env.dialogs.LastText(), "Please select a config file first.");
  EXPECT_EQ(s.load_status, -2);

  const std::string missing = env.dir.File("missing.ini");
  EXPECT_EQ(OpenFirmware(env.image_path(), missing, kPassword, s, env.dialogs), nullptr);
  EXPECT_EQ(env.dialogs.LastText(), "Can not open config file " + missing);

  auto broken = testdata::RealisticDescription();
  broken.RemoveSection("SystemMode");
  broken.Write(env.config_path());
  s.load_status = 0;
  EXPECT_EQ(env.Open(), nullptr);
  EXPECT_EQ(env.dialogs.LastText(),
            "Error: " + env.config_path() + ":\r\n[SystemMode] data is error.\r\n");
  EXPECT_EQ(s.load_status, -2);
}

TEST_F(LoadTest, FirmwareFileProblemsGiveStatusMinusOne) {
  ExpectRefused("Can not open firmware file.", -1);
  env.dialogs.messages.clear();
  env.WriteImage({1, 2, 3});
  ExpectRefused("It is not a standard firmware file!", -1);
  EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Error);
}

TEST_F(LoadTest, AFirstChunkEndingBeforeByte264IsNotStandard) {
  // The six clock and pad bytes at offset 258 would lie in the next chunk's header, and every
  // save would write them there.
  for (uint32_t region : {263u, 264u}) {
    auto chunks = StandardChunks({});
    chunks[0].data.resize(64);
    chunks[0].region_size = region;
    env.WriteImage(BuildFirmware(chunks, kPassword));
    env.dialogs.messages.clear();
    if (region == 263) {
      ExpectRefused("It is not a standard firmware file!", -1);
      EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Error);
    } else {
      EXPECT_NE(env.Open(), nullptr) << ::testing::PrintToString(env.dialogs.Texts());
    }
  }
}

TEST_F(LoadTest, ACommonDataChunkFirstKeepsItsOwnClockAndPadBytes) {
  // Offset 258 is then record byte 130: the record is the only home of bytes 2-7.
  auto chunks = StandardChunks({});
  chunks.erase(chunks.begin());
  std::rotate(chunks.begin(), chunks.end() - 1, chunks.end());
  chunks[0].data[2] = 0x21;
  chunks[0].data[130] = 0x99;
  env.WriteImage(BuildFirmware(chunks, kPassword));
  auto project = env.Open();
  ASSERT_NE(project, nullptr);
  EXPECT_EQ(project->settings.U8(2), 0x21);
  EXPECT_EQ(project->settings.U8(130), 0x99);
}

TEST_F(LoadTest, OnlyRegularFilesAreRead) {
  env.WriteStandardImage();
  const std::string fifo = env.dir.File("pipe");
  if (testdata::MakeFifo(fifo)) {
    EXPECT_EQ(OpenFirmware(fifo, env.config_path(), kPassword, env.session, env.dialogs), nullptr);
    EXPECT_EQ(env.dialogs.LastText(), "Can not open firmware file.");
    EXPECT_EQ(OpenFirmware(env.image_path(), fifo, kPassword, env.session, env.dialogs), nullptr);
    EXPECT_EQ(env.dialogs.LastText(), "Can not open config file " + fifo);
    EXPECT_EQ(env.session.load_status, -2);
  }
  const std::string device = testdata::EndlessDevice();
  if (!device.empty()) {
    EXPECT_EQ(OpenFirmware(device, env.config_path(), kPassword, env.session, env.dialogs),
              nullptr);
    EXPECT_EQ(env.dialogs.LastText(), "Can not open firmware file.");
    EXPECT_EQ(env.session.load_status, -1);
  }
}

TEST_F(LoadTest, AnImageOf4GiBOrMoreIsRefusedUnread) {
  // Offsets are 32-bit; the file is sparse, so reading it would take 4 GiB of zeros.
  ASSERT_TRUE(testdata::MakeSparseFile(env.image_path(), uint64_t{1} << 32));
  ExpectRefused("It is not a standard firmware file!", -1);
  EXPECT_EQ(env.dialogs.messages[0].icon, MessageIcon::Error);
}

TEST_F(LoadTest, OneDescriptionServesManyImages) {
  env.WriteStandardImage();
  ConfigDescription config;
  config.SetDescriptionPath(env.config_path());
  ASSERT_TRUE(config.Load());
  auto project = OpenFirmwareImage(env.image_path(), config, kPassword, env.session, env.dialogs);
  ASSERT_NE(project, nullptr);
  EXPECT_EQ(project->config_path, env.config_path());
  EXPECT_EQ(project->config.GetChunkIds(), config.GetChunkIds());
  auto full = env.Open();
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(project->settings.bytes(), full->settings.bytes());
  EXPECT_EQ(OpenFirmwareImage(env.image_path(), config, "4321", env.session, env.dialogs), nullptr);
  EXPECT_EQ(env.dialogs.LastText(), "The password is wrong, please try again!");
}

TEST_F(LoadTest, OldFormatCommonChunkIsRefused) {
  auto chunks = StandardChunks({});
  chunks.back().region_size = 0;
  chunks.back().data.resize(496 - 112);
  // Keep 1452 bytes of image behind the record start so only the format rule applies.
  ChunkSpec tail;
  tail.id = 0x20DF0000u;
  tail.data.resize(2000);
  chunks.push_back(tail);
  env.WriteImage(BuildFirmware(chunks, kPassword));
  ExpectRefused(
      "Can not config the old version Common chunk firmware, please use the old version bin "
      "tool(lower then ver2.0)!",
      -1);
}

TEST_F(LoadTest, MissingCommonDataChunkIsRefused) {
  auto chunks = StandardChunks({});
  chunks.pop_back();
  env.WriteImage(BuildFirmware(chunks, kPassword));
  ExpectRefused("Can not get common data chunk!\n", -1);
}

TEST_F(LoadTest, ImageEndingInsideTheRecordIsNotStandard) {
  auto chunks = StandardChunks({});
  chunks.back().data.resize(600);
  chunks.back().region_size = 0;
  env.WriteImage(BuildFirmware(chunks, kPassword));
  ExpectRefused("It is not a standard firmware file!", -1);
}

TEST_F(LoadTest, ShortCommonChunkInsideALongerImageLoads) {
  auto chunks = StandardChunks({});
  std::swap(chunks[chunks.size() - 1], chunks[chunks.size() - 2]);  // common before game emu
  chunks[chunks.size() - 2].region_size = 1024;                     // 896 data bytes
  chunks[chunks.size() - 2].data.resize(896);
  chunks.back().data.resize(2000);
  env.WriteImage(BuildFirmware(chunks, kPassword));
  EXPECT_NE(env.Open(), nullptr);
}

TEST_F(LoadTest, WrongPasswordGivesStatusMinusThree) {
  env.WriteStandardImage();
  ExpectRefused("The password is wrong, please try again!", -3, "4321");
  env.dialogs.messages.clear();
  ExpectRefused("The password is wrong, please try again!", -3, "12345");  // one more char
  env.dialogs.messages.clear();
  ExpectRefused("The password is wrong, please try again!", -3, "");
}

TEST_F(LoadTest, EightCharacterPasswordsCountEveryCharacter) {
  env.WriteStandardImage({}, "abcdefgh");
  EXPECT_NE(env.Open("abcdefgh"), nullptr);
  EXPECT_EQ(env.Open("abcdefgX"), nullptr);
  EXPECT_EQ(env.Open("Abcdefgh"), nullptr);
}

TEST_F(LoadTest, NcrcMainCodeKeysWithTheNcrcWord) {
  env.WriteStandardImage({.main_code_no_crc = true});
  auto project = env.Open();
  ASSERT_NE(project, nullptr);
  EXPECT_EQ(PasswordKey(project->chunks), kNoCrc);
  uint32_t word0 = project->settings.U32(100);
  EXPECT_EQ(word0, 0x34333231u ^ kNoCrc ^ kPasswordScramble);
}

TEST_F(LoadTest, ImageWithoutMainCodeUsesKeyZero) {
  auto chunks = StandardChunks({});
  chunks.erase(chunks.begin() + 1);
  env.WriteImage(BuildFirmware(chunks, kPassword));
  auto project = env.Open();
  ASSERT_NE(project, nullptr);
  EXPECT_EQ(project->settings.U32(104), 0u ^ kPasswordScramble);
}

TEST_F(LoadTest, MissingDynamicPanelIsRefusedAfterThePasswordWithStatusUnchanged) {
  env.WriteStandardImage({.with_dynamic_panel = false});
  env.session.current_password = "before";
  ExpectRefused("This bin don't support dyn panel,please use QTK2.XX", 0);
  // A failed load hands nothing over, not even the password it checked.
  EXPECT_EQ(env.session.current_password, "before");
}

TEST_F(LoadTest, EmptyFirmwarePathOnlyFailsTheDynamicPanelCheck) {
  EXPECT_EQ(OpenFirmware("", env.config_path(), kPassword, env.session, env.dialogs), nullptr);
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"This bin don't support dyn panel,please use QTK2.XX"});
}

TEST_F(LoadTest, EveryLoadReadsTheDescriptionAgain) {
  env.WriteStandardImage();
  EXPECT_EQ(env.Open("bad"), nullptr);
  auto broken = testdata::RealisticDescription();
  broken.RemoveSection("ChunkId");
  broken.Write(env.config_path());
  EXPECT_EQ(env.Open(), nullptr);
  EXPECT_EQ(env.session.load_status, -2);
}

TEST(PasswordWords, EncodeDecodeRoundTripAndRefreshFlag) {
  FirmwareProject project;
  project.chunks.count = 1;
  project.chunks.entries[0].id = kMainCodeChunkId;
  project.chunks.entries[0].crc = 0xCAFEBABEu;
  EncodePassword(project, "secret");
  EXPECT_EQ(project.settings.U32(100), 0u);  // refresh flag clear: nothing written
  project.password_refresh = true;
  EncodePassword(project, "");
  EXPECT_EQ(project.settings.U32(100), 0u);
  EncodePassword(project, "secret99xyz");  // only 8 characters count
  EXPECT_EQ(DecodePassword(project), "secret99");
  EXPECT_TRUE(VerifyPassword(project, "secret99"));
  EXPECT_EQ(project.settings.U32(100), 0x72636573u ^ 0xCAFEBABEu ^ kPasswordScramble);
}

TEST(PasswordWords, RekeyingKeepsThePasswordTheWordsHold) {
  FirmwareProject project;
  project.chunks.count = 1;
  project.chunks.entries[0].id = kMainCodeChunkId;
  project.chunks.entries[0].crc = 0x11111111u;
  project.password_refresh = true;
  EncodePassword(project, "pw");
  project.chunks.entries[0].crc = 0x2222ABCDu;
  EXPECT_NE(DecodePassword(project), "pw");
  RekeyPasswordWords(project, 0x11111111u, 0x2222ABCDu);
  EXPECT_EQ(DecodePassword(project), "pw");
}

TEST(PasswordWords, AWholeSettingFileNeverBringsAnotherPassword) {
  FirmwareProject project;
  project.chunks.count = 1;
  project.chunks.entries[0].id = kMainCodeChunkId;
  project.chunks.entries[0].crc = 0x0BADF00Du;
  project.password_refresh = true;
  EncodePassword(project, "mine");
  project.password_refresh = false;
  CustomerSettings::Bytes file{};
  file[record::kPasswordWord0] = 0x55;  // another image's words
  ImportWholeSettings(project, file, "mine");
  EXPECT_EQ(DecodePassword(project), "mine");
  EXPECT_TRUE(project.password_refresh);

  // An empty password in force stays empty instead of taking the file's words.
  FirmwareProject open;
  open.chunks = project.chunks;
  open.password_refresh = true;
  open.settings.SetU32(record::kPasswordWord0, 0x0BADF00Du ^ kPasswordScramble);
  open.settings.SetU32(record::kPasswordWord1, 0x0BADF00Du ^ kPasswordScramble);
  ASSERT_EQ(DecodePassword(open), "");
  ImportWholeSettings(open, file, "");
  EXPECT_EQ(DecodePassword(open), "");
}

TEST(PasswordWords, KeyIsTheFirstMainCodeAmongAllSixteenEntries) {
  ChunkTable table;
  table.count = 2;
  table.entries[14].id = kMainCodeChunkId;
  table.entries[14].crc = 7;
  EXPECT_EQ(PasswordKey(table), 7u);
}

}  // namespace
}  // namespace qtk
