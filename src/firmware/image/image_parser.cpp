#include "firmware/image/image_parser.h"

#include <algorithm>

#include "firmware/image/byte_order.h"
#include "firmware/image/crc32.h"

namespace qtk {
namespace {

// The part of a header the parse needs in the buffer: the four words and the name.
constexpr size_t kHeaderReadSize = kChunkHeaderFixedSize + kChunkNameSize;

bool ParseOneHeader(std::span<const uint8_t> image, size_t p, ChunkEntry& entry) {
  if (p > image.size() || image.size() - p < kHeaderReadSize)
    return false;
  entry.id = *ReadU32BigEndian(image, p);
  entry.length = *ReadU32BigEndian(image, p + 4);
  entry.offset_to_next = *ReadU32BigEndian(image, p + 8);
  entry.crc = *ReadU32BigEndian(image, p + 12);
  std::copy_n(image.data() + p + kChunkHeaderFixedSize, kChunkNameSize, entry.header_name.begin());
  return true;
}

}  // namespace

int32_t ParseImage(std::span<const uint8_t> image, ChunkTable& table) {
  for (ChunkEntry& e : table.entries) {
    e.replace = false;
    e.file_offset = 0;
    e.replacement_path.clear();
    e.region_size = 0;
  }
  // A stale flag from an earlier image would hide a missing common data chunk.
  table.old_format = false;
  table.count = 0;

  size_t p = 0;
  uint64_t file_offset = 0;
  for (int i = 0; i < kMaxChunkEntries; ++i) {
    ChunkEntry& entry = table.entries[i];
    if (!ParseOneHeader(image, p, entry))
      return 0;
    entry.file_offset = static_cast<uint32_t>(file_offset);
    entry.region_size = entry.offset_to_next != 0 ? entry.offset_to_next : entry.length + 16;

    if (i > 0 && !PassesIdRule(entry.id))
      return 0;
    if (entry.offset_to_next > image.size())
      return 0;
    // A next header that would start inside this one leaves no room for the length rule.
    if (entry.offset_to_next != 0 && entry.offset_to_next < kChunkHeaderSize)
      return 0;
    if (entry.offset_to_next != 0 && entry.length > entry.offset_to_next - kChunkHeaderFixedSize) {
      return 0;
    }
    // The CRC range, header byte 16 plus length, must lie inside the image.
    if (uint64_t{p} + kChunkHeaderFixedSize + entry.length > image.size())
      return 0;
    if (entry.id == kCommonDataChunkId) {
      table.old_format = entry.length <= kOldFormatCommonLength;
    }
    if (entry.crc != kNoCrc) {
      uint32_t crc = Crc32(kCrcInitial, image.data() + p + kChunkHeaderFixedSize, entry.length);
      if (crc != entry.crc)
        return 0;
    }
    if (i + 1 == kMaxChunkEntries)
      return 0;  // a sixteenth header is never accepted
    if (entry.offset_to_next == 0) {
      table.count = i + 1;
      return table.count;
    }
    p += entry.offset_to_next;
    file_offset += entry.offset_to_next;
  }
  return 0;
}

}  // namespace qtk
