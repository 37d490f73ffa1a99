#include "dbbuilder/decode/channel_list.h"

#include <gtest/gtest.h>

#include <string>

#include "dbbuilder/decode/database_reader.h"
#include "decode_test_support.h"
#include "demo/demo_set.h"

namespace qtk::dbbuilder {
namespace {

using test::Line;

const std::string kColumnComments =
    "; Satellite: * (or #: its programs are not kept), name, col 1, -, col 3, col 4, col 5, col "
    "6, col 7, col 8\r\n"
    "; Program: name, -, video PID, audio PIDs 1-3, PCR PID, frequency, symbol rate, polarity, "
    "region, col 11, col 12, audio channel, col 14, col 15, col 16, col 17\r\n";

ChannelList DefaultList(const std::string& text, const WriterSettings& settings = {}) {
  Decoded<DefaultDatabase> db = ReadDefaultDatabase(test::Build(text, settings).raw_default);
  EXPECT_TRUE(db) << db.message();
  return db ? ChannelListOfDefaultDatabase(*db) : ChannelList{};
}

ChannelList UserList(const std::string& text, const WriterSettings& settings = {}) {
  const std::vector<uint8_t> user = test::Build(text, settings).user;
  Decoded<UserDatabase> db = ReadUserDatabase(user);
  EXPECT_TRUE(db) << db.message();
  return db ? ChannelListOfUserDatabase(*db, user) : ChannelList{};
}

TEST(ChannelList, DemoListAsTheDatabaseKeepsIt) {
  const ChannelList list = DefaultList(demo::DemoProgramList());
  // Comments are gone, column 1 and values beyond their fields are not kept (satellite
  // column 6 keeps 7 bits, column 8 one byte), and the empty '#' satellite is one like any.
  EXPECT_EQ(
      list.text,
      "; Channel list decoded from a default database (satellites: 3, TPs: 5, programs: 7).\r\n" +
          kColumnComments +
          "*Astra 19.2E\t1\t\t1\t10700\t11700\t64\t1\t22\r\n"
          "Das Erste\t\t101\t102\t0\t0\t101\t11836\t27500\tH\t0\t0\t1\tS\t0\t0\t0\t0\r\n"
          "ZDF\t\t110\t120\t0\t0\t110\t11953\t27500\tH\t0\t0\t1\tS\t0\t0\t0\t0\r\n"
          "Arte\t\t401\t402\t0\t0\t401\t10744\t22000\tH\t0\t0\t1\tS\t0\t0\t0\t0\r\n"
          "3sat\t\t210\t220\t0\t0\t210\t11953\t27500\tH\t0\t0\t1\tS\t0\t0\t0\t0\r\n"
          "*Hotbird 13E\t1\t\t1\t10700\t11700\t2\t1\t22\r\n"
          "Rai 1\t\t512\t650\t0\t0\t512\t10992\t27500\tV\t0\t0\t1\tS\t0\t0\t0\t0\r\n"
          "Rai 2\t\t513\t651\t0\t0\t513\t10992\t27500\tV\t0\t0\t1\tS\t0\t0\t0\t0\r\n"
          "TV5 Monde\t\t160\t80\t0\t0\t160\t11137\t27500\tH\t0\t0\t1\tS\t0\t0\t0\t0\r\n"
          "*Eutelsat 16E\t1\t\t1\t10700\t11700\t32\t1\t22\r\n");
  EXPECT_EQ(list.kind, DatabaseKind::kDefault);
  EXPECT_EQ(list.difference, "");
  EXPECT_EQ(list.load_domestic, 0);
  EXPECT_TRUE(list.Notices().empty());
  EXPECT_EQ(list.satellites, 3u);
  EXPECT_EQ(list.tps, 5u);
  EXPECT_EQ(list.programs, 7u);
}

TEST(ChannelList, TpIdsOfEarlyProgramsAndTpsOfMarkedSatellites) {
  const std::string text =
      Line({"Early", "", "1", "", "", "", "2", "100", "1", "H"}) + Line({"*Sat A"}) +
      Line({"P1", "", "1", "", "", "", "2", "11836", "27500", "H"}) +
      Line({"P2", "", "3", "", "", "", "4", "11836", "27500", "H", "", "2"}) + Line({"#Marked"}) +
      Line({"M1", "", "1", "", "", "", "2", "10700", "22000", "V", "", "1"}) +
      Line({"M2", "", "1", "", "", "", "2", "10800", "22000", "V"}) +
      Line({"M3", "", "1", "", "", "", "2", "10700", "22000", "V"});
  const ChannelList list = DefaultList(text);
  EXPECT_EQ(
      list.text,
      "; Channel list decoded from a default database (satellites: 2, TPs: 3, programs: 2).\r\n" +
          kColumnComments +
          "; Lines named TP only create a TP.\r\n"
          "; TP ids taken by programs before the first satellite\r\n"
          "TP\t\t0\t0\t0\t0\t0\t0\t0\tH\t1\t0\r\n"
          "*Sat A\t0\t\t0\t0\t0\t0\t0\t0\r\n"
          "P1\t\t1\t0\t0\t0\t2\t11836\t27500\tH\t0\t0\t0\t\t0\t0\t0\t0\r\n"
          "P2\t\t3\t0\t0\t0\t4\t11836\t27500\tH\t0\t2\t0\t\t0\t0\t0\t0\r\n"
          "#Marked\t0\t\t0\t0\t0\t0\t0\t0\r\n"
          "TP\t\t0\t0\t0\t0\t0\t10700\t22000\tV\t1\t1\r\n"
          "TP\t\t0\t0\t0\t0\t0\t10800\t22000\tV\t1\t0\r\n");
  EXPECT_EQ(list.difference, "");
}

TEST(ChannelList, UserDatabaseOfTheDomesticFilterAsksForIt) {
  // The foreign program creates the TP with column 11 = 2; the domestic one on the same TP
  // has 0; the second TP has only a foreign program.
  const std::string text =
      Line({"*S"}) + Line({"Foreign", "", "1", "", "", "", "2", "11000", "100", "H", "1", "2"}) +
      Line({"Home", "", "3", "", "", "", "4", "11000", "100", "H", "0", "0"}) +
      Line({"Away", "", "5", "", "", "", "6", "12000", "100", "V", "2", "1"});
  WriterSettings domestic;
  domestic.load_domestic = 1;
  const ChannelList list = UserList(text, domestic);
  EXPECT_EQ(list.kind, DatabaseKind::kUser);
  EXPECT_EQ(list.load_domestic, 1);
  EXPECT_EQ(list.difference, "");
  EXPECT_EQ(
      list.text,
      "; Channel list decoded from a user database (satellites: 1, TPs: 2, programs: 1).\r\n" +
          kColumnComments +
          "; Lines named TP only create a TP.\r\n"
          "; Build it with LoadDomestic=1: that keeps the TP lines (region 1) out of the user "
          "database.\r\n"
          "*S\t0\t\t0\t0\t0\t0\t0\t0\r\n"
          "TP\t\t0\t0\t0\t0\t0\t11000\t100\tH\t1\t2\r\n"
          "Home\t\t3\t0\t0\t0\t4\t11000\t100\tH\t0\t0\t0\t\t0\t0\t0\t0\r\n"
          "TP\t\t0\t0\t0\t0\t0\t12000\t100\tV\t1\t1\r\n");
  EXPECT_EQ(list.Notices(),
            std::vector<std::string>{
                "Note: build this channel list with LoadDomestic=1 to get the same user database "
                "back."});
  // Without foreign programs filtered out nothing is asked for.
  EXPECT_EQ(UserList(text).load_domestic, 0);
}

TEST(ChannelList, DatabasesTheBuilderCannotMakeAreNamedWhereTheyDiffer) {
  const std::string text = Line({"*S"}) + Line({"A", "", "1", "", "", "", "2", "11000", "100"}) +
                           Line({"B", "", "1", "", "", "", "2", "12000", "100"});
  Decoded<DefaultDatabase> db = ReadDefaultDatabase(test::Build(text).raw_default);
  ASSERT_TRUE(db);
  auto difference = [](DefaultDatabase changed) {
    return ChannelListOfDefaultDatabase(changed).difference;
  };
  DefaultDatabase changed = *db;
  changed.satellites[0].record.bytes[11] = 0x80;  // a bit no column sets
  EXPECT_EQ(difference(changed), "satellite 1");
  changed = *db;
  changed.satellites[0].programs[1].bytes[35] = 'x';  // no zero byte at the end of the name
  EXPECT_EQ(difference(changed), "program 2 of satellite 1");
  changed = *db;
  changed.satellites[0].tps[1] = changed.satellites[0].tps[0];  // one TP twice
  EXPECT_EQ(difference(changed), "TP 2 of satellite 1");
  changed = *db;
  changed.satellites[0].tps.pop_back();  // a program names a TP that is not there
  EXPECT_EQ(difference(changed), "the number of TPs of satellite 1");
  changed = *db;
  changed.satellites[0].tps[0].bytes[11] = 1;
  EXPECT_EQ(difference(changed), "TP 1 of satellite 1");

  const ChannelList list = ChannelListOfDefaultDatabase(changed);
  EXPECT_EQ(list.Notices(),
            std::vector<std::string>{"Warning: dfv_k7720x does not give back the same default "
                                     "database from this channel list: TP 1 of satellite 1 "
                                     "differs."});
  EXPECT_NE(list.text.find("; dfv_k7720x does not give back the same default database from this "
                           "list: TP 1 of satellite 1 differs.\r\n*S\t"),
            std::string::npos);

  // The user database: other filler between its sections.
  std::vector<uint8_t> user = test::Build(text).user;
  ASSERT_EQ(user[49], 0xFF);
  user[49] = 0x00;
  Decoded<UserDatabase> udb = ReadUserDatabase(user);
  ASSERT_TRUE(udb);
  EXPECT_EQ(ChannelListOfUserDatabase(*udb, user).difference, "the table blocks");
  // A bit no column sets in the first program record (P2 = 104).
  user = test::Build(text).user;
  user[104 + 13] |= 0x10;
  udb = ReadUserDatabase(user);
  ASSERT_TRUE(udb);
  const ChannelList user_list = ChannelListOfUserDatabase(*udb, user);
  EXPECT_EQ(user_list.difference, "program 1");
  EXPECT_EQ(user_list.Notices(),
            std::vector<std::string>{"Warning: dfv_k7720x does not give back the same user "
                                     "database from this channel list: program 1 differs."});
}

}  // namespace
}  // namespace qtk::dbbuilder
