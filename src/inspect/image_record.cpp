#include "inspect/image_record.h"

#include <algorithm>

#include "firmware/clock_pad_mirror.h"

namespace qtk {

std::optional<ImageRecord> RecordOfImage(const ChunkTable& chunks, std::span<const uint8_t> image) {
  const std::optional<int> common = chunks.FindLoaded(kCommonDataChunkId);
  if (!common)
    return std::nullopt;
  const ChunkEntry& e = chunks.entries[static_cast<size_t>(*common)];
  ImageRecord record;
  const size_t start = size_t{e.file_offset} + kChunkHeaderSize;
  const int64_t capacity = std::max<int64_t>(0, e.DataCapacity());
  if (start < image.size()) {
    record.held = std::min({record::kSize, image.size() - start, static_cast<size_t>(capacity)});
    std::copy_n(image.begin() + static_cast<long>(start), record.held, record.bytes.begin());
  }
  if (ClockPadMirrored(chunks) && image.size() >= kClockPadImageEnd) {
    std::copy_n(image.begin() + kClockPadImageOffset, record::kClockPadBlockSize,
                record.bytes.begin() + record::kClockPadBlock);
  }
  return record;
}

}  // namespace qtk
