#pragma once

#include <string>

#include "dbbuilder/record_layout.h"

namespace qtk::dbbuilder {

// The lines of a program list text that the builder turns back into the given records.
// Each line ends with CR LF. Every numeric field is written as a decimal number, polarity 0
// and 1 as H and V, the audio channel as L, R, S or nothing; the columns the builder never
// reads (satellite column 2, program column 1) stay empty.

// A satellite line; '#' when the satellite's programs are to be left out of both databases.
std::string SatelliteLine(const SatelliteRecord& satellite, bool no_program_mark);

// A program line with the TP columns (frequency, symbol rate, polarity) of `tp`.
std::string ProgramLine(const ProgramRecord& program, const TpRecord& tp);

// A line that only creates the TP: a program named "TP" of region 1, for a satellite whose
// programs are not kept (or that the user database leaves out).
inline constexpr const char* kTpOnlyName = "TP";
inline constexpr uint32_t kTpOnlyRegion = 1;
std::string TpOnlyLine(const TpRecord& tp);

// The name column that gives back a 16-byte name area. Bytes the line reader
// or the column split would take (tab, CR, LF, ';') cannot be written and become '?'.
std::string NameColumn(const uint8_t* area, bool program_line);

}  // namespace qtk::dbbuilder
