#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <vector>

#include "dbbuilder/program_list.h"
#include "dbbuilder/record_layout.h"

namespace qtk::dbbuilder {

// What the writer takes from the builder settings.
struct WriterSettings {
  uint8_t load_domestic = 0;           // 0 all programs, 1 only region code 0, else none
  bool remove_program = false;         // no program records in either file
  uint8_t tv_radio_audio_channel = 0;  // audio override for col12_flag 1: 1 L, 2 R, 3 S
  uint8_t radio_audio_channel = 0;     // audio override for col12_flag 0
};

// The user tables, filled while the default database file is written. Records beyond a
// table's size are left out and counted.
struct UserTables {
  std::vector<SatelliteRecord> satellites;
  std::vector<TpRecord> tps;
  std::vector<ProgramRecord> programs;
  size_t dropped_satellites = 0;
  size_t dropped_tps = 0;
  size_t dropped_programs = 0;
};

// The default database file (raw "m_6615_df.bin") from the parsed tables; fills `user`
// (cleared first) on the way.
std::vector<uint8_t> WriteDefaultDatabase(const ProgramTables& tables,
                                          const WriterSettings& settings, UserTables& user);

// The user database file ("user_db.bin") from the user tables.
std::vector<uint8_t> WriteUserDatabase(const UserTables& user);

// One warning line per user table that could not take every record offered to it.
void ReportUserTableDrops(const UserTables& user, std::ostream& out);

// Table block constants of the user database file.
inline constexpr char kBlockMarker[4] = {'D', 'B', '@', 'T'};
inline constexpr uint32_t kBlockEndMarker = 0x12345678u;
inline constexpr size_t kBlockHeaderSize = 13;  // marker, tag, 0x01 0x01, size, count

}  // namespace qtk::dbbuilder
