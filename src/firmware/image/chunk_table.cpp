#include "firmware/image/chunk_table.h"

#include <algorithm>

namespace qtk {

std::string ChunkEntry::Name() const {
  auto end = std::find(header_name.begin(), header_name.end(), uint8_t{0});
  return std::string(header_name.begin(), end);
}

std::optional<int> ChunkTable::FindLoaded(uint32_t id) const {
  for (int i = 0; i < count && i < kMaxChunkEntries; ++i) {
    if (entries[i].id == id)
      return i;
  }
  return std::nullopt;
}

std::optional<int> ChunkTable::FindAny(uint32_t id) const {
  for (int i = 0; i < kMaxChunkEntries; ++i) {
    if (entries[i].id == id)
      return i;
  }
  return std::nullopt;
}

}  // namespace qtk
