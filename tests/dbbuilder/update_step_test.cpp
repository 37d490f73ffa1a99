#include "dbbuilder/update_step.h"

#include <gtest/gtest.h>

#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/crc32.h"
#include "firmware/image/image_parser.h"
#include "testdata/image_builder.h"

namespace qtk::dbbuilder {
namespace {

using Bytes = std::vector<uint8_t>;
using testdata::BuildImage;
using testdata::ChunkSpec;
using testdata::PatternBytes;

ChunkSpec Chunk(uint32_t id, size_t data_size, uint32_t region) {
  ChunkSpec c;
  c.id = id;
  c.name = "chunk";
  c.data = PatternBytes(data_size, static_cast<uint8_t>(id >> 24));
  c.region_size = region;
  return c;
}

// Boot loader, main code, default database chunk with the given region, user database.
Bytes Image(uint32_t db_region) {
  return BuildImage({Chunk(kBootloaderChunkId, 100, 512), Chunk(kMainCodeChunkId, 300, 1024),
                     Chunk(kDefaultDatabaseChunkId, 50, db_region),
                     Chunk(kUserDatabaseChunkId, 64, 0)});
}

constexpr size_t kDbAt = 512 + 1024;

TEST(UpdateStep, ValueFillingTheChunkUpToFourBytes) {
  const Bytes value = PatternBytes(1000, 9);
  const uint32_t region = 128 + 1000 + 4;  // exactly W + 4 behind the header
  Bytes image = Image(region);
  const Bytes before = image;
  ASSERT_EQ(UpdateDefaultDatabaseChunk(image, value), UpdateStatus::kUpdated);

  ASSERT_EQ(image.size(), before.size());
  EXPECT_TRUE(std::equal(image.begin() + kDbAt + 128, image.begin() + kDbAt + 1128, value.begin()));
  EXPECT_EQ(Bytes(image.begin() + kDbAt + 1128, image.begin() + kDbAt + region), Bytes(4, 0xFF));
  EXPECT_EQ(ReadU32BigEndian(image, kDbAt + 4), 1000u + 116u);
  const uint32_t crc = Crc32(kCrcInitial, image.data() + kDbAt + 16, 1000 + 116);
  EXPECT_EQ(ReadU32BigEndian(image, kDbAt + 12), crc);
  // Only the length, crc and data of that chunk change; the whole image still parses.
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + kDbAt + 4, image.begin()));
  EXPECT_TRUE(std::equal(before.begin() + kDbAt + 8, before.begin() + kDbAt + 12,
                         image.begin() + kDbAt + 8));
  EXPECT_TRUE(std::equal(before.begin() + kDbAt + 16, before.begin() + kDbAt + 128,
                         image.begin() + kDbAt + 16));
  EXPECT_TRUE(
      std::equal(before.begin() + kDbAt + region, before.end(), image.begin() + kDbAt + region));
  ChunkTable table;
  EXPECT_EQ(ParseImage(image, table), 4);
}

TEST(UpdateStep, OneByteLessRoomIsTooLongAndChangesNothing) {
  const Bytes value = PatternBytes(1000, 9);
  Bytes image = Image(128 + 1000 + 3);
  const Bytes before = image;
  EXPECT_EQ(UpdateDefaultDatabaseChunk(image, value), UpdateStatus::kValueTooLong);
  EXPECT_EQ(image, before);
}

TEST(UpdateStep, ShortValueIsFollowedByFillUpToTheNextHeader) {
  Bytes image = Image(4096);
  ASSERT_EQ(UpdateDefaultDatabaseChunk(image, Bytes{1, 2, 3}), UpdateStatus::kUpdated);
  EXPECT_EQ(Bytes(image.begin() + kDbAt + 128, image.begin() + kDbAt + 131), (Bytes{1, 2, 3}));
  EXPECT_EQ(Bytes(image.begin() + kDbAt + 131, image.begin() + kDbAt + 4096),
            Bytes(4096 - 131, 0xFF));
  EXPECT_EQ(ReadU32BigEndian(image, kDbAt + 4), 119u);
}

