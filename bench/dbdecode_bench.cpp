// Times the channel list decoder on databases with full tables (2048 satellites, 12000 TPs,
// 20000 programs; the user database with 512, 3000 and 5000): the LZMA stream, the reading of
// the records, the list text and the rebuild check, each on its own, and the whole decode.
//
//   dbdecode_bench [RUNS]
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "dbbuilder/database_writer.h"
#include "dbbuilder/decode/channel_list.h"
#include "dbbuilder/decode/database_reader.h"
#include "dbbuilder/decode/database_source.h"
#include "dbbuilder/decode/list_plan.h"
#include "dbbuilder/decode/list_writer.h"
#include "dbbuilder/decode/lzma_decoder.h"
#include "dbbuilder/decode/rebuild_check.h"
#include "dbbuilder/lzma_compressor.h"
#include "dbbuilder/program_list.h"
#include "testdata/program_list_generator.h"

namespace {

using namespace qtk::dbbuilder;
using Clock = std::chrono::steady_clock;

template <typename F>
double TimeMs(int runs, F&& f) {
  auto start = Clock::now();
  for (int i = 0; i < runs; ++i)
    f();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string text = qtk::testdata::OverfullProgramList(1);
  ProgramTables tables;
  std::ostringstream warnings;
  ParseProgramList({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, tables, warnings);
  UserTables user;
  const std::vector<uint8_t> raw = WriteDefaultDatabase(tables, {}, user);
  const std::vector<uint8_t> user_db = WriteUserDatabase(user);
  const std::vector<uint8_t> stream = CompressLzmaAlone(raw).value();
  std::printf("default database: %zu bytes raw, %zu compressed; user database: %zu bytes\n",
              raw.size(), stream.size(), user_db.size());

  const DefaultDatabase db = *ReadDefaultDatabase(raw);
  const ListBody body = WriteListBody(PlanDefaultDatabase(db));
  std::printf("%-34s %8.2f ms\n", "LZMA stream",
              TimeMs(runs, [&] { (void)DecompressDefaultDatabase(stream); }));
  std::printf("%-34s %8.2f ms\n", "read default database",
              TimeMs(runs, [&] { (void)ReadDefaultDatabase(raw); }));
  std::printf("%-34s %8.2f ms\n", "plan and list text",
              TimeMs(runs, [&] { (void)WriteListBody(PlanDefaultDatabase(db)); }));
  std::printf("%-34s %8.2f ms\n", "rebuild check", TimeMs(runs, [&] {
                (void)DefaultDatabaseDifference(db, BuildDatabases(body.text, 0).raw_default);
              }));
  std::printf("%-34s %8.2f ms\n", "whole decode, m_6615_df.bin",
              TimeMs(runs, [&] { (void)DecodeDatabaseFile(stream, "m_6615_df.bin", false); }));
  std::printf("%-34s %8.2f ms\n", "whole decode, user_db.bin",
              TimeMs(runs, [&] { (void)DecodeDatabaseFile(user_db, "user_db.bin", true); }));
  const Decoded<ChannelList> list = DecodeDatabaseFile(stream, "m_6615_df.bin", false);
  std::printf("list text: %zu bytes, %s\n", list->text.size(),
              list->difference.empty() ? "builds back into the same database" : "DIFFERS");
  return list->difference.empty() ? 0 : 1;
}
