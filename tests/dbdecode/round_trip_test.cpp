// The decoder's promise: dfv_k7720x, run on the list decoded from a database it wrote, writes
// that database again, byte for byte. Checked on generated lists of every shape.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "dbbuilder/builder.h"
#include "dbbuilder/decode/channel_list.h"
#include "dbbuilder/decode/database_reader.h"
#include "dbbuilder/decode/database_source.h"
#include "decode_test_support.h"
#include "testdata/image_builder.h"
#include "testdata/program_list_generator.h"
#include "testdata/temp_dir.h"

namespace qtk::dbbuilder {
namespace {

using test::Build;
using test::Built;

// Decodes both databases of `built` and builds their lists again: the default database list
// with the settings of the first build gives both databases back, the user database list
// with the LoadDomestic value it asks for gives the user database back.
void ExpectRoundTrip(const std::string& text, const WriterSettings& settings,
                     const std::string& what) {
  const Built built = Build(text, settings);
  Decoded<DefaultDatabase> db = ReadDefaultDatabase(built.raw_default);
  ASSERT_TRUE(db) << what << ": " << db.message();
  const ChannelList list = ChannelListOfDefaultDatabase(*db);
  EXPECT_EQ(list.difference, "") << what;
  const Built again = Build(list.text, settings);
  ASSERT_EQ(again.raw_default, built.raw_default) << what << "\n" << list.text;
  ASSERT_EQ(again.user, built.user) << what << "\n" << list.text;

  Decoded<UserDatabase> user = ReadUserDatabase(built.user);
  ASSERT_TRUE(user) << what << ": " << user.message();
  EXPECT_EQ(user->size, built.user.size()) << what;
  const ChannelList user_list = ChannelListOfUserDatabase(*user, built.user);
  EXPECT_EQ(user_list.difference, "") << what;
  WriterSettings rebuild;
  rebuild.load_domestic = user_list.load_domestic;
  ASSERT_EQ(Build(user_list.text, rebuild).user, built.user) << what << "\n" << user_list.text;
}

WriterSettings SettingsFor(uint64_t seed) {
  WriterSettings s;
  s.load_domestic = static_cast<uint8_t>(seed % 3);  // off, domestic only, none
  s.remove_program = seed % 11 == 5;
  s.tv_radio_audio_channel = static_cast<uint8_t>(seed / 3 % 5);
  s.radio_audio_channel = static_cast<uint8_t>(seed / 7 % 5);
  return s;
}

TEST(RoundTrip, ThousandsOfSmallGeneratedListsOfEveryShape) {
  // Plain columns, odd columns and lines, many '#' satellites, one TP for all programs of a
  // satellite, many programs before the first satellite.
  const testdata::ProgramListShape shapes[] = {
      {.odd_columns = false, .odd_lines = false},
      {},
      {.marked_percent = 60},
      {.max_programs_per_satellite = 12, .tps_per_satellite = 1},
      {.max_satellites = 2, .max_orphan_programs = 12},
      {.max_satellites = 20, .max_programs_per_satellite = 3, .tps_per_satellite = 8},
  };
  int lists = 0;
  for (uint64_t seed = 0; seed < 1200; ++seed) {
    const auto& shape = shapes[seed % std::size(shapes)];
    const std::string text = testdata::GenerateProgramList(seed, shape);
    ExpectRoundTrip(text, SettingsFor(seed), "seed " + std::to_string(seed));
    if (HasFatalFailure())
      return;
    ++lists;
  }
  EXPECT_EQ(lists, 1200);
}

TEST(RoundTrip, LargeListsUpToFullTables) {
  for (uint64_t seed = 0; seed < 3; ++seed) {
    const testdata::ProgramListShape shape{.max_satellites = 300,
                                           .max_programs_per_satellite = 60,
                                           .tps_per_satellite = 40,
                                           .max_orphan_programs = 30};
    ExpectRoundTrip(testdata::GenerateProgramList(1000 + seed, shape), SettingsFor(seed),
                    "large seed " + std::to_string(seed));
  }
  for (uint64_t seed = 0; seed < 3; ++seed) {
    ExpectRoundTrip(testdata::OverfullProgramList(seed), SettingsFor(seed * 4),
                    "overfull seed " + std::to_string(seed));
  }
  // More TPs before the first satellite than the 13 bits of a TP record count: the ids of the
  // TPs written start beyond 8191, which only the programs' 16-bit ids show.
  std::string early;
  for (int i = 0; i < 8200; ++i)
    early += "E\t\t1\t\t\t\t2\t" + std::to_string(i) + "\t1\r\n";
  early += "*Sat\r\nP\t\t1\t\t\t\t2\t11000\t1\r\n";
  ExpectRoundTrip(early + testdata::GenerateProgramList(5, {}), {}, "8200 early TPs");
}

TEST(RoundTrip, TheBuilderRunOnTheDecodedListWritesTheSameFiles) {
  const std::string text = testdata::GenerateProgramList(77, {.max_satellites = 12});
  testdata::TempDir first, second;
  std::ostringstream out;
  testdata::WriteFile(first.File("program_list.txt"),
                      std::vector<uint8_t>(text.begin(), text.end()));
  RunBuilder(first.path(), first.path(), out);
  const std::vector<uint8_t> compressed = testdata::ReadFile(first.File("m_6615_df.bin"));
  Decoded<ChannelList> list = DecodeDatabaseFile(compressed, "m_6615_df.bin", false);
  ASSERT_TRUE(list) << list.message();

  testdata::WriteFile(second.File("program_list.txt"),
                      std::vector<uint8_t>(list->text.begin(), list->text.end()));
  RunBuilder(second.path(), second.path(), out);
  for (const char* name : {"unzipped_m_6615_df.bin", "user_db.bin", "m_6615_df.bin"}) {
    const std::vector<uint8_t> a = testdata::ReadFile(first.File(name));
    EXPECT_FALSE(a.empty()) << name;
    EXPECT_EQ(testdata::ReadFile(second.File(name)), a) << name;
  }
}

}  // namespace
}  // namespace qtk::dbbuilder
