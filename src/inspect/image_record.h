#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "firmware/image/chunk_table.h"
#include "settings/customer_settings.h"

namespace qtk {

// The record of a parsed image as a load takes it: the common data chunk's first bytes with
// the clock and pad bytes from their copy in the first chunk. Bytes the image does not hold
// (a short common data chunk, an image that ends early) are zero; `held` says how many of
// the record's bytes the image holds. Nothing without a common data chunk.
struct ImageRecord {
  CustomerSettings::Bytes bytes{};
  size_t held = 0;
};
std::optional<ImageRecord> RecordOfImage(const ChunkTable& chunks, std::span<const uint8_t> image);

}  // namespace qtk
