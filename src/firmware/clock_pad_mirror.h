#pragma once

#include <cstdint>

#include "firmware/image/chunk_ids.h"
#include "firmware/image/chunk_table.h"
#include "settings/record_layout.h"

namespace qtk {

// Record bytes 2-7 (the clock and pad block) are kept twice: in the record and in the first
// chunk at this image offset. The load takes them from the first chunk; the save writes both.
inline constexpr uint32_t kClockPadImageOffset = 258;
inline constexpr uint32_t kClockPadImageEnd = kClockPadImageOffset + record::kClockPadBlockSize;

// Whether the load takes record bytes 2-7 from offset 258 and the save writes them back
// there. Not when the common data chunk stands first: its record then covers offset 258
// itself (record bytes 130-135), and the copy would overwrite one set of settings with the
// other; the record is then the only home of the block.
inline bool ClockPadMirrored(const ChunkTable& chunks) {
  const auto common = chunks.FindLoaded(kCommonDataChunkId);
  if (!common)
    return true;
  const uint64_t record_start = uint64_t{chunks.entries[*common].file_offset} + kChunkHeaderSize;
  const uint64_t record_end = record_start + record::kSize;
  return record_end <= kClockPadImageOffset || record_start >= kClockPadImageEnd;
}

}  // namespace qtk
