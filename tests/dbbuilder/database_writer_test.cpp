#include "dbbuilder/database_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "test_support.h"

namespace qtk::dbbuilder {
namespace {

using test::Line;
using test::Pack;
using test::ProgFields;
using test::PutLe16;
using test::PutLe32;
using test::SatFields;
using test::TpFields;
using Bytes = std::vector<uint8_t>;

struct Built {
  Bytes default_db;
  Bytes user_db;
  UserTables user;
  std::string warnings;
};

Built Build(const std::string& text, const WriterSettings& settings = {}) {
  Built b;
  ProgramTables tables;
  std::ostringstream out;
  ParseProgramList(test::Bytes(text), tables, out);
  b.default_db = WriteDefaultDatabase(tables, settings, b.user);
  b.user_db = WriteUserDatabase(b.user);
  ReportUserTableDrops(b.user, out);
  b.warnings = out.str();
  return b;
}

void Append(Bytes& out, const Bytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}

// A program line: name, video PID, PCR PID, frequency, symbol rate, polarity, region
// (column 10), column-12 flag, audio channel (column 13).
std::string Prog(std::string_view name, std::string_view freq, std::string_view region = "",
                 std::string_view col12 = "", std::string_view audio = "L") {
  return Line({name, "", "33", "", "", "", "34", freq, "27500", "H", region, "", col12, audio});
}

ProgFields ProgExpected(std::string name, uint32_t tp_id, uint32_t sat, uint32_t region = 0,
                        uint32_t col12 = 0, uint32_t audio = 0) {
  ProgFields f{.name = std::move(name),
               .tp_id = tp_id,
               .video_pid = 33,
               .col12 = col12,
               .region = region,
               .pcr_pid = 34,
               .audio_channel = audio,
               .sat_index = sat};
  return f;
}

TpFields TpExpected(uint32_t tp_id, uint32_t freq, uint32_t sat) {
  return TpFields{.tp_id = tp_id, .frequency = freq, .sat_index = sat, .symbol_rate = 27500};
}

// The table block of the user database file, built from its documented layout.
Bytes Block(const char* tag, uint8_t record_size, const std::vector<uint32_t>& offsets) {
  const std::string head = std::string("DB@T") + tag;
  Bytes b(head.begin(), head.end());
  b.push_back(1);
  b.push_back(1);
  b.push_back(record_size);
  PutLe16(b, static_cast<uint32_t>(offsets.size()));
  for (uint32_t o : offsets)
    PutLe32(b, o);
  PutLe32(b, 0x12345678);
  return b;
}

TEST(DefaultDatabase, SatellitesWithTheirTpsAndProgramsInTableOrder) {
  Built b =
      Build("*Alpha\r\n" + Prog("A1", "11000") + Prog("A2", "12000") + Prog("A3", "11000") +
            "*Empty\r\n#Marked\t1\r\n" + Prog("M1", "10000") + "*Beta\r\n" + Prog("B1", "11000"));
  Bytes expected;
  PutLe16(expected, 4);
  Append(expected, Pack(SatFields{.name = "Alpha", .sat_index = 0}));
  PutLe16(expected, 2);
  Append(expected, Pack(TpExpected(0, 11000, 0)));
  Append(expected, Pack(TpExpected(1, 12000, 0)));
  PutLe16(expected, 3);
  Append(expected, Pack(ProgExpected("A1", 0, 0)));
  Append(expected, Pack(ProgExpected("A2", 1, 0)));
  Append(expected, Pack(ProgExpected("A3", 0, 0)));
  Append(expected, Pack(SatFields{.name = "Empty", .sat_index = 1}));
  PutLe16(expected, 0);
  PutLe16(expected, 0);
  // The no-program mark keeps the satellite's TPs and leaves its programs out of both files.
  Append(expected, Pack(SatFields{.name = "Marked", .sat_index = 2, .col1 = 1}));
  PutLe16(expected, 1);
  Append(expected, Pack(TpExpected(2, 10000, 2)));
  PutLe16(expected, 0);
  Append(expected, Pack(SatFields{.name = "Beta", .sat_index = 3}));
  PutLe16(expected, 1);
  Append(expected, Pack(TpExpected(3, 11000, 3)));
  PutLe16(expected, 1);
  Append(expected, Pack(ProgExpected("B1", 3, 3)));
  EXPECT_EQ(b.default_db, expected);

  EXPECT_EQ(b.user.satellites.size(), 4u);
  EXPECT_EQ(b.user.tps.size(), 4u);
  ASSERT_EQ(b.user.programs.size(), 4u);
  EXPECT_EQ(test::BytesOf(b.user.programs[3]), Pack(ProgExpected("B1", 3, 3)));
}

TEST(DefaultDatabase, EmptyListIsASatelliteCountOfZero) {
  EXPECT_EQ(Build("").default_db, (Bytes{0, 0}));
  EXPECT_EQ(Build("; only a comment\r\n").default_db, (Bytes{0, 0}));
}

TEST(UserDatabase, LayoutOfOneSatelliteOneTpOneProgram) {
  Built b = Build("*Sat\r\n" + Prog("P", "11000"));
  const Bytes& u = b.user_db;
  ASSERT_EQ(u.size(), 145u);
  Bytes expected = Pack(SatFields{.name = "Sat"});
  Append(expected, Block("ST01", 28, {0}));  // 28 to 49
  Append(expected, {0xFF, 0xFF, 0xFF});
  Append(expected, Pack(TpExpected(0, 11000, 0)));  // P1 = 52
  Append(expected, Block("TT01", 12, {52}));        // 64 to 85
  Append(expected, {0xFF, 0xFF, 0xFF});
  Append(expected, Pack(ProgExpected("P", 0, 0)));  // P2 = 88
  Append(expected, Block("PT01", 36, {88}));        // 124 to 145
  EXPECT_EQ(u, expected);
  EXPECT_EQ(Bytes(u.begin() + 28, u.begin() + 32), (Bytes{'D', 'B', '@', 'T'}));
  EXPECT_EQ(Bytes(u.begin() + 64, u.begin() + 68), (Bytes{'D', 'B', '@', 'T'}));
  EXPECT_EQ(Bytes(u.begin() + 124, u.begin() + 128), (Bytes{'D', 'B', '@', 'T'}));
  EXPECT_EQ(Bytes(u.begin() + 141, u.end()), (Bytes{0x78, 0x56, 0x34, 0x12}));
}

TEST(UserDatabase, OffsetsAndAlignmentForLongerRuns) {
  // 2 satellites: 56 + 13 + 8 + 4 = 81, fill to 84. 3 TPs: 84 + 36 = 120, block to 149,
  // fill to 152. No programs: the block follows at once.
  Built b = Build("*A\r\n" + Prog("x", "1") + Prog("y", "2") + "*B\r\n" + Prog("z", "3"),
                  WriterSettings{.load_domestic = 2});
  Bytes expected;
  Append(expected, Pack(SatFields{.name = "A"}));
  Append(expected, Pack(SatFields{.name = "B", .sat_index = 1}));
  Append(expected, Block("ST01", 28, {0, 28}));
  Append(expected, {0xFF, 0xFF, 0xFF});
  Append(expected, Pack(TpExpected(0, 1, 0)));
  Append(expected, Pack(TpExpected(1, 2, 0)));
  Append(expected, Pack(TpExpected(2, 3, 1)));
  Append(expected, Block("TT01", 12, {84, 96, 108}));
  Append(expected, {0xFF, 0xFF, 0xFF});
  Append(expected, Block("PT01", 36, {}));
  EXPECT_EQ(b.user_db, expected);
  // An empty list still has its three blocks: 17, fill to 20, 17, fill to 40, 17.
  Bytes empty = Block("ST01", 28, {});
  Append(empty, {0xFF, 0xFF, 0xFF});
  Append(empty, Block("TT01", 12, {}));
  Append(empty, {0xFF, 0xFF, 0xFF});
  Append(empty, Block("PT01", 36, {}));
  EXPECT_EQ(Build("").user_db, empty);
}

TEST(UserDatabase, RemoveProgramLeavesProgramsOutOfBothFiles) {
  Built b = Build("*S\r\n" + Prog("P", "11000"), WriterSettings{.remove_program = true});
  Bytes expected;
  PutLe16(expected, 1);
  Append(expected, Pack(SatFields{.name = "S"}));
  PutLe16(expected, 1);
  Append(expected, Pack(TpExpected(0, 11000, 0)));
  PutLe16(expected, 0);
  EXPECT_EQ(b.default_db, expected);
  EXPECT_TRUE(b.user.programs.empty());
  EXPECT_EQ(Bytes(b.user_db.end() - 17, b.user_db.end()), Block("PT01", 36, {}));
}

TEST(UserDatabase, DomesticFilter) {
  const std::string list =
      "*S\r\n" + Prog("Home", "1", "0") + Prog("Away", "1", "2") + Prog("Near", "1", "1");
  auto names = [](const Built& b) {
    std::string n;
    for (const auto& p : b.user.programs)
      n += std::string(GetName(p, prog::kNameOffset)) + ",";
    return n;
  };
  Built all = Build(list, WriterSettings{.load_domestic = 0});
  Built domestic = Build(list, WriterSettings{.load_domestic = 1});
  Built none = Build(list, WriterSettings{.load_domestic = 2});
  EXPECT_EQ(names(all), "Home,Away,Near,");
  EXPECT_EQ(names(domestic), "Home,");
  EXPECT_EQ(names(none), "");
  // The default database file holds every program in each case.
  EXPECT_EQ(all.default_db, domestic.default_db);
  EXPECT_EQ(all.default_db, none.default_db);
  EXPECT_EQ(Build(list, WriterSettings{.load_domestic = 255}).user.programs.size(), 0u);
}

TEST(UserDatabase, AudioOverrideByColumn12) {
  const std::string list = "*S\r\n" + Prog("Tv", "1", "", "1", "L") +
                           Prog("Radio", "1", "", "0", "L") + Prog("Odd", "1", "", "3", "R");
  auto codes = [&](uint8_t tv, uint8_t radio) {
    Built b =
        Build(list, WriterSettings{.tv_radio_audio_channel = tv, .radio_audio_channel = radio});
    std::vector<uint32_t> c;
    for (const auto& p : b.user.programs)
      c.push_back(p.Get(prog::kAudioChannel));
    return c;
  };
  using C = std::vector<uint32_t>;
  EXPECT_EQ(codes(0, 0), (C{0, 0, 1}));
  EXPECT_EQ(codes(3, 0), (C{2, 0, 2}));  // column 12 = 3 has flag 1
  EXPECT_EQ(codes(0, 2), (C{0, 1, 1}));
  EXPECT_EQ(codes(1, 3), (C{0, 2, 0}));
  EXPECT_EQ(codes(4, 4), (C{0, 0, 1}));
  // The default database file keeps the codes as parsed.
  Built b = Build(list, WriterSettings{.tv_radio_audio_channel = 3});
  EXPECT_EQ(Bytes(b.default_db.begin() + 46, b.default_db.begin() + 82),
            Pack(ProgExpected("Tv", 0, 0, 0, 1, 0)));
  Bytes in_user(b.user_db.begin() + 88, b.user_db.begin() + 124);
  EXPECT_EQ(in_user, Pack(ProgExpected("Tv", 0, 0, 0, 1, 2)));
}

TEST(OrphanPrograms, NeverAppearUnderAnySatellite) {
  Built b = Build(Prog("Early", "11000") + "*S\r\n" + Prog("Late", "12000"));
  Bytes expected;
  PutLe16(expected, 1);
  Append(expected, Pack(SatFields{.name = "S"}));
  PutLe16(expected, 1);
  Append(expected, Pack(TpExpected(1, 12000, 0)));  // TP 0 is the orphan's
  PutLe16(expected, 1);
  Append(expected, Pack(ProgExpected("Late", 1, 0)));
  EXPECT_EQ(b.default_db, expected);
}

TEST(OrphanPrograms, NeverAppearUnderSatellite2047) {
  // Read literally, the orphan TP (satellite field 2047) would be listed under satellite 2047
  // and the program of satellite 2047 with the same key would share it.
  std::string list = Prog("Early", "11000");
  for (int s = 0; s < 2048; ++s)
    list += "*S" + std::to_string(s) + "\r\n";
  list += Prog("Last", "11000");
  Built b = Build(list);
  const size_t last_sat = 2 + 2047 * (28 + 2 + 2);
  Bytes expected;
  Append(expected, Pack(SatFields{.name = "S2047", .sat_index = 2047}));
  PutLe16(expected, 1);
  Append(expected, Pack(TpExpected(1, 11000, 2047)));
  PutLe16(expected, 1);
  Append(expected, Pack(ProgExpected("Last", 1, 2047)));
  EXPECT_EQ(Bytes(b.default_db.begin() + static_cast<long>(last_sat), b.default_db.end()),
            expected);
  // The user TP table takes every TP written, also when its satellite did not fit the user
  // satellite table; the orphan TP is not among them.
  ASSERT_EQ(b.user.tps.size(), 1u);
  EXPECT_EQ(test::BytesOf(b.user.tps[0]), Pack(TpExpected(1, 11000, 2047)));
}

TEST(UserTables, RecordsBeyondTheTableSizesAreLeftOutWithAWarning) {
  std::string list;
  for (int s = 0; s < 514; ++s)
    list += "*S\r\n";
  list += "#Marked\r\n";
  for (int t = 0; t < 3001; ++t)
    list += Prog("p", std::to_string(t));
  list += "*Last\r\n";
  for (int p = 0; p < 5003; ++p)
    list += Prog("q", "1");
  Built b = Build(list);
  EXPECT_EQ(b.user.satellites.size(), 512u);
  EXPECT_EQ(b.user.tps.size(), 3000u);
  EXPECT_EQ(b.user.programs.size(), 5000u);
  EXPECT_EQ(b.warnings,
            "Warning: user satellite table full (512), satellites left out of user_db.bin: 4\n"
            "Warning: user TP table full (3000), TPs left out of user_db.bin: 2\n"
            "Warning: user program table full (5000), programs left out of user_db.bin: 3\n");
  // Each run, its block and (after the first two blocks) 3 bytes of fill.
  EXPECT_EQ(b.user_db.size(), 512 * 28 + 13 + 512 * 4 + 4 + 3 + 3000 * 12 + 13 + 3000 * 4 + 4 + 3 +
                                  5000 * 36 + 13 + 5000 * 4 + 4);
}

}  // namespace
}  // namespace qtk::dbbuilder
