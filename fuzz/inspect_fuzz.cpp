// Any bytes as two files for the inspection commands: the first as an image (the chunk walk
// with its CRC list, the record as a load takes it), the second as its OTA file and as the
// image it is compared with. Nothing may read outside either.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "firmware/image/image_parser.h"
#include "inspect/chunk_diff.h"
#include "inspect/chunk_walk.h"
#include "inspect/image_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2)
    return 0;
  // The first two bytes say where the first file ends.
  const size_t split = std::min<size_t>(size - 2, (size_t{data[0]} << 8 | data[1]) * 4);
  const std::span<const uint8_t> first(data + 2, split);
  const std::span<const uint8_t> second(data + 2 + split, size - 2 - split);

  if (const auto walk = qtk::WalkChunks(first)) {
    qtk::CheckOtaFile(walk->chunks, first, second);
    qtk::RecordOfImage(walk->chunks, first);
  }
  qtk::ChunkTable a;
  qtk::ChunkTable b;
  if (qtk::ParseImage(first, a) > 0 && qtk::ParseImage(second, b) > 0) {
    qtk::DiffChunks(a, first, b, second);
    qtk::RecordOfImage(b, second);
  }
  return 0;
}
