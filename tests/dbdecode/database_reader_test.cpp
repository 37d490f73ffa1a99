#include "dbbuilder/decode/database_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "../dbbuilder/test_support.h"
#include "decode_test_support.h"
#include "firmware/image/byte_order.h"

namespace qtk::dbbuilder {
namespace {

using Bytes = std::vector<uint8_t>;
using test::Line;

// Two satellites: the first with two TPs and three programs, the second ('#') with one TP
// and no programs in the file.
const std::string kList = Line({"*Astra", "1", "", "2", "9750", "10600", "19", "1", "22"}) +
                          Line({"ARD", "", "101", "102", "", "", "103", "11836", "27500", "H"}) +
                          Line({"ZDF", "", "110", "120", "", "", "111", "11953", "27500", "V"}) +
                          Line({"3sat", "", "210", "220", "", "", "211", "11953", "27500", "V"}) +
                          Line({"#Hot"}) +
                          Line({"Rai", "", "512", "650", "", "", "513", "10992", "27500", "V"});

std::string Message(const Decoded<DefaultDatabase>& d) {
  return d ? "read" : d.message();
}
std::string Message(const Decoded<UserDatabase>& d) {
  return d ? "read" : d.message();
}

TEST(DefaultDatabaseReader, SatellitesWithTheirTpsAndPrograms) {
  const Bytes raw = test::Build(kList).raw_default;
  Decoded<DefaultDatabase> db = ReadDefaultDatabase(raw);
  ASSERT_TRUE(db) << db.message();
  ASSERT_EQ(db->satellites.size(), 2u);
  const DefaultDatabaseSatellite& astra = db->satellites[0];
  EXPECT_EQ(test::BytesOf(astra.record), test::Pack(test::SatFields{.name = "Astra",
                                                                    .col1 = 1,
                                                                    .col3_mode = 2,
                                                                    .col3_value = 1,
                                                                    .col7 = 1,
                                                                    .col6 = 19,
                                                                    .col5 = 10600,
                                                                    .col4 = 9750,
                                                                    .col8 = 22,
                                                                    .col8_present = 1}));
  ASSERT_EQ(astra.tps.size(), 2u);
  EXPECT_EQ(test::BytesOf(astra.tps[1]),
            test::Pack(test::TpFields{
                .tp_id = 1, .frequency = 11953, .polarity = 1, .symbol_rate = 27500}));
  ASSERT_EQ(astra.programs.size(), 3u);
  EXPECT_EQ(astra.programs[2].Get(prog::kTpId), 1u);
  EXPECT_EQ(db->satellites[1].tps.size(), 1u);
  EXPECT_EQ(db->satellites[1].programs.size(), 0u);
  EXPECT_EQ(db->TpCount(), 3u);
  EXPECT_EQ(db->ProgramCount(), 3u);
}

TEST(DefaultDatabaseReader, EveryCutNamesWhereTheFileEnds) {
  const Bytes raw = test::Build(kList).raw_default;
  // Satellite 1 starts at 2, its TPs at 32, its program count at 56, its programs at 58;
  // satellite 2 at 166, its TPs at 196, its program count at 208.
  ASSERT_EQ(raw.size(), 210u);
  auto cut = [&](size_t n) {
    return Message(ReadDefaultDatabase(Bytes(raw.begin(), raw.begin() + n)));
  };
  const std::string damaged = "The default database is damaged: ";
  EXPECT_EQ(cut(0), damaged + "it ends before its satellite count.");
  EXPECT_EQ(cut(1), damaged + "it ends before its satellite count.");
  EXPECT_EQ(cut(2), damaged + "it counts 2 satellites, more than its bytes can hold.");
  EXPECT_EQ(cut(165), damaged + "the programs of satellite 1 run past the end.");
  EXPECT_EQ(cut(170), damaged + "satellite 2 runs past the end.");
  EXPECT_EQ(cut(195), damaged + "satellite 2 runs past the end.");
  EXPECT_EQ(cut(31), damaged + "it counts 2 satellites, more than its bytes can hold.");
  EXPECT_EQ(cut(80), damaged + "the programs of satellite 1 run past the end.");
  EXPECT_EQ(cut(207), damaged + "the TPs of satellite 2 run past the end.");
  EXPECT_EQ(cut(209), damaged + "the programs of satellite 2 run past the end.");
  for (size_t n = 0; n < raw.size(); ++n)
    EXPECT_NE(cut(n), "read") << n;

  Bytes tps_cut = raw;
  PutU16LittleEndian(&tps_cut[30], 9);  // satellite 1 claims 9 TPs: its programs are lost
  EXPECT_EQ(Message(ReadDefaultDatabase(tps_cut)),
            damaged + "the programs of satellite 1 run past the end.");
  PutU16LittleEndian(&tps_cut[30], 60000);
  EXPECT_EQ(Message(ReadDefaultDatabase(tps_cut)),
            damaged + "the TPs of satellite 1 run past the end.");
}

TEST(DefaultDatabaseReader, BytesBehindTheLastSatelliteOnlyAsChunkFiller) {
  Bytes raw = test::Build(kList).raw_default;
  raw.insert(raw.end(), 5, 0xFF);
  EXPECT_EQ(Message(ReadDefaultDatabase(raw)),
            "The default database is damaged: 5 bytes follow its last satellite.");
  EXPECT_EQ(Message(ReadDefaultDatabase(raw, TrailingBytes::kFillAllowed)), "read");
  raw.back() = 0x00;
  EXPECT_EQ(Message(ReadDefaultDatabase(raw, TrailingBytes::kFillAllowed)),
            "The default database is damaged: 5 bytes follow its last satellite.");
}

TEST(UserDatabaseReader, TablesAsTheirOffsetsNameThem) {
  const test::Built built = test::Build(kList);
  Decoded<UserDatabase> db = ReadUserDatabase(built.user);
  ASSERT_TRUE(db) << db.message();
  EXPECT_EQ(db->size, built.user.size());
  ASSERT_EQ(db->satellites.size(), 2u);
  ASSERT_EQ(db->tps.size(), 3u);
  ASSERT_EQ(db->programs.size(), 3u);
  EXPECT_EQ(
      test::BytesOf(db->tps[2]),
      test::Pack(test::TpFields{
          .tp_id = 2, .frequency = 10992, .polarity = 1, .sat_index = 1, .symbol_rate = 27500}));
  EXPECT_EQ(db->programs[1].Get(prog::kVideoPid), 110u);

  // The filler of the chunk and a CRC ROM behind the database are not part of it.
  Bytes longer = built.user;
  longer.insert(longer.end(), 40, 0xFF);
  longer.insert(longer.end(), {1, 2, 3});
  db = ReadUserDatabase(longer);
  ASSERT_TRUE(db) << db.message();
  EXPECT_EQ(db->size, built.user.size());

  // Offsets may name any 12 bytes of their run: they are followed.
  Bytes swapped = built.user;
  const size_t tp_block = 0x54;  // 2 satellites, their block and 3 fill bytes: P1 = 84
  ASSERT_EQ(std::string(swapped.begin() + tp_block + 36, swapped.begin() + tp_block + 44),
            "DB@TTT01");
  PutU32LittleEndian(&swapped[tp_block + 36 + 13], 84 + 24);
  db = ReadUserDatabase(swapped);
  ASSERT_TRUE(db) << db.message();
  EXPECT_EQ(db->tps[0], db->tps[2]);
  PutU32LittleEndian(&swapped[tp_block + 36 + 13], 84 + 1);
  db = ReadUserDatabase(swapped);
  ASSERT_TRUE(db) << db.message();
  EXPECT_EQ(db->tps[0].bytes[0], swapped[85]);
}

TEST(UserDatabaseReader, BlockFaults) {
  const Bytes user = test::Build(kList).user;
  // The satellite block starts at 56: marker, tag, 01 01, size, count, offsets 0 and 28,
  // end marker at 77.
  const std::string damaged = "The user database is damaged: ";
  auto with = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    Bytes b = user;
    std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return Message(ReadUserDatabase(b));
  };
  EXPECT_EQ(with(64, {0x01, 0x02}), damaged + "the ST01 table block has 01 02 where 01 01 belong.");
  EXPECT_EQ(with(66, {27}), damaged + "the ST01 table block gives record size 27 instead of 28.");
  EXPECT_EQ(with(67, {3}),
            damaged + "the ST01 table block counts 3 records but 2 stand before it.");
  EXPECT_EQ(with(56, {'X'}), damaged + "no ST01 table block follows the satellite records.");
  EXPECT_EQ(with(77, {0x79}), damaged + "the ST01 table block has no end marker.");
  EXPECT_EQ(with(73, {29}),
            damaged + "offset 29 of satellite 2 points outside the satellite records.");
  EXPECT_EQ(with(69, {0xFF, 0xFF, 0xFF, 0xFF}),
            damaged + "offset 4294967295 of satellite 1 points outside the satellite records.");
  EXPECT_EQ(with(120, {'X'}), damaged + "no TT01 table block follows the TP records.");
  EXPECT_EQ(with(0x54 + 36 + 13, {0, 0, 0, 0}),
            damaged + "offset 0 of TP 1 points outside the TP records.");
  EXPECT_EQ(Message(ReadUserDatabase(Bytes(user.begin(), user.end() - 1))),
            damaged + "the PT01 table block runs past the end.");
  EXPECT_EQ(Message(ReadUserDatabase(Bytes(user.begin(), user.begin() + 81))),
            damaged + "no TT01 table block follows the TP records.");
  for (size_t n = 0; n < user.size(); ++n)
    EXPECT_NE(Message(ReadUserDatabase(Bytes(user.begin(), user.begin() + n))), "read") << n;
}

TEST(UserDatabaseReader, WhatLooksLikeOne) {
  const Bytes user = test::Build(kList).user;
  EXPECT_TRUE(LooksLikeUserDatabase(user));
  EXPECT_TRUE(LooksLikeUserDatabase(test::Build("").user));  // no satellites: block at 0
  EXPECT_FALSE(LooksLikeUserDatabase(test::Build(kList).raw_default));
  EXPECT_FALSE(LooksLikeUserDatabase(Bytes(user.begin(), user.begin() + 60)));
  EXPECT_FALSE(LooksLikeUserDatabase(Bytes(4096, 0xFF)));
  Bytes shifted = user;
  shifted.insert(shifted.begin(), 0x00);  // the block no longer follows whole records
  EXPECT_FALSE(LooksLikeUserDatabase(shifted));
}

}  // namespace
}  // namespace qtk::dbbuilder
