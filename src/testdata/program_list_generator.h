#pragma once

#include <cstdint>
#include <string>

namespace qtk::testdata {

// The shape of a generated program list for dfv_k7720x.
struct ProgramListShape {
  int max_satellites = 6;
  int max_programs_per_satellite = 8;
  int tps_per_satellite = 4;    // programs pick their TP from this many, so TPs are shared
  int marked_percent = 20;      // satellites on '#' lines
  int max_orphan_programs = 2;  // program lines before the first satellite line
  bool odd_columns = true;      // signs, leading zeros, words, spaces, junk, cut names
  bool odd_lines = true;        // comments, empty lines, tabs, LF or CR line ends
};

// A program list text from a seed: the same seed and shape give the same text.
std::string GenerateProgramList(uint64_t seed, const ProgramListShape& shape);

// A list beyond every table: 2050 satellites, more than 12000 TPs and 20000 programs, so the
// builder drops lines and the user tables are full.
std::string OverfullProgramList(uint64_t seed);

}  // namespace qtk::testdata
