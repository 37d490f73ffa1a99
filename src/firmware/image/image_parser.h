#pragma once

#include <cstdint>
#include <span>

#include "firmware/image/chunk_table.h"

namespace qtk {

// Parses a whole firmware image into the chunk table and verifies every chunk's CRC.
// Returns the chunk count, or 0 when the bytes are not a standard image. Every read stays
// inside the given bytes: a header or CRC range that runs past the end makes the image
// invalid.
int32_t ParseImage(std::span<const uint8_t> image, ChunkTable& table);

}  // namespace qtk
