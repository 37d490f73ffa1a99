#include "inspect/chunk_diff.h"

#include <algorithm>
#include <map>

namespace qtk {
namespace {

// The bytes a chunk occupies, cut at the end of the image.
std::span<const uint8_t> RegionOf(const ChunkEntry& e, std::span<const uint8_t> image) {
  const size_t start = std::min<size_t>(e.file_offset, image.size());
  const size_t size = std::min<size_t>(e.region_size, image.size() - start);
  return image.subspan(start, size);
}

// Each chunk's key: its id and how many chunks of that id come before it.
std::vector<std::pair<uint32_t, int>> Keys(const ChunkTable& table) {
  std::map<uint32_t, int> seen;
  std::vector<std::pair<uint32_t, int>> keys;
  for (int i = 0; i < table.count; ++i)
    keys.emplace_back(table.entries[i].id, seen[table.entries[i].id]++);
  return keys;
}

}  // namespace

ChunkFacts FactsOf(const ChunkEntry& entry) {
  return {entry.id, entry.Name(), entry.length, entry.crc};
}

std::string_view ChunkChangeName(ChunkChangeKind kind) {
  switch (kind) {
    case ChunkChangeKind::kAdded:
      return "added";
    case ChunkChangeKind::kRemoved:
      return "removed";
    case ChunkChangeKind::kChanged:
      return "changed";
  }
  return "";
}

std::vector<ChunkChange> DiffChunks(const ChunkTable& before, std::span<const uint8_t> before_image,
                                    const ChunkTable& after, std::span<const uint8_t> after_image) {
  const auto old_keys = Keys(before);
  const auto new_keys = Keys(after);
  std::vector<ChunkChange> changes;
  std::vector<bool> matched(old_keys.size(), false);
  for (size_t n = 0; n < new_keys.size(); ++n) {
    const ChunkEntry& e = after.entries[n];
    const auto found = std::find(old_keys.begin(), old_keys.end(), new_keys[n]);
    if (found == old_keys.end()) {
      changes.push_back({ChunkChangeKind::kAdded, {}, FactsOf(e)});
      continue;
    }
    const size_t o = static_cast<size_t>(found - old_keys.begin());
    matched[o] = true;
    const ChunkEntry& old = before.entries[o];
    const auto old_region = RegionOf(old, before_image);
    const auto new_region = RegionOf(e, after_image);
    if (!std::equal(old_region.begin(), old_region.end(), new_region.begin(), new_region.end()))
      changes.push_back({ChunkChangeKind::kChanged, FactsOf(old), FactsOf(e)});
  }
  for (size_t o = 0; o < old_keys.size(); ++o) {
    if (!matched[o])
      changes.push_back({ChunkChangeKind::kRemoved, FactsOf(before.entries[o]), {}});
  }
  return changes;
}

}  // namespace qtk