TEST(UpdateStep, RoomBelowTheHeaderSizeIsTooLongNotAWrap) {
  // Read literally, span - 128 wraps for a span below 128 and any value "fits".
  Bytes image = Image(4096);
  PutU32BigEndian(image.data() + kDbAt + 8, 100);
  const Bytes before = image;
  EXPECT_EQ(UpdateDefaultDatabaseChunk(image, Bytes{1}), UpdateStatus::kValueTooLong);
  EXPECT_EQ(image, before);
}

TEST(UpdateStep, ChunkWithoutARoomSizeOrRunningPastTheFileIsRefused) {
  // The default database chunk as the last chunk: offset to next is 0.
  Bytes last =
      BuildImage({Chunk(kBootloaderChunkId, 10, 256), Chunk(kDefaultDatabaseChunkId, 10, 4096)});
  EXPECT_EQ(UpdateDefaultDatabaseChunk(last, Bytes{1}), UpdateStatus::kNoChunk);
  // A chunk whose room reaches past the end of the file.
  Bytes cut = Image(4096);
  cut.resize(kDbAt + 2000);
  const Bytes before = cut;
  EXPECT_EQ(UpdateDefaultDatabaseChunk(cut, Bytes{1}), UpdateStatus::kNoChunk);
  EXPECT_EQ(cut, before);
}

TEST(ChunkWalk, FindsTheFirstIdWithPrefix03FC) {
  Bytes image =
      BuildImage({Chunk(kBootloaderChunkId, 10, 256), Chunk(0x03FC0200u, 10, 512),
                  Chunk(kDefaultDatabaseChunkId, 10, 512), Chunk(kUserDatabaseChunkId, 10, 0)});
  EXPECT_EQ(FindDefaultDatabaseChunk(image), 256u);
  // The first chunk is looked at too.
  Bytes first =
      BuildImage({Chunk(kDefaultDatabaseChunkId, 10, 256), Chunk(kUserDatabaseChunkId, 10, 0)});
  EXPECT_EQ(FindDefaultDatabaseChunk(first), 0u);
}

TEST(ChunkWalk, EndsWithoutAResult) {
  Bytes image = Image(512);
  // No default database chunk.
  Bytes none = BuildImage({Chunk(kBootloaderChunkId, 10, 256), Chunk(kUserDatabaseChunkId, 10, 0)});
  EXPECT_EQ(FindDefaultDatabaseChunk(none), std::nullopt);
  // An id of 0xFFFFFFFF before it.
  Bytes erased = image;
  PutU32BigEndian(erased.data() + 512, 0xFFFFFFFFu);
  EXPECT_EQ(FindDefaultDatabaseChunk(erased), std::nullopt);
  // An offset to next of 0, larger than the file, or as large as a u32 can be.
  for (uint32_t next : {0u, static_cast<uint32_t>(image.size() + 1), 0xFFFFFFFFu}) {
    Bytes bad = image;
    PutU32BigEndian(bad.data() + 512 + 8, next);
    EXPECT_EQ(FindDefaultDatabaseChunk(bad), std::nullopt) << next;
  }
  // A next header that starts at the end of the file, or too close to it for its fields.
  for (size_t size : {size_t{512}, size_t{512 + 3}, size_t{512 + 1024 + 2}}) {
    Bytes cut(image.begin(), image.begin() + static_cast<long>(size));
    EXPECT_EQ(FindDefaultDatabaseChunk(cut), std::nullopt) << size;
  }
  EXPECT_EQ(FindDefaultDatabaseChunk(Bytes{}), std::nullopt);
  EXPECT_EQ(FindDefaultDatabaseChunk(Bytes{0x01, 0xFE, 0x01, 0x01, 0, 0}), std::nullopt);
}

}  // namespace
}  // namespace qtk::dbbuilder
