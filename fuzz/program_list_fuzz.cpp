// Fuzz target for the program list parser: any bytes go through the line reader, the
// satellite and program parsers and both database writers, which must neither crash nor
// read or write outside their tables, and must keep the databases consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "dbbuilder/database_writer.h"
#include "dbbuilder/program_list.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qtk::dbbuilder;
  static ProgramTables tables;
  tables.limits = qtk::fuzz::kSmallTables;
  std::ostringstream warnings;
  ParseProgramList({data, size}, tables, warnings);
  const TableLimits& limits = tables.limits;
  if (tables.satellites.size() > limits.satellites || tables.tps.size() > limits.tp_ids ||
      tables.programs.size() > limits.programs || tables.tp_used.size() != tables.tps.size()) {
    std::abort();
  }
  for (const ProgramRecord& p : tables.programs) {
    if (p.Get(prog::kTpId) >= tables.tps.size())
      std::abort();
  }
  for (uint8_t remove : {0, 1}) {
    WriterSettings settings;
    settings.remove_program = remove != 0;
    settings.load_domestic = static_cast<uint8_t>(size % 3);
    settings.tv_radio_audio_channel = static_cast<uint8_t>(size % 5);
    UserTables user;
    const std::vector<uint8_t> raw = WriteDefaultDatabase(tables, settings, user);
    const std::vector<uint8_t> user_db = WriteUserDatabase(user);
    if (raw.size() < 2 || user.satellites.size() > limits.user_satellites ||
        user.tps.size() > limits.user_tps || user.programs.size() > limits.user_programs) {
      std::abort();
    }
    const size_t expected_user = user.satellites.size() * sat::kSize + user.tps.size() * tp::kSize +
                                 user.programs.size() * prog::kSize;
    if (user_db.size() < expected_user)
      std::abort();
  }
  return 0;
}
