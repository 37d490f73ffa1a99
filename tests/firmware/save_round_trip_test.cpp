// Every image that a save calls a success loads again with the password in force and gives
// back the record as saved: a property over generated images and edits, seeded so that a
// failure names the seed that reproduces it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "common/utf8_path.h"
#include "common/recording_dialogs.h"
#include "firmware/firmware_loader.h"
#include "firmware/firmware_saver.h"
#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/password_change.h"
#include "firmware/settings_import.h"
#include "settings/setting_file.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;
using testdata::ChunkSpec;
using Bytes = std::vector<uint8_t>;

// What stands first in the image.
enum class FirstChunk {
  kBootloaderNoCrc,
  kBootloaderWithCrc,
  kMainCodeWithCrc,
  kMainCodeNoCrc,
  kCommonDataWithCrc,
  kCommonDataNoCrc,
  kTunerDriverWithCrc,
  kOtherWithCrc,
  kOtherNoCrc,
};

constexpr FirstChunk kAllFirstChunks[] = {
    FirstChunk::kBootloaderNoCrc,    FirstChunk::kBootloaderWithCrc, FirstChunk::kMainCodeWithCrc,
    FirstChunk::kMainCodeNoCrc,      FirstChunk::kCommonDataWithCrc, FirstChunk::kCommonDataNoCrc,
    FirstChunk::kTunerDriverWithCrc, FirstChunk::kOtherWithCrc,      FirstChunk::kOtherNoCrc,
};

const char* NameOf(FirstChunk kind) {
  static const char* const kNames[] = {"BootloaderNoCrc",    "BootloaderWithCrc", "MainCodeWithCrc",
                                       "MainCodeNoCrc",      "CommonDataWithCrc", "CommonDataNoCrc",
                                       "TunerDriverWithCrc", "OtherWithCrc",      "OtherNoCrc"};
  return kNames[static_cast<int>(kind)];
}

void PrintTo(FirstChunk kind, std::ostream* out) {
  *out << NameOf(kind);
}

// Seeds per kind of first chunk: nine kinds give 1,080 images, each with its own edits.
constexpr uint32_t kSeedsPerKind = 120;

constexpr uint32_t kOtherFirstId = 0x7F000123u;  // any id may stand first
constexpr uint32_t kOtherLaterId = 0x20DF0001u;  // passes the id rule
constexpr uint32_t kMirroredRegion = 0x40000;

