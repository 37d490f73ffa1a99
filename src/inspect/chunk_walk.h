#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "firmware/image/chunk_table.h"
#include "inspect/chunk_diff.h"
#include "inspect/finding.h"

namespace qtk {

// How full a chunk is: the bytes its header length covers after the header, and the bytes
// its region holds for data.
struct ChunkRoom {
  ChunkFacts chunk;
  int64_t capacity = 0;
  int64_t used = 0;
};

// The chunk structure of an image with every CRC checked on its own: a wrong CRC is a
// finding, not the end of the walk. Nothing when the chunks themselves cannot be walked
// (headers, lengths, offsets or ids that no image has).
struct ChunkWalk {
  ChunkTable chunks;
  std::vector<Finding> findings;
  std::vector<ChunkRoom> rooms;
};
std::optional<ChunkWalk> WalkChunks(std::span<const uint8_t> image);

// An OTA file against the image it belongs to: its chunk CRCs, and that it holds exactly what
// a save of this image writes (everything after the first chunk, at most 1 MiB).
std::vector<Finding> CheckOtaFile(const ChunkTable& chunks, std::span<const uint8_t> image,
                                  std::span<const uint8_t> ota);

}  // namespace qtk
