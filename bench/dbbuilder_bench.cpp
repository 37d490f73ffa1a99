// Times the default database builder's steps on each list shape of bench/program_lists.h:
// parse, write (default + user database) and the LZMA search, and reports the sizes.
//
//   dbbuilder_bench [--raw DIR] [--tunings]
//     --raw DIR    also writes each raw default database there (to compare encoders)
//     --tunings    also compresses with a grid of other encoder settings and reports each
//                  size relative to the builder's choice; this is how the candidates of
//                  LzmaCandidateTunings() were chosen
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/program_lists.h"
#include "dbbuilder/database_writer.h"
#include "dbbuilder/lzma_compressor.h"
#include "dbbuilder/program_list.h"

namespace {

using qtk::dbbuilder::LzmaMatchFinder;
using qtk::dbbuilder::LzmaTuning;
using Clock = std::chrono::steady_clock;

template <typename F>
double TimeMs(int runs, F&& f) {
  auto start = Clock::now();
  for (int i = 0; i < runs; ++i)
    f();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
}

const char* MatchFinderName(LzmaMatchFinder mf) {
  switch (mf) {
    case LzmaMatchFinder::kHc3:
      return "hc3";
    case LzmaMatchFinder::kHc4:
      return "hc4";
    case LzmaMatchFinder::kBt2:
      return "bt2";
    case LzmaMatchFinder::kBt3:
      return "bt3";
    case LzmaMatchFinder::kBt4:
      return "bt4";
  }
  return "?";
}

void PrintTuning(const LzmaTuning& tuning, size_t size, size_t chosen, double ms) {
  std::printf("    mf=%s nice_len=%3u depth=%4u: %8zu bytes %7.4fx %8.1f ms\n",
              MatchFinderName(tuning.match_finder), tuning.nice_len, tuning.depth, size,
              static_cast<double>(size) / static_cast<double>(chosen), ms);
}

}  // namespace

int main(int argc, char** argv) {
  const char* raw_dir = nullptr;
  bool tunings = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--raw") == 0 && i + 1 < argc) {
      raw_dir = argv[++i];
    } else if (std::strcmp(argv[i], "--tunings") == 0) {
      tunings = true;
    } else {
      std::fprintf(stderr, "usage: %s [--raw DIR] [--tunings]\n", argv[0]);
      return 2;
    }
  }

  int index = 0;
  for (const qtk::bench::NamedList& list : qtk::bench::BenchLists()) {
    const std::span<const uint8_t> text(reinterpret_cast<const uint8_t*>(list.text.data()),
                                        list.text.size());
    qtk::dbbuilder::ProgramTables tables;
    std::ostringstream warnings;
    const double parse_ms = TimeMs(5, [&] {
      warnings.str("");
      qtk::dbbuilder::ParseProgramList(text, tables, warnings);
    });
    qtk::dbbuilder::UserTables user;
    std::vector<uint8_t> raw;
    std::vector<uint8_t> user_db;
    const double write_ms = TimeMs(5, [&] {
      raw = qtk::dbbuilder::WriteDefaultDatabase(tables, {}, user);
      user_db = qtk::dbbuilder::WriteUserDatabase(user);
    });
    qtk::dbbuilder::LzmaSearchResult search;
    const double search_ms = TimeMs(1, [&] {
      search = qtk::dbbuilder::SearchLzmaAlone(raw, qtk::dbbuilder::LzmaCandidateTunings());
    });
    const size_t chosen = search.best ? search.best->size() : 0;

    std::printf("%s: %zu text bytes; %zu satellites, %zu TPs, %zu programs\n", list.name.c_str(),
                list.text.size(), tables.satellites.size(), tables.tps.size(),
                tables.programs.size());
    std::printf("  parse %.2f ms, write %.2f ms (default %zu bytes, user %zu bytes)\n", parse_ms,
                write_ms, raw.size(), user_db.size());
    std::printf("  LZMA search %.2f ms: %zu bytes, candidate %zu\n", search_ms, chosen,
                search.winner);

    if (raw_dir) {
      const std::filesystem::path file =
          std::filesystem::path(raw_dir) / ("raw_" + std::to_string(index) + ".bin");
      std::ofstream f(file, std::ios::binary | std::ios::trunc);
      f.write(reinterpret_cast<const char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
      std::printf("  raw default database written to %s\n", file.c_str());
    }
    if (tunings && chosen > 0) {
      std::printf("  encoder settings (lc0 lp2 pb2, 8 MiB dictionary), size vs the search:\n");
      for (LzmaMatchFinder mf : {LzmaMatchFinder::kBt2, LzmaMatchFinder::kBt3,
                                 LzmaMatchFinder::kBt4, LzmaMatchFinder::kHc4}) {
        for (uint32_t nice_len : {24u, 32u, 48u, 64u, 96u, 128u, 273u}) {
          for (uint32_t depth : {0u, 64u, 256u}) {
            const LzmaTuning tuning{9, true, nice_len, mf, depth};
            std::vector<uint8_t> out;
            const double ms =
                TimeMs(1, [&] { out = *qtk::dbbuilder::CompressLzmaAlone(raw, tuning); });
            PrintTuning(tuning, out.size(), chosen, ms);
          }
        }
      }
    }
    ++index;
  }
  return 0;
}
