#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "firmware/image/chunk_ids.h"

namespace qtk {

// One chunk of the loaded image as the rest of the program sees it.
struct ChunkEntry {
  bool replace = false;  // rewrite from replacement_path on save
  uint32_t id = 0;
  uint32_t length = 0;
  uint32_t offset_to_next = 0;
  uint32_t crc = 0;
  std::array<uint8_t, kChunkNameSize> header_name{};  // header bytes 16-63, raw
  uint32_t file_offset = 0;
  std::string replacement_path;
  uint32_t region_size = 0;

  // The name text: header bytes 16-63 up to the first zero byte.
  std::string Name() const;
  bool HasCrc() const { return crc != kNoCrc; }
  bool IsLast() const { return offset_to_next == 0; }
  // Bytes of data the chunk can hold: up to the next header, or what the length of the last
  // chunk covers. Signed, because a short last chunk has room for less than nothing.
  int64_t DataCapacity() const {
    return offset_to_next != 0 ? int64_t{offset_to_next} - kChunkHeaderSize
                               : int64_t{length} - (kChunkHeaderSize - kChunkHeaderFixedSize);
  }
};

inline constexpr int kMaxChunkEntries = 16;

// The fixed table of 16 entries that a parse fills; count 0 means no valid image.
struct ChunkTable {
  std::array<ChunkEntry, kMaxChunkEntries> entries{};
  int32_t count = 0;
  bool old_format = false;  // the common data chunk holds the old, short record

  // First index below count whose id matches.
  std::optional<int> FindLoaded(uint32_t id) const;
  // First index among all 16 entries whose id matches (used where every entry is scanned).
  std::optional<int> FindAny(uint32_t id) const;
};

}  // namespace qtk
