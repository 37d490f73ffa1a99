#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "dbbuilder/decode/decode_result.h"
#include "dbbuilder/record_layout.h"

namespace qtk::dbbuilder {

// One satellite of the default database with the TPs and programs written under it, in
// file order.
struct DefaultDatabaseSatellite {
  SatelliteRecord record;
  std::vector<TpRecord> tps;
  std::vector<ProgramRecord> programs;
};

struct DefaultDatabase {
  std::vector<DefaultDatabaseSatellite> satellites;
  size_t TpCount() const;
  size_t ProgramCount() const;
};

// Whether bytes after the last satellite are refused, or may be 0xFF filler (the rest of a
// chunk's data area).
enum class TrailingBytes { kRefused, kFillAllowed };

// Reads a raw default database: the satellite count, then each satellite record with its TP
// count, TP records, program count and program records. Every count is checked against the
// bytes that are left before anything is read.
Decoded<DefaultDatabase> ReadDefaultDatabase(std::span<const uint8_t> raw,
                                             TrailingBytes trailing = TrailingBytes::kRefused);

// The user database: the three tables as the offsets of their table blocks name them.
// `size` is the number of bytes up to the end marker of the "PT01" block; whatever follows
// (the 0xFF filler of the chunk, an inserted CRC ROM) is not part of the database.
struct UserDatabase {
  std::vector<SatelliteRecord> satellites;
  std::vector<TpRecord> tps;
  std::vector<ProgramRecord> programs;
  size_t size = 0;
};

// True when a "DB@T" "ST01" table block stands behind a whole number of satellite records:
// the bytes mean to be a user database, damaged or not.
bool LooksLikeUserDatabase(std::span<const uint8_t> bytes);

// Reads a user database. Each table block must carry its tag, the bytes 01 01, its record
// size, the count of the records before it and an end marker; each offset must point to a
// whole record inside the run before the block.
Decoded<UserDatabase> ReadUserDatabase(std::span<const uint8_t> bytes);

}  // namespace qtk::dbbuilder
