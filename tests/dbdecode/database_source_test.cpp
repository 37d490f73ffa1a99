#include "dbbuilder/decode/database_source.h"

#include <gtest/gtest.h>

#include <string>

#include "dbbuilder/decode/database_reader.h"
#include "dbbuilder/lzma_compressor.h"
#include "decode_test_support.h"
#include "demo/demo_set.h"
#include "firmware/image/chunk_ids.h"
#include "testdata/firmware_fixture.h"

namespace qtk::dbbuilder {
namespace {

using Bytes = std::vector<uint8_t>;

struct Databases {
  test::Built built = test::Build(demo::DemoProgramList());
  Bytes compressed = CompressLzmaAlone(built.raw_default).value();
  std::string default_text = Text(ReadDefaultDatabase(built.raw_default));
  std::string user_text = UserText(built.user);

  static std::string Text(const Decoded<DefaultDatabase>& db) {
    return db ? ChannelListOfDefaultDatabase(*db).text : db.message();
  }
  static std::string UserText(const Bytes& user) {
    Decoded<UserDatabase> db = ReadUserDatabase(user);
    return db ? ChannelListOfUserDatabase(*db, user).text : db.message();
  }
};

// The standard test image with the given data in its database chunks; `change` may alter the
// chunk specs further.
template <typename Change>
Bytes Image(const Bytes& default_data, const Bytes& user_data, Change change) {
  std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
  for (testdata::ChunkSpec& c : chunks) {
    if (c.id == kDefaultDatabaseChunkId)
      c.data = default_data;
    if (c.id == kUserDatabaseChunkId)
      c.data = user_data;
    change(c);
  }
  return testdata::BuildFirmware(chunks, "1234");
}
Bytes Image(const Bytes& default_data, const Bytes& user_data) {
  return Image(default_data, user_data, [](testdata::ChunkSpec&) {});
}

std::string Outcome(const Decoded<ChannelList>& list) {
  return list ? list->text : list.message();
}

TEST(ImageDatabase, BothChunksAsSaveAndBuilderLeaveThem) {
  const Databases d;
  const Bytes image = Image(d.compressed, d.built.user);
  EXPECT_EQ(Outcome(DecodeImageDatabase(image, DatabaseKind::kDefault)), d.default_text);
  EXPECT_EQ(Outcome(DecodeImageDatabase(image, DatabaseKind::kUser)), d.user_text);

  // The builder's update step counts 4 filler bytes into the chunk's length; a chunk without
  // a CRC is read up to the next header; a raw database left by a build without compression.
  const Bytes updated = Image(d.compressed, d.built.user, [&](testdata::ChunkSpec& c) {
    if (c.id == kDefaultDatabaseChunkId)
      c.length_field = static_cast<uint32_t>(d.compressed.size() + 116);
  });
  EXPECT_EQ(Outcome(DecodeImageDatabase(updated, DatabaseKind::kDefault)), d.default_text);
  const Bytes no_crc = Image(d.compressed, d.built.user, [](testdata::ChunkSpec& c) {
    c.no_crc = c.no_crc || c.id == kDefaultDatabaseChunkId || c.id == kUserDatabaseChunkId;
  });
  EXPECT_EQ(Outcome(DecodeImageDatabase(no_crc, DatabaseKind::kDefault)), d.default_text);
  EXPECT_EQ(Outcome(DecodeImageDatabase(no_crc, DatabaseKind::kUser)), d.user_text);
  const Bytes raw = Image(d.built.raw_default, d.built.user, [](testdata::ChunkSpec& c) {
    c.no_crc = c.no_crc || c.id == kDefaultDatabaseChunkId;  // 0xFF filler up to the next chunk
  });
  EXPECT_EQ(Outcome(DecodeImageDatabase(raw, DatabaseKind::kDefault)), d.default_text);

  // A CRC ROM inserted behind the user database.
  Bytes with_rom = d.built.user;
  with_rom.resize(2000, 0xFF);
  with_rom.insert(with_rom.end(), {0x12, 0x34, 0x56});
  EXPECT_EQ(Outcome(DecodeImageDatabase(Image(d.compressed, with_rom), DatabaseKind::kUser)),
            d.user_text);
}

TEST(ImageDatabase, ChunksThatHoldNoDatabase) {
  const Databases d;
  EXPECT_EQ(Outcome(DecodeImageDatabase(Bytes(1000, 0x5A), DatabaseKind::kDefault)),
            "It is not a standard firmware file!");
  const Bytes fixture = testdata::BuildStandardFirmware({}, "1234");  // pattern bytes
  EXPECT_EQ(Outcome(DecodeImageDatabase(fixture, DatabaseKind::kDefault)),
            "The default database chunk holds neither an LZMA stream as dfv_k7720x writes it "
            "(header 6C 00 00 80 00) nor a raw default database.");
  EXPECT_EQ(Outcome(DecodeImageDatabase(fixture, DatabaseKind::kUser)),
            "The user database chunk does not hold a user database as dfv_k7720x writes it.");
  EXPECT_EQ(
      Outcome(DecodeImageDatabase(Image(Bytes(600, 0xFF), Bytes(600, 0xFF)), DatabaseKind::kUser)),
      "The user database chunk does not hold a user database as dfv_k7720x writes it.");

  std::vector<testdata::ChunkSpec> without = testdata::StandardChunks({});
  std::erase_if(without, [](const testdata::ChunkSpec& c) {
    return c.id == kDefaultDatabaseChunkId || c.id == kUserDatabaseChunkId;
  });
  const Bytes bare = testdata::BuildFirmware(without, "1234");
  EXPECT_EQ(Outcome(DecodeImageDatabase(bare, DatabaseKind::kDefault)),
            "The firmware has no default database chunk (0x03FC0100).");
  EXPECT_EQ(Outcome(DecodeImageDatabase(bare, DatabaseKind::kUser)),
            "The firmware has no user database chunk (0x04FB0100).");

  const Bytes cut(d.compressed.begin(), d.compressed.begin() + 100);
  EXPECT_EQ(Outcome(DecodeImageDatabase(Image(cut, d.built.user), DatabaseKind::kDefault)),
            "The default database's LZMA stream ends before the 410 bytes its header announces.");
  Bytes damaged_user = d.built.user;
  damaged_user[28 * 3 + 8] = 0x02;
  EXPECT_EQ(Outcome(DecodeImageDatabase(Image(d.compressed, damaged_user), DatabaseKind::kUser)),
            "The user database is damaged: the ST01 table block has 02 01 where 01 01 belong.");
}

TEST(DatabaseFile, EachFileTheBuilderWritesIsRecognised) {
  const Databases d;
  EXPECT_EQ(Outcome(DecodeDatabaseFile(d.compressed, "m_6615_df.bin", false)), d.default_text);
  EXPECT_EQ(Outcome(DecodeDatabaseFile(d.built.raw_default, "unzipped_m_6615_df.bin", false)),
            d.default_text);
  EXPECT_EQ(Outcome(DecodeDatabaseFile(d.built.user, "user_db.bin", false)), d.user_text);
  EXPECT_EQ(Outcome(DecodeDatabaseFile(d.built.user, "user_db.bin", true)), d.user_text);

  const std::string not_one =
      " is not a database that dfv_k7720x writes (m_6615_df.bin, unzipped_m_6615_df.bin or "
      "user_db.bin).";
  EXPECT_EQ(Outcome(DecodeDatabaseFile(d.compressed, "m_6615_df.bin", true)),
            "m_6615_df.bin" + not_one);
  EXPECT_EQ(Outcome(DecodeDatabaseFile({}, "empty.bin", false)), "empty.bin" + not_one);
  EXPECT_EQ(Outcome(DecodeDatabaseFile(Bytes(300, 0x00), "zeros.bin", false)),
            "zeros.bin" + not_one);
  Bytes damaged = d.compressed;
  damaged[13] = 0x01;
  EXPECT_EQ(Outcome(DecodeDatabaseFile(damaged, "m_6615_df.bin", false)),
            "The default database's LZMA stream is corrupt.");
  EXPECT_EQ(Outcome(DecodeDatabaseFile(Bytes(d.built.user.begin(), d.built.user.end() - 2),
                                       "user_db.bin", false)),
            "The user database is damaged: the PT01 table block runs past the end.");
}

TEST(ChunkData, CrcRangeOrWholeRegionInsideTheImage) {
  const Bytes image(1000, 0);
  EXPECT_EQ(ChunkData(image, 100, 112 + 50, 400, true).size(), 50u);
  EXPECT_EQ(ChunkData(image, 100, 112 + 50, 400, false).size(), 400u - 128);
  EXPECT_EQ(ChunkData(image, 100, 100, 400, true).size(), 0u);     // length below the header
  EXPECT_EQ(ChunkData(image, 800, 112, 4000, false).size(), 72u);  // cut at the image end
  EXPECT_EQ(ChunkData(image, 990, 112, 400, false).size(), 0u);
}

}  // namespace
}  // namespace qtk::dbbuilder
