#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "firmware/image/chunk_table.h"

namespace qtk {

// A chunk as a comparison names it.
struct ChunkFacts {
  uint32_t id = 0;
  std::string name;
  uint32_t length = 0;
  uint32_t crc = 0;
};

enum class ChunkChangeKind { kAdded, kRemoved, kChanged };

struct ChunkChange {
  ChunkChangeKind kind = ChunkChangeKind::kChanged;
  ChunkFacts before;  // removed, changed
  ChunkFacts after;   // added, changed
};

ChunkFacts FactsOf(const ChunkEntry& entry);

// The chunks of two parsed images, matched by id (the n-th chunk of an id with the n-th of the
// same id): those only in the second are added, those only in the first removed, and those
// whose header or region bytes differ changed. Listed in the order of the second image, the
// removed ones after them.
std::vector<ChunkChange> DiffChunks(const ChunkTable& before, std::span<const uint8_t> before_image,
                                    const ChunkTable& after, std::span<const uint8_t> after_image);

std::string_view ChunkChangeName(ChunkChangeKind kind);

}  // namespace qtk