class Generator {
 public:
  explicit Generator(uint32_t seed) : rng_(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
  Bytes RandomBytes(size_t size) {
    Bytes out(size);
    for (uint8_t& b : out)
      b = static_cast<uint8_t>(Pick(256));
    return out;
  }
  std::string Password() {
    static const std::string kCharacters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string text(static_cast<size_t>(Between(1, 8)), ' ');
    for (char& c : text)
      c = kCharacters[static_cast<size_t>(Pick(static_cast<int>(kCharacters.size())))];
    return text;
  }

  ChunkSpec Chunk(uint32_t id, bool no_crc, int max_data = 400) {
    ChunkSpec c;
    c.id = id;
    c.name = "chunk " + std::to_string(id & 0xFFFF);
    c.data = RandomBytes(static_cast<size_t>(Pick(max_data + 1)));
    c.no_crc = no_crc;
    c.filler = static_cast<uint8_t>(Pick(256));
    c.region_size = static_cast<uint32_t>(128 + c.data.size() + static_cast<size_t>(Pick(200)));
    for (uint8_t& b : c.opaque)
      b = static_cast<uint8_t>(Pick(256));
    return c;
  }

  // A record with random settings, a valid configuration version and no password yet.
  Bytes Record() {
    Bytes record = RandomBytes(record::kSize);
    record[record::kConfigVersion] = static_cast<uint8_t>((Pick(16) << 4) | Between(1, 2));
    return record;
  }

  // With `large`, a chunk of several MiB makes the image larger than the buffers that are
  // mapped on large pages.
  std::vector<ChunkSpec> Image(FirstChunk first_kind, bool large = false) {
    std::vector<ChunkSpec> later;
    ChunkSpec first;
    bool have_main = true;
    switch (first_kind) {
      case FirstChunk::kBootloaderNoCrc:
      case FirstChunk::kBootloaderWithCrc:
        first = Chunk(kBootloaderChunkId, first_kind == FirstChunk::kBootloaderNoCrc);
        break;
      case FirstChunk::kMainCodeWithCrc:
      case FirstChunk::kMainCodeNoCrc:
        first = Chunk(kMainCodeChunkId, first_kind == FirstChunk::kMainCodeNoCrc);
        have_main = false;
        break;
      case FirstChunk::kCommonDataWithCrc:
      case FirstChunk::kCommonDataNoCrc:
        first = Common(first_kind == FirstChunk::kCommonDataNoCrc);
        break;
      case FirstChunk::kTunerDriverWithCrc:
        first = Chunk(kTunerDriverChunkId, false);
        break;
      case FirstChunk::kOtherWithCrc:
      case FirstChunk::kOtherNoCrc:
        first = Chunk(kOtherFirstId, first_kind == FirstChunk::kOtherNoCrc);
        break;
    }
    // The six mirrored bytes at offset 258 must lie inside the first chunk.
    first.region_size =
        std::max<uint32_t>(first.region_size, 264 + static_cast<uint32_t>(Pick(64)));
    // Now and then a boot region that gets the mirror block and the OTA file, or the OTA
    // file alone.
    if (Chance(0.04))
      first.region_size = kMirroredRegion;
    else if (Chance(0.02))
      first.region_size = kMirroredRegion + 0x1000;

    if (have_main && Chance(0.9))
      later.push_back(Chunk(kMainCodeChunkId, Chance(0.3)));
    later.push_back(Chunk(kLogoChunkId, Chance(0.3)));
    later.push_back(Chunk(kDynamicPanelChunkId, Chance(0.5)));
    later.push_back(Chunk(kDefaultDatabaseChunkId, Chance(0.3)));
    later.push_back(Chunk(kUserDatabaseChunkId, Chance(0.3)));
    if (first.id != kTunerDriverChunkId)
      later.push_back(Chunk(kTunerDriverChunkId, Chance(0.3), 0x900));
    if (Chance(0.5))
      later.push_back(Chunk(kGameEmulatorChunkId, Chance(0.3)));
    if (Chance(0.3))
      later.push_back(Chunk(kOtherLaterId, Chance(0.5)));
    if (large) {
      ChunkSpec big = Chunk(kOtherLaterId + 1, Chance(0.5));
      big.data = testdata::PatternBytes(static_cast<size_t>(Between(2 << 20, 4 << 20)),
                                        static_cast<uint8_t>(Pick(256)));
      big.region_size = static_cast<uint32_t>(128 + big.data.size() + Pick(5000));
      later.push_back(big);
    }
    if (first.id != kCommonDataChunkId)
      later.push_back(Common(Chance(0.3)));
    std::shuffle(later.begin(), later.end(), rng_);
    // A last chunk shorter than its own header (length below 112) loads, so it must save.
    if (later.back().id != kCommonDataChunkId && Chance(0.2))
      later.back().length_field = static_cast<uint32_t>(Between(48, 111));

    std::vector<ChunkSpec> chunks = {first};
    chunks.insert(chunks.end(), later.begin(), later.end());
    return chunks;
  }

 private:
  ChunkSpec Common(bool no_crc) {
    ChunkSpec c = Chunk(kCommonDataChunkId, no_crc);
    c.data = Record();
    c.region_size = 128 + record::kSize + static_cast<uint32_t>(Pick(300));
    return c;
  }

  std::mt19937 rng_;
};

// One replacement file the case marks, for checking what the saved chunk holds.
struct Marked {
  int index = 0;
  Bytes file;
};

class SaveRoundTrip : public ::testing::TestWithParam<FirstChunk> {
 protected:
  static void SetUpTestSuite() {
    description_dir_ = new testdata::TempDir("qtk_round_trip_ini");
    const std::string path = description_dir_->File(testdata::kDefaultDescriptionName);
    ASSERT_TRUE(testdata::RealisticDescription().Write(path));
    description_ = new ConfigDescription();
    description_->SetDescriptionPath(path);
    ASSERT_TRUE(description_->Load());
  }
  static void TearDownTestSuite() {
    delete description_;
    delete description_dir_;
  }

  std::unique_ptr<FirmwareProject> Open(const std::string& path, const std::string& password) {
    return OpenFirmwareImage(path, *description_, password, session_, dialogs_);
  }

