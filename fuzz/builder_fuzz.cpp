// Any bytes as the program list of a whole dfv_k7720x run: the character list, both
// databases, the LZMA step. Every database the run writes must read back whole, with counts
// within its tables, and the raw copy must be what the compressed file unpacks to. Turning a
// written database into a list and building it again is the channel list target's part: it
// runs the same parser and writers on any list, with every writer setting.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>

#include "common/file_io.h"
#include "dbbuilder/builder.h"
#include "dbbuilder/decode/database_reader.h"
#include "dbbuilder/decode/lzma_decoder.h"
#include "dbbuilder/decode/rebuild_check.h"
#include "fuzz_scratch.h"
#include "lzma_block_pool.h"

namespace {

using namespace qtk::dbbuilder;
using qtk::fuzz::Check;

std::vector<uint8_t> Built(const char* name) {
  auto bytes = qtk::ReadWholeFile(qtk::fuzz::ScratchFolder() / name);
  Check(bytes.has_value());
  return *bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool settings_written = [] {
    const std::string ini = "[File0]\r\nFile=list.txt\r\n[config]\r\nLoadDomestic=1\r\n";
    qtk::fuzz::WriteScratch(qtk::fuzz::ScratchFile("dfv_k7720x.ini"),
                            reinterpret_cast<const uint8_t*>(ini.data()), ini.size());
    return true;
  }();
  (void)settings_written;
  for (const char* name : {kDefaultDatabaseName, kUnzippedDefaultDatabaseName, kUserDatabaseName}) {
    std::error_code ec;
    std::filesystem::remove(qtk::fuzz::ScratchFolder() / name, ec);
  }
  qtk::fuzz::WriteScratch(qtk::fuzz::ScratchFile("list.txt"), data, size);
  std::ostringstream out;
  // One fast encoder setting: the run checks that m_6615_df.bin unpacks to the raw copy, not
  // how small it is, and the program's search over several settings costs seconds per run.
  static const LzmaTuning kFast{.preset = 0,
                                .extreme = false,
                                .nice_len = 8,
                                .match_finder = LzmaMatchFinder::kHc3,
                                .depth = 4,
                                .search_window = 1u << 16};
  static qtk::fuzz::LzmaBlockPool encoder_memory;
  BuilderOptions options;
  options.lzma_tunings = {&kFast, 1};
  options.lzma_memory = encoder_memory.allocator();
  options.table_limits = qtk::fuzz::kSmallTables;
  RunBuilder(qtk::fuzz::ScratchFolder(), qtk::fuzz::ScratchFolder(), out, options);
  if (size == 0)
    return 0;
  // The compressed file must unpack to the raw copy byte for byte; the raw copy then stands
  // for both: its records, written out again, are its bytes.
  const std::vector<uint8_t> raw_copy = Built(kUnzippedDefaultDatabaseName);
  const auto unpacked = DecompressDefaultDatabase(Built(kDefaultDatabaseName));
  Check(unpacked && *unpacked == raw_copy);
  const auto raw = ReadDefaultDatabase(raw_copy);
  Check(raw && WriteDecodedDefaultDatabase(*raw) == raw_copy);
  // The user database must read back whole, ending with its last table block.
  const std::vector<uint8_t> user_bytes = Built(kUserDatabaseName);
  const auto user = ReadUserDatabase(user_bytes);
  Check(user && user->size == user_bytes.size());
  const TableLimits& limits = options.table_limits;
  Check(raw->satellites.size() <= limits.satellites && raw->TpCount() <= limits.tp_ids &&
        raw->ProgramCount() <= limits.programs);
  Check(user->satellites.size() <= limits.user_satellites && user->tps.size() <= limits.user_tps &&
        user->programs.size() <= limits.user_programs);
  return 0;
}
