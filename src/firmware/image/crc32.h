#pragma once

#include <cstdint>

namespace qtk {

// CRC-32/MPEG-2: polynomial 0x04C11DB7, most significant bit first, no reflection and no
// final XOR. Callers pass 0xFFFFFFFF as the initial register. A count of 0 or less returns
// the initial value unchanged.
//
// Every chunk of a loaded image is checked and the whole image again before a save writes
// it, so this runs over the image twice per load and save: it folds 64 bytes per step with
// carry-less multiplication where the processor has it, and otherwise consumes 16 bytes per
// step with sixteen derived tables.
uint32_t Crc32(uint32_t initial, const uint8_t* data, int64_t count);

// The table method alone, 16 bytes per step.
uint32_t Crc32Sliced(uint32_t initial, const uint8_t* data, int64_t count);

// The carry-less multiplication method; only where Crc32FoldingAvailable() (elsewhere it is
// the table method).
bool Crc32FoldingAvailable();
uint32_t Crc32Folded(uint32_t initial, const uint8_t* data, int64_t count);

// The same CRC one byte at a time with the single 256-entry table. It is the reference the
// fast functions are checked against; all give the same register for every input.
uint32_t Crc32Bytewise(uint32_t initial, const uint8_t* data, int64_t count);

inline constexpr uint32_t kCrcInitial = 0xFFFFFFFFu;

}  // namespace qtk