  void RunCase(uint32_t seed, bool large = false);
  void EditRecord(Generator& g, FirmwareProject& p);
  std::vector<Marked> MarkReplacements(Generator& g, FirmwareProject& p, const std::string& dir);
  void SaveAndCheck(FirmwareProject& p, const std::vector<Marked>& marked, const Bytes& original,
                    const std::string& out_path);

  static testdata::TempDir* description_dir_;
  static ConfigDescription* description_;
  LoadSession session_;
  RecordingDialogs dialogs_;
};

testdata::TempDir* SaveRoundTrip::description_dir_ = nullptr;
ConfigDescription* SaveRoundTrip::description_ = nullptr;

void SaveRoundTrip::EditRecord(Generator& g, FirmwareProject& p) {
  auto& bytes = p.settings.bytes();
  const int edits = g.Between(1, 12);
  for (int i = 0; i < edits; ++i) {
    // Bytes 2-7 most often: they live in two places.
    const size_t offset = g.Chance(0.4) ? static_cast<size_t>(g.Between(2, 7))
                                        : static_cast<size_t>(g.Pick(record::kSize));
    if (offset == record::kConfigVersion) {
      bytes[offset] = static_cast<uint8_t>((g.Pick(16) << 4) | (bytes[offset] & 0x0F));
    } else if (offset < record::kPasswordWord0 || offset >= record::kPasswordWord1 + 4) {
      bytes[offset] = static_cast<uint8_t>(g.Pick(256));
    }
  }
}

std::vector<Marked> SaveRoundTrip::MarkReplacements(Generator& g, FirmwareProject& p,
                                                    const std::string& dir) {
  std::vector<Marked> marked;
  for (int i = 0; i < p.chunks.count; ++i) {
    ChunkEntry& e = p.chunks.entries[i];
    if (e.id == kCommonDataChunkId || !g.Chance(i == 0 ? 0.5 : 0.25))
      continue;
    const int64_t capacity = e.DataCapacity();
    const bool own_header = e.id == kBootloaderChunkId && !e.HasCrc();
    const int64_t smallest = own_header ? 128 : 0;
    if (capacity < smallest)
      continue;
    int64_t size = 0;
    switch (g.Pick(3)) {
      case 0:  // the size of the data the chunk holds now
        size = std::clamp<int64_t>(int64_t{e.length} - 112, smallest, capacity);
        break;
      case 1:
        size = capacity;
        break;
      default:
        size = g.Between(static_cast<int>(smallest), static_cast<int>(capacity));
        break;
    }
    Marked m{i, g.RandomBytes(static_cast<size_t>(size))};
    const std::string path = Utf8FromPath(PathFromUtf8(dir) / ("chunk" + std::to_string(i) + ".bin"));
    testdata::WriteFile(path, m.file);
    e.replace = true;
    e.replacement_path = path;
    marked.push_back(std::move(m));
  }
  return marked;
}

// The save may not satisfy both the first chunk's CRC and the mirror block that depends on it
// when the first chunk is one that the block copies or the main code, and its CRC covers the
// block: then it must refuse.
bool MirrorInsideItsOwnCrc(const FirmwareProject& p, const std::vector<Marked>& marked) {
  const ChunkEntry& first = p.chunks.entries[0];
  if (first.region_size != kMirroredRegion || !first.HasCrc())
    return false;
  if (first.id != kMainCodeChunkId && first.id != kCommonDataChunkId &&
      first.id != kTunerDriverChunkId) {
    return false;
  }
  uint64_t length = first.length;
  if (first.id == kCommonDataChunkId)
    length = first.region_size - 16;
  for (const Marked& m : marked) {
    if (m.index == 0)
      length = m.file.size() + 112;
  }
  return 16 + length > 0x2F000;
}

// Bytes of the image that the save writes after a chunk's own data: the clock and pad block
// at 258 and, for a boot region of 0x40000 bytes, the mirror block and the record tail.
bool WrittenAfterwards(const FirmwareProject& p, size_t offset) {
  const bool clock_pad = offset >= 258 && offset < 264 && ClockPadMirrored(p.chunks);
  const bool mirror = p.chunks.entries[0].region_size == kMirroredRegion && offset >= 0x2F000 &&
                      offset < 0x30000 + 36;
  return clock_pad || mirror;
}

void ExpectReplacedChunk(const FirmwareProject& p, const Bytes& out, const Marked& m) {
  const ChunkEntry& e = p.chunks.entries[m.index];
  const size_t data = e.file_offset + 128;
  Bytes expected;
  if (e.id == kBootloaderChunkId && !e.HasCrc()) {
    expected.assign(m.file.begin() + 128, m.file.end());
  } else if (!e.HasCrc()) {
    expected = m.file;
    expected.resize(e.region_size - 128, e.id == kUserDatabaseChunkId ? 0xFF : 0x00);
  } else {
    expected = m.file;
    EXPECT_EQ(ReadU32BigEndian(out, e.file_offset + 4), m.file.size() + 112) << "chunk " << m.index;
  }
  for (size_t i = 0; i < expected.size(); ++i) {
    if (WrittenAfterwards(p, data + i))
      continue;
    ASSERT_EQ(out[data + i], expected[i]) << "chunk " << m.index << " data byte " << i;
  }
}

// Every byte outside what the save rewrites is the loaded file's byte: the data of the
// common data chunk and of the replaced chunks (the data behind its own header for a boot
// loader without CRC), the length and CRC fields of chunk headers, the clock and pad bytes,
// the mirror block and the record tail. The ids, offsets, names and opaque header bytes of
// rewritten chunks are carried over.
void ExpectOnlyRewrittenBytesChanged(const FirmwareProject& p, const std::vector<Marked>& marked,
                                     const Bytes& original, const Bytes& out) {
  ASSERT_EQ(out.size(), original.size());
  std::vector<bool> rewritten(out.size(), false);
  auto mark = [&](size_t begin, size_t end) {
    std::fill(rewritten.begin() + static_cast<long>(begin),
              rewritten.begin() + static_cast<long>(std::min(end, out.size())), true);
  };
  auto mark_chunk = [&](const ChunkEntry& e) {
    mark(e.file_offset + 4, e.file_offset + 8);
    mark(e.file_offset + 12, e.file_offset + 16);
    mark(e.file_offset + 128, size_t{e.file_offset} + e.region_size);
  };
  for (int i = 0; i < p.chunks.count; ++i) {
    if (p.chunks.entries[i].id == kCommonDataChunkId)
      mark_chunk(p.chunks.entries[i]);
  }
  for (const Marked& m : marked) {
    const ChunkEntry& e = p.chunks.entries[m.index];
    if (e.id == kBootloaderChunkId && !e.HasCrc())
      mark(e.file_offset + 128, e.file_offset + m.file.size());
    else
      mark_chunk(e);
  }
  if (p.chunks.entries[0].HasCrc()) {
    mark(4, 8);
    mark(12, 16);
  }
  if (ClockPadMirrored(p.chunks))
    mark(258, 264);
  if (p.chunks.entries[0].region_size == kMirroredRegion)
    mark(0x2F000, 0x30000 + 36);
  for (size_t i = 0; i < out.size(); ++i) {
    if (!rewritten[i]) {
      ASSERT_EQ(out[i], original[i]) << "byte " << i << " of " << out.size();
    }
  }
}

void SaveRoundTrip::SaveAndCheck(FirmwareProject& p, const std::vector<Marked>& marked,
                                 const Bytes& original, const std::string& out_path) {
  const bool refused = MirrorInsideItsOwnCrc(p, marked);
  dialogs_.messages.clear();
  const SaveResult result = SaveFirmware(p, session_, out_path, dialogs_);
  if (refused) {
    EXPECT_EQ(result, SaveResult::kFailed);
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{save_messages::kMirrorInsideCrc});
    EXPECT_FALSE(fs::exists(PathFromUtf8(out_path)));
    return;
  }
  ASSERT_EQ(result, SaveResult::kSaved) << ::testing::PrintToString(dialogs_.Texts());
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(testdata::ReadFile(p.firmware_path), original);  // the loaded file is only read

