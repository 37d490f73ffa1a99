#include "dbbuilder/update_step.h"

#include <algorithm>

#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/crc32.h"

namespace qtk::dbbuilder {

std::optional<size_t> FindDefaultDatabaseChunk(std::span<const uint8_t> image) {
  const uint64_t size = image.size();
  uint64_t pos = 0;
  while (pos < size) {
    const std::optional<uint32_t> id = ReadU32BigEndian(image, static_cast<size_t>(pos));
    if (!id || *id == kWalkEndId)
      return std::nullopt;
    if ((*id >> 16) == kDefaultDatabaseIdPrefix)
      return static_cast<size_t>(pos);
    const std::optional<uint32_t> next = ReadU32BigEndian(image, static_cast<size_t>(pos + 8));
    if (!next || *next == 0 || *next > size)
      return std::nullopt;
    pos += *next;
  }
  return std::nullopt;
}

UpdateStatus UpdateDefaultDatabaseChunk(std::vector<uint8_t>& image,
                                        std::span<const uint8_t> new_value) {
  const std::optional<size_t> found = FindDefaultDatabaseChunk(image);
  if (!found)
    return UpdateStatus::kNoChunk;
  const uint64_t pos = *found;
  const std::optional<uint32_t> next = ReadU32BigEndian(image, static_cast<size_t>(pos + 8));
  if (!next || *next == 0)
    return UpdateStatus::kNoChunk;
  const uint64_t span = *next;
  if (pos + span > image.size())
    return UpdateStatus::kNoChunk;
  const uint64_t w = new_value.size();
  if (w + kMinimumFill + kChunkHeaderSize > span)
    return UpdateStatus::kValueTooLong;

  uint8_t* chunk = image.data() + pos;
  std::copy(new_value.begin(), new_value.end(), chunk + kChunkHeaderSize);
  std::fill(chunk + kChunkHeaderSize + w, chunk + span, uint8_t{0xFF});
  // The length covers the 112 header bytes after the crc, the value and the first 4 fill
  // bytes: W + 116.
  const uint32_t length =
      static_cast<uint32_t>(w + (kChunkHeaderSize - kChunkHeaderFixedSize) + kMinimumFill);
  PutU32BigEndian(chunk + 4, length);
  PutU32BigEndian(chunk + 12, Crc32(kCrcInitial, chunk + kChunkHeaderFixedSize, length));
  return UpdateStatus::kUpdated;
}

}  // namespace qtk::dbbuilder
