// Times the default database builder on a maximal program list (2048 satellites, 12000 TPs,
// 20000 programs): parse, write (default + user database) and LZMA compression, each on its
// own, and reports the sizes.
//
//   dbbuilder_bench [--raw FILE] [--tunings]
//     --raw FILE   also writes the raw default database there (to compare encoders)
//     --tunings    also compresses with other encoder settings and reports their sizes
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dbbuilder/database_writer.h"
#include "dbbuilder/lzma_compressor.h"
#include "dbbuilder/program_list.h"

namespace {

using qtk::dbbuilder::LzmaMatchFinder;
using qtk::dbbuilder::LzmaTuning;
using Clock = std::chrono::steady_clock;

constexpr int kSatellites = 2048;
constexpr int kTps = 12000;
constexpr int kPrograms = 20000;

// A list shaped like a real one: every satellite with its LNB values, each TP named by the
// programs on it, programs with ascending PIDs, CR LF line ends and a comment now and then.
std::string MaximalList() {
  static const int kSymbolRates[] = {27500, 22000, 30000, 6111, 45000, 28800};
  std::string text;
  text.reserve(2 << 20);
  char line[512];
  int program = 0;
  for (int s = 0; s < kSatellites; ++s) {
    std::snprintf(line, sizeof line, "*Satellite %04d\t%d\t\t%d\t9750\t10600\t%d\t%d\t%d\r\n", s,
                  s & 1, 1 + s % 3, s % 128, (s >> 1) & 1, 22 + s % 200);
    text += line;
    const int first_tp = s * kTps / kSatellites;
    const int last_tp = (s + 1) * kTps / kSatellites;
    for (int t = first_tp; t < last_tp; ++t) {
      const int frequency = 10700 + (t * 37) % 2050;
      const int symbol_rate = kSymbolRates[t % 6];
      const char* polarity = (t & 1) ? "V" : "H";
      const int on_tp = t < kPrograms - kTps ? 2 : 1;
      for (int k = 0; k < on_tp; ++k, ++program) {
        const int video = 256 + (program % 700) * 16;
        std::snprintf(line, sizeof line,
                      "\tProgram %05d\t\t%d\t%d\t%d\t\t%d\t%d\t%d\t%s\t%d\t%d\t%d\t%s\t%d\t%d\t\t%d"
                      "%s\r\n",
                      program, video, video + 1, (program % 3 == 0) ? video + 2 : 0, video,
                      frequency, symbol_rate, polarity, program % 7 == 0 ? 1 : 0, 0,
                      program % 5 == 0 ? 0 : 1, program % 4 == 0 ? "Stereo" : "L", 1 + program % 9,
                      program % 11 == 0 ? program : 0, 1 + program % 8,
                      program % 50 == 0 ? "\t; checked" : "");
        text += line;
      }
    }
  }
  return text;
}

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

}  // namespace

int main(int argc, char** argv) {
  const char* raw_path = nullptr;
  bool tunings = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--raw") == 0 && i + 1 < argc) {
      raw_path = argv[++i];
    } else if (std::strcmp(argv[i], "--tunings") == 0) {
      tunings = true;
    } else {
      std::fprintf(stderr, "usage: %s [--raw FILE] [--tunings]\n", argv[0]);
      return 2;
    }
  }

  const std::string list = MaximalList();
  const std::span<const uint8_t> text(reinterpret_cast<const uint8_t*>(list.data()), list.size());

  qtk::dbbuilder::ProgramTables tables;
  std::ostringstream warnings;
  const double parse_ms = TimeMs(20, [&] {
    warnings.str("");
    qtk::dbbuilder::ParseProgramList(text, tables, warnings);
  });

  qtk::dbbuilder::UserTables user;
  std::vector<uint8_t> raw;
  std::vector<uint8_t> user_db;
  const double write_ms = TimeMs(20, [&] {
    raw = qtk::dbbuilder::WriteDefaultDatabase(tables, {}, user);
    user_db = qtk::dbbuilder::WriteUserDatabase(user);
  });

  std::vector<uint8_t> packed;
  const double compress_ms = TimeMs(2, [&] { packed = *qtk::dbbuilder::CompressLzmaAlone(raw); });

  std::printf("program list: %zu bytes; %zu satellites, %zu TPs, %zu programs\n", list.size(),
              tables.satellites.size(), tables.tps.size(), tables.programs.size());
  std::printf("parse:        %9.2f ms\n", parse_ms);
  std::printf("write:        %9.2f ms (default %zu bytes, user %zu bytes)\n", write_ms, raw.size(),
              user_db.size());
  std::printf("compress:     %9.2f ms (%zu -> %zu bytes)\n", compress_ms, raw.size(),
              packed.size());
  std::printf("parse+write:  %9.2f%% of compression time\n",
              100.0 * (parse_ms + write_ms) / compress_ms);

  std::printf("\ncandidate settings (the builder keeps the smallest):\n");
  for (const LzmaTuning& tuning : qtk::dbbuilder::LzmaCandidateTunings()) {
    std::vector<uint8_t> out;
    const double ms = TimeMs(1, [&] { out = *qtk::dbbuilder::CompressLzmaAlone(raw, tuning); });
    std::printf("  mf=%s nice_len=%3u depth=%4u: %8zu bytes %9.2f ms\n",
                MatchFinderName(tuning.match_finder), tuning.nice_len, tuning.depth, out.size(),
                ms);
  }

  if (raw_path) {
    std::ofstream f(raw_path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
    std::printf("raw default database written to %s\n", raw_path);
  }

  if (tunings) {
    std::printf("\nother encoder settings (lc0 lp2 pb2, 8 MiB dictionary):\n");
    for (LzmaMatchFinder mf : {LzmaMatchFinder::kBt4, LzmaMatchFinder::kBt3, LzmaMatchFinder::kBt2,
                               LzmaMatchFinder::kHc4}) {
      for (uint32_t nice_len : {64u, 128u, 273u}) {
        for (uint32_t depth : {0u, 512u, 4096u}) {
          LzmaTuning tuning;
          tuning.match_finder = mf;
          tuning.nice_len = nice_len;
          tuning.depth = depth;
          std::vector<uint8_t> out;
          const double ms =
              TimeMs(1, [&] { out = *qtk::dbbuilder::CompressLzmaAlone(raw, tuning); });
          std::printf("  mf=%s nice_len=%3u depth=%4u: %8zu bytes %9.2f ms\n", MatchFinderName(mf),
                      nice_len, depth, out.size(), ms);
        }
      }
    }
  }
  return 0;
}