  const Bytes out = testdata::ReadFile(out_path);
  LoadSession reload_session;
  RecordingDialogs reload_dialogs;
  auto reloaded = OpenFirmwareImage(out_path, *description_, session_.current_password,
                                    reload_session, reload_dialogs);
  ASSERT_NE(reloaded, nullptr) << ::testing::PrintToString(reload_dialogs.Texts());
  EXPECT_EQ(reloaded->settings.bytes(), p.settings.bytes());
  EXPECT_EQ(reload_session.current_password, session_.current_password);
  ASSERT_EQ(reloaded->chunks.count, p.chunks.count);
  for (int i = 0; i < p.chunks.count; ++i) {
    const ChunkEntry& a = reloaded->chunks.entries[i];
    const ChunkEntry& b = p.chunks.entries[i];
    EXPECT_EQ(a.id, b.id) << i;
    EXPECT_EQ(a.file_offset, b.file_offset) << i;
    EXPECT_EQ(a.crc, b.crc) << i;  // the table holds the CRCs the save wrote
  }
  for (const Marked& m : marked)
    ExpectReplacedChunk(p, out, m);
  ExpectOnlyRewrittenBytesChanged(p, marked, original, out);

  const ChunkTable& t = p.chunks;
  const std::string ota_path = out_path + ".ota";
  if (t.entries[0].region_size >= kMirroredRegion && t.count > 1) {
    const size_t start = t.entries[1].file_offset;
    const Bytes ota = testdata::ReadFile(ota_path);
    ASSERT_EQ(ota.size(), std::min<size_t>(out.size() - start, 0x100000));
    EXPECT_TRUE(std::equal(ota.begin(), ota.end(), out.begin() + static_cast<long>(start)));
  } else {
    EXPECT_FALSE(fs::exists(PathFromUtf8(ota_path)));
  }
}

