// The chunk walk of the soundness check: every wrong CRC named while the walk goes on, the
// room of each chunk, and images cut or broken anywhere read nothing outside themselves.
#include <gtest/gtest.h>

#include "firmware/image/chunk_ids.h"
#include "firmware/image/image_parser.h"
#include "inspect/image_check.h"
#include "testdata/image_builder.h"

namespace qtk {
namespace {

using testdata::ChunkSpec;
using testdata::PatternBytes;

ChunkSpec Chunk(uint32_t id, const char* name, size_t size, uint8_t seed, uint32_t region = 0) {
  ChunkSpec c;
  c.id = id;
  c.name = name;
  c.data = PatternBytes(size, seed);
  c.region_size = region;
  return c;
}

std::vector<ChunkSpec> SmallChunks() {
  ChunkSpec boot = Chunk(kBootloaderChunkId, "boot", 40, 1, 0x100);
  boot.no_crc = true;
  return {boot, Chunk(kMainCodeChunkId, "main", 64, 2, 0x100), Chunk(kLogoChunkId, "logo", 100, 3),
          Chunk(kCommonDataChunkId, "common", 32, 4)};
}

TEST(ChunkWalk, ASoundImageHasNoFindingAndEveryChunksRoom) {
  const std::vector<uint8_t> image = testdata::BuildImage(SmallChunks());
  const auto walk = WalkChunks(image);
  ASSERT_TRUE(walk);
  EXPECT_TRUE(walk->findings.empty());
  ASSERT_EQ(walk->chunks.count, 4);
  ASSERT_EQ(walk->rooms.size(), 4u);
  // main: a 0x100 region holds 128 data bytes, 64 of them used.
  EXPECT_EQ(walk->rooms[1].chunk.name, "main");
  EXPECT_EQ(walk->rooms[1].capacity, 128);
  EXPECT_EQ(walk->rooms[1].used, 64);
  // The last chunk's region ends with its length: no room left.
  EXPECT_EQ(walk->rooms[3].capacity, walk->rooms[3].used);
}

TEST(ChunkWalk, EveryWrongCrcIsAFindingAndTheWalkGoesOn) {
  std::vector<uint8_t> image = testdata::BuildImage(SmallChunks());
  ChunkTable table;
  ASSERT_EQ(ParseImage(image, table), 4);
  image[table.entries[1].file_offset + 130] ^= 0x80;
  image[table.entries[3].file_offset + 20] ^= 0x01;   // the name: under the CRC too
  image[table.entries[0].file_offset + 140] ^= 0x01;  // no CRC: never a finding
  const auto walk = WalkChunks(image);
  ASSERT_TRUE(walk);
  ASSERT_EQ(walk->findings.size(), 2u);
  EXPECT_EQ(walk->findings[0].where, "chunk 0x01FE0101 \"main\"");
  char what[80];
  std::snprintf(what, sizeof what, "CRC 0x%08X in the header, 0x", table.entries[1].crc);
  EXPECT_EQ(walk->findings[0].what.rfind(what, 0), 0u) << walk->findings[0].what;
  EXPECT_EQ(walk->findings[0].what.substr(walk->findings[0].what.size() - 14), " over the data");
  EXPECT_EQ(walk->findings[1].where.rfind("chunk 0x10EF0100 \"", 0), 0u);
  EXPECT_EQ(walk->chunks.count, 4);
}

TEST(ChunkWalk, BrokenStructuresAreNoWalk) {
  auto chunks = SmallChunks();
  chunks[2].next_field = 0x10;  // shorter than the chunk's own length
  EXPECT_FALSE(WalkChunks(testdata::BuildImage(chunks)));
  chunks = SmallChunks();
  chunks[2].id = 0x12345678;  // breaks the id rule
  EXPECT_FALSE(WalkChunks(testdata::BuildImage(chunks)));
  EXPECT_FALSE(WalkChunks({}));
  EXPECT_FALSE(WalkChunks(std::vector<uint8_t>(15, 0)));
  // Zeros make one last chunk of length 0 whose CRC field is wrong: a walk with one finding.
  const auto zeros = WalkChunks(std::vector<uint8_t>(200, 0));
  ASSERT_TRUE(zeros);
  EXPECT_EQ(zeros->chunks.count, 1);
  EXPECT_EQ(zeros->findings,
            (std::vector<Finding>{{"chunk 0x00000000 \"\"",
                                   "CRC 0x00000000 in the header, 0xFFFFFFFF over the data"}}));
}

// Every prefix of the image, and every single byte flipped: the walk answers without reading
// outside the bytes (the sanitizer build checks the reads), and never claims more than a load.
TEST(ChunkWalk, CutOrChangedAnywhereNeverReadsOutsideTheImage) {
  const std::vector<uint8_t> image = testdata::BuildImage(SmallChunks());
  for (size_t size = 0; size < image.size(); ++size) {
    const std::vector<uint8_t> cut(image.begin(), image.begin() + static_cast<long>(size));
    const auto walk = WalkChunks(cut);
    if (walk) {
      ChunkTable table;
      EXPECT_EQ(walk->findings.empty(), ParseImage(cut, table) > 0) << size;
    }
  }
  for (size_t at = 0; at < image.size(); ++at) {
    std::vector<uint8_t> changed = image;
    changed[at] ^= 0x5A;
    const auto walk = WalkChunks(changed);
    ChunkTable table;
    if (walk)
      EXPECT_EQ(walk->findings.empty(), ParseImage(changed, table) > 0) << at;
    else
      EXPECT_EQ(ParseImage(changed, table), 0) << at;
  }
}

TEST(OtaCheck, AnOtaFileIsEverythingAfterTheFirstChunk) {
  auto chunks = SmallChunks();
  chunks[0].region_size = 0x40000;
  const std::vector<uint8_t> image = testdata::BuildImage(chunks);
  ChunkTable table;
  ASSERT_EQ(ParseImage(image, table), 4);
  const std::vector<uint8_t> ota(image.begin() + 0x40000, image.end());
  EXPECT_TRUE(CheckOtaFile(table, image, ota).empty());
  // Empty and one byte long: no chunk header to read, only the size and content.
  EXPECT_EQ(CheckOtaFile(table, image, {}),
            (std::vector<Finding>{{"OTA", "the file holds 0 bytes, a save of this image writes " +
                                              std::to_string(ota.size())}}));
  const std::vector<uint8_t> longer = [&] {
    auto bytes = ota;
    bytes.push_back(0);
    return bytes;
  }();
  EXPECT_EQ(CheckOtaFile(table, image, longer),
            (std::vector<Finding>{{"OTA", "the file holds " + std::to_string(longer.size()) +
                                              " bytes, a save of this image writes " +
                                              std::to_string(ota.size())}}));
  // Every prefix reads inside the file.
  for (size_t size = 0; size < ota.size(); ++size) {
    const std::vector<uint8_t> cut(ota.begin(), ota.begin() + static_cast<long>(size));
    EXPECT_EQ(CheckOtaFile(table, image, cut).size(), 1u) << size;
  }
}

}  // namespace
}  // namespace qtk
