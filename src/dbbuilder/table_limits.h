#pragma once

#include <cstddef>

namespace qtk::dbbuilder {

// Table sizes of the program list tables.
inline constexpr size_t kMaxSatellites = 2048;
inline constexpr size_t kMaxTps = 12000;
// A TP record's id field has 13 bits, so only the first 8192 TPs can be told apart; the table
// is never filled beyond them.
inline constexpr size_t kMaxTpIds = size_t{1} << 13;
static_assert(kMaxTpIds <= kMaxTps);
inline constexpr size_t kMaxPrograms = 20000;

// Sizes of the user tables.
inline constexpr size_t kMaxUserSatellites = 512;
inline constexpr size_t kMaxUserTps = 3000;
inline constexpr size_t kMaxUserPrograms = 5000;

// How many records each table takes. The database formats fix these numbers and every
// program uses them; smaller ones exist for the fuzz targets, which reach the table-full
// paths with lists of a few hundred bytes instead of a megabyte.
struct TableLimits {
  size_t satellites = kMaxSatellites;
  size_t tp_ids = kMaxTpIds;
  size_t programs = kMaxPrograms;
  size_t user_satellites = kMaxUserSatellites;
  size_t user_tps = kMaxUserTps;
  size_t user_programs = kMaxUserPrograms;
};

}  // namespace qtk::dbbuilder