void SaveRoundTrip::RunCase(uint32_t seed, bool large) {
  SCOPED_TRACE("seed " + std::to_string(seed) + (large ? " large" : ""));
  Generator g(seed);
  testdata::TempDir dir("qtk_round_trip");
  const std::string password = g.Password();
  const std::vector<ChunkSpec> chunks = g.Image(GetParam(), large);
  const Bytes original = testdata::BuildFirmware(chunks, password);
  const std::string image_path = dir.File("firmware.bin");
  testdata::WriteFile(image_path, original);

  auto p = Open(image_path, password);
  ASSERT_NE(p, nullptr) << ::testing::PrintToString(dialogs_.Texts());
  ASSERT_EQ(session_.current_password, password);

  if (g.Chance(0.6))
    EditRecord(g, *p);
  if (g.Chance(0.25)) {
    const std::string set = dir.File("settings.set");
    testdata::WriteFile(set, g.RandomBytes(record::kSize));
    auto file = ReadSettingFile(set, p->chunks, p->settings, dialogs_);
    ASSERT_TRUE(file);
    ImportWholeSettings(*p, *file, session_.current_password);
  }
  if (g.Chance(0.25)) {
    const std::string fresh = g.Password();
    ASSERT_TRUE(ChangePassword(*p, session_, session_.current_password, fresh, fresh, dialogs_));
  }
  const std::vector<Marked> marked =
      g.Chance(0.6) ? MarkReplacements(g, *p, dir.path().string()) : std::vector<Marked>{};
  SaveAndCheck(*p, marked, original, dir.File("out.bin"));
  if (::testing::Test::HasFatalFailure() || ::testing::Test::HasFailure())
    return;

  // A second save in the same run keys the words with the CRCs the first one wrote.
  if (g.Chance(0.2)) {
    EditRecord(g, *p);
    SaveAndCheck(*p, marked, original, dir.File("again.bin"));
  }

  // No temporary file is left in the folder.
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(".qtk", 0) == 0)
      ADD_FAILURE() << "temporary file left behind: " << name;
  }
}

TEST_P(SaveRoundTrip, EverySavedImageLoadsAgainWithItsRecordAndPassword) {
  const uint32_t base = static_cast<uint32_t>(GetParam()) * 100000u;
  for (uint32_t seed = base; seed < base + kSeedsPerKind; ++seed) {
    RunCase(seed);
    if (HasFailure())
      break;  // the first failing seed is the one to look at
  }
}

// The same property on images of several MiB, a few seeds per kind of first chunk.
TEST_P(SaveRoundTrip, LargeImagesToo) {
  const uint32_t base = static_cast<uint32_t>(GetParam()) * 100000u + 50000u;
  for (uint32_t seed = base; seed < base + 3; ++seed) {
    RunCase(seed, true);
    if (HasFailure())
      break;
  }
}

std::string KindName(const ::testing::TestParamInfo<FirstChunk>& info) {
  return NameOf(info.param);
}

INSTANTIATE_TEST_SUITE_P(FirstChunks, SaveRoundTrip, ::testing::ValuesIn(kAllFirstChunks),
                         KindName);

}  // namespace
}  // namespace qtk
