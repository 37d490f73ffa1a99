// Any bytes as a firmware image: the parse must never read outside them.
#include <cstddef>
#include <cstdint>

#include "firmware/image/image_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qtk::ChunkTable table;
  qtk::ParseImage(std::span<const uint8_t>(data, size), table);
  return 0;
}
