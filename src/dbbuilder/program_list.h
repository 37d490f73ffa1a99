#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dbbuilder/record_layout.h"
#include "dbbuilder/table_limits.h"

namespace qtk::dbbuilder {

// The satellite of lines before the first satellite line: such programs and their TPs take
// table slots and TP ids, but belong to no satellite and are never written. (Their records
// hold the index -1 as all ones: 2047 in a TP, 4095 in a program.)
inline constexpr int kNoSatellite = -1;

// The parsed program list: the three tables in list order with their per-record marks.
// The owner arrays hold the true satellite index of each TP and program (kNoSatellite for
// lines before the first satellite), which the writer and the TP search use, so that a
// record without a satellite is never mistaken for one of satellite 2047.
struct ProgramTables {
  std::vector<SatelliteRecord> satellites;
  std::vector<uint8_t> no_program_mark;  // per satellite: 1 = from a '#' line
  std::vector<TpRecord> tps;             // a TP's id is its position
  std::vector<int16_t> tp_owner;         // per TP
  std::vector<ProgramRecord> programs;
  std::vector<int16_t> program_owner;  // per program
  std::vector<uint8_t> tp_used;        // per TP: 1 = a program refers to it (after Finish)
  TableLimits limits;                  // kept by Clear

  // The tables grow with the list: most lists are far below the limits, and the decoder's
  // rebuild check makes a set of tables per decoded list.
  void Clear();
};

// Columns of a line: column n is the text between the n-th and the (n+1)-th tab, cut to 63
// characters, with spaces at its end removed; a column beyond the last tab is empty. Only
// columns 0-17 are ever read.
inline constexpr size_t kMaxColumnLength = 63;
inline constexpr size_t kColumnsRead = 18;
using Columns = std::array<std::string_view, kColumnsRead>;
Columns SplitColumns(std::string_view line);

// The field value rule: exactly "V" gives 1, exactly "H" gives 0; anything else is a decimal
// integer after leading white space and an optional sign, read up to the first non-digit (no
// digits give 0). Digits beyond 64 bits wrap, so cutting the result to a field of up to 64
// bits gives the low bits of the number written (two's complement for negative values).
int64_t FieldValue(std::string_view column);

// A column is set when it is not empty and does not begin with '0'.
inline bool IsSet(std::string_view column) {
  return !column.empty() && column.front() != '0';
}

// Column 13: upper-cased first character L = 0, R = 1, S = 2; anything else or empty = 3.
uint32_t AudioChannelCode(std::string_view column);

// Column 17: a value v from 1 to 8 sets bit v - 1; any other value sets nothing.
uint32_t Col17Mask(int64_t value);

// Turns lines into records. Warnings go to `out`: the PCR PID warning, and
// one line for each line dropped because its table is full (a satellite beyond 2048, with
// the program lines that follow it; a program beyond 20000; a program whose new TP would be
// beyond 12000).
class ProgramListParser {
 public:
  ProgramListParser(ProgramTables& tables, std::ostream& out);

  // Dispatches a line of length > 0 on its first character: '#' and '*' start a satellite,
  // anything else is a program of the most recent satellite. An empty line is ignored.
  void ParseLine(std::string_view line);
  // Computes the TP-used flags; called once after the last line.
  void Finish();

 private:
  void ParseSatelliteLine(std::string_view line, bool no_program);
  void ParseProgramLine(std::string_view line);
  void Drop(const char* warning, std::string_view line);

  ProgramTables& tables_;
  std::ostream& out_;
  int current_satellite_ = kNoSatellite;
  bool satellite_dropped_ = false;  // the most recent satellite line did not fit
  // Index over the TP table: (owner, frequency, symbol rate, polarity) -> TP id. Keys are
  // unique, so a lookup gives the same TP as a linear search from the start.
  std::unordered_map<uint64_t, uint16_t> tp_index_;
};

// Reads a whole program list file: every line through the line reader, non-empty lines
// through the parser, then the TP-used flags. `tables` is cleared first.
void ParseProgramList(std::span<const uint8_t> text, ProgramTables& tables, std::ostream& out);

}  // namespace qtk::dbbuilder
