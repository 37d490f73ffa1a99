#pragma once

#include <string>

#include "inspect/chunk_diff.h"
#include "inspect/hex_text.h"
#include "inspect/record_diff.h"

namespace qtk {

// The one-line forms in which a comparison and a save's change report list what differs:
//   chunk changed 0x10EF0100 "COMMON": length 0x000007F0 -> 0x000007F0, CRC 0x... -> 0x...
//   chunk added 0x06F90101 "GAME EMU": length 0x00000400, CRC 0x...
//   field Common / Volume: 20 -> 25
//   record bytes 100-103 (0x064): 12 34 56 78 -> 9A BC DE F0
std::string ChunkLine(const ChunkChange& change);
std::string FieldLine(const FieldChange& change);
std::string ByteRunLine(const ByteRun& run);

}  // namespace qtk
