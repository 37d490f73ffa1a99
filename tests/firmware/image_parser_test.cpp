#include "firmware/image/image_parser.h"

#include <gtest/gtest.h>

#include <random>

#include "firmware/image/byte_order.h"
#include "testdata/image_builder.h"

namespace qtk {
namespace {

using testdata::BuildImage;
using testdata::ChunkSpec;
using testdata::PatternBytes;

ChunkSpec Chunk(uint32_t id, size_t data_size, uint32_t region = 0) {
  ChunkSpec c;
  c.id = id;
  c.name = "chunk";
  c.data = PatternBytes(data_size, static_cast<uint8_t>(id));
  c.region_size = region;
  return c;
}

// An image of n chunks: a boot loader first, then ids that pass the id rule.
std::vector<ChunkSpec> Chain(int n) {
  std::vector<ChunkSpec> chunks;
  chunks.push_back(Chunk(kBootloaderChunkId, 64, 512));
  chunks[0].no_crc = true;
  for (int i = 1; i < n; ++i) {
    uint32_t first = static_cast<uint32_t>(i);
    uint32_t id = (first << 24) | ((0xFFu - first) << 16) | 0x0100u;
    chunks.push_back(Chunk(id, 40 + i, 300));
  }
  return chunks;
}

TEST(ParseImage, FillsEveryFieldOfTheTable) {
  auto chunks = Chain(3);
  chunks[1].name = "main code";
  auto image = BuildImage(chunks);
  ChunkTable table;
  ASSERT_EQ(ParseImage(image, table), 3);
  EXPECT_EQ(table.count, 3);
  const ChunkEntry& e = table.entries[1];
  EXPECT_EQ(e.id, 0x01FE0100u);
  EXPECT_EQ(e.length, 112u + 41u);
  EXPECT_EQ(e.offset_to_next, 300u);
  EXPECT_EQ(e.file_offset, 512u);
  EXPECT_EQ(e.region_size, 300u);
  EXPECT_EQ(e.Name(), "main code");
  EXPECT_EQ(e.crc, ReadU32BigEndian(image, 512 + 12));
  EXPECT_EQ(table.entries[2].file_offset, 812u);
  EXPECT_EQ(table.entries[2].offset_to_next, 0u);
  EXPECT_EQ(table.entries[2].region_size, table.entries[2].length + 16);
  EXPECT_EQ(table.FindLoaded(0x02FD0100u), 2);
  EXPECT_FALSE(table.FindLoaded(kCommonDataChunkId).has_value());
}

TEST(ParseImage, ClearsReplacementStateOfAllSixteenEntries) {
  ChunkTable table;
  for (auto& e : table.entries) {
    e.replace = true;
    e.replacement_path = "x.bin";
    e.region_size = 9;
    e.file_offset = 9;
  }
  ASSERT_EQ(ParseImage(BuildImage(Chain(2)), table), 2);
  for (const auto& e : table.entries) {
    EXPECT_FALSE(e.replace);
    EXPECT_TRUE(e.replacement_path.empty());
  }
  EXPECT_EQ(table.entries[15].region_size, 0u);
  EXPECT_EQ(table.entries[15].file_offset, 0u);
}

TEST(ParseImage, FifteenChunksAreValidSixteenAreNot) {
  ChunkTable table;
  EXPECT_EQ(ParseImage(BuildImage(Chain(15)), table), 15);
  EXPECT_EQ(ParseImage(BuildImage(Chain(16)), table), 0);
  EXPECT_EQ(table.count, 0);
}

TEST(ParseImage, SingleChunkOfAnyIdIsValid) {
  ChunkTable table;
  EXPECT_EQ(ParseImage(BuildImage({Chunk(0xE3000010u, 10)}), table), 1);
  EXPECT_EQ(ParseImage(BuildImage({Chunk(0x12345678u, 10)}), table), 1);
}

TEST(ParseImage, IdRuleAppliesFromTheSecondChunk) {
  ChunkTable table;
  EXPECT_EQ(ParseImage(BuildImage({Chunk(0x12345678u, 8, 256), Chunk(kMainCodeChunkId, 8)}), table),
            2);
  EXPECT_EQ(ParseImage(BuildImage({Chunk(kMainCodeChunkId, 8, 256), Chunk(kBootloaderChunkId, 8)}),
                       table),
            0);
}

TEST(ParseImage, NcrcChunkIsAcceptedWhateverItsContents) {
  auto chunks = Chain(2);
  auto image = BuildImage(chunks);
  image[100] ^= 0xFF;  // inside the NCRC boot loader
  ChunkTable table;
  EXPECT_EQ(ParseImage(image, table), 2);
  EXPECT_FALSE(table.entries[0].HasCrc());
}

TEST(ParseImage, AFlippedByteAnywhereInAGuardedRangeInvalidatesTheImage) {
  auto chunks = Chain(3);
  auto image = BuildImage(chunks);
  ChunkTable table;
  ASSERT_EQ(ParseImage(image, table), 3);
  // Second chunk: header bytes 16-127 and its data are guarded, the filler is not.
  const size_t start = 512;
  const size_t guarded_end = start + 16 + table.entries[1].length;
  for (size_t pos = start + 16; pos < guarded_end; ++pos) {
    auto broken = image;
    broken[pos] ^= 0x01;
    ASSERT_EQ(ParseImage(broken, table), 0) << "byte " << pos;
  }
  auto filler = image;
  filler[guarded_end] ^= 0x01;
  EXPECT_EQ(ParseImage(filler, table), 3);
}

TEST(ParseImage, LengthUpToOffsetToNextMinus16IsValidOneMoreIsNot) {
  auto chunks = Chain(2);
  chunks[1].region_size = 300;
  chunks[1].data = PatternBytes(300 - 128);  // length = 300 - 16
  ChunkTable table;
  ASSERT_EQ(ParseImage(BuildImage(chunks), table), 2);
  EXPECT_EQ(table.entries[1].length, 300u - 16u);

  auto overlong = Chain(3);
  overlong[1].region_size = 300;
  overlong[1].data = PatternBytes(300 - 128);
  overlong[1].length_field = 300 - 16 + 1;
  EXPECT_EQ(ParseImage(BuildImage(overlong), table), 0);
}

TEST(ParseImage, OldFormatFlagFollowsTheCommonDataLength) {
  auto image_with_length = [](uint32_t length) {
    auto chunks = Chain(2);
    ChunkSpec common = Chunk(kCommonDataChunkId, length - 112);
    chunks.push_back(common);
    return BuildImage(chunks);
  };
  ChunkTable table;
  ASSERT_EQ(ParseImage(image_with_length(496), table), 3);
  EXPECT_TRUE(table.old_format);
  ASSERT_EQ(ParseImage(image_with_length(497), table), 3);
  EXPECT_FALSE(table.old_format);
  // The flag from an earlier image does not survive into one without common data.
  ASSERT_EQ(ParseImage(image_with_length(496), table), 3);
  ASSERT_EQ(ParseImage(BuildImage(Chain(2)), table), 2);
  EXPECT_FALSE(table.old_format);
}

TEST(ParseImage, OffsetToNextBeyondTheImageOrInsideTheHeaderIsInvalid) {
  ChunkTable table;
  auto chunks = Chain(2);
  chunks[0].next_field = 1u << 30;
  EXPECT_EQ(ParseImage(BuildImage(chunks), table), 0);
  for (uint32_t next : {1u, 16u, 127u}) {
    auto small = Chain(2);
    small[0].next_field = next;
    small[0].length_field = 0;
    EXPECT_EQ(ParseImage(BuildImage(small), table), 0) << next;
  }
}

TEST(ParseImage, LastChunkLengthPastTheEndIsInvalid) {
  auto chunks = Chain(2);
  chunks[1].length_field = 5000;
  chunks[1].no_crc = true;
  ChunkTable table;
  EXPECT_EQ(ParseImage(BuildImage(chunks), table), 0);
}

TEST(ParseImage, TruncatedImagesNeverReadOutside) {
  auto image = BuildImage(Chain(4));
  ChunkTable table;
  for (size_t size = 0; size < image.size(); ++size) {
    std::vector<uint8_t> cut(image.begin(), image.begin() + static_cast<long>(size));
    EXPECT_EQ(ParseImage(cut, table), 0) << size;
  }
}

TEST(ParseImage, RandomBytesNeverCrash) {
  std::mt19937 rng(7);
  ChunkTable table;
  auto base = BuildImage(Chain(4));
  for (int round = 0; round < 2000; ++round) {
    auto image = base;
    int flips = 1 + round % 8;
    for (int k = 0; k < flips; ++k) {
      // Aim at the header words, where the structure lives.
      size_t block = rng() % 4;
      size_t pos = (block == 0 ? 0 : 512 + (block - 1) * 300) + rng() % 16;
      if (pos < image.size())
        image[pos] = static_cast<uint8_t>(rng());
    }
    ParseImage(image, table);
    std::vector<uint8_t> noise(rng() % 2048);
    for (auto& b : noise)
      b = static_cast<uint8_t>(rng());
    ParseImage(noise, table);
  }
  SUCCEED();
}

}  // namespace
}  // namespace qtk
