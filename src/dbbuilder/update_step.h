#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qtk::dbbuilder {

// Ends of the chunk walk.
inline constexpr uint32_t kWalkEndId = 0xFFFFFFFFu;
inline constexpr uint32_t kDefaultDatabaseIdPrefix = 0x03FCu;  // top 16 bits of the id
// Bytes of 0xFF that must at least follow the new value inside the chunk.
inline constexpr uint64_t kMinimumFill = 4;

// The offset of the first chunk whose id has the top 16 bits 0x03FC, walking the headers from
// offset 0 by their offsets to next. The walk ends without a result at an id of 0xFFFFFFFF,
// at an offset to next of 0 or larger than the file, when the next header would start at or
// past the end of the file, and when a header field would lie past the end of the file.
std::optional<size_t> FindDefaultDatabaseChunk(std::span<const uint8_t> image);

enum class UpdateStatus {
  kUpdated,
  kNoChunk,       // no default database chunk, it is the last chunk (no room size), or
                  // its room runs past the end of the file
  kValueTooLong,  // W + 4 > room - 128
};

// Puts the new default value into the default database chunk of `image` in place: the W
// bytes behind the 128-byte header, 0xFF up to the end of the chunk's room (its offset to
// next), length field W + 116 and the CRC-32/MPEG-2 of the length bytes from header byte 16.
// Nothing is changed unless the result is kUpdated. All sizes are compared in 64-bit
// arithmetic, so nothing wraps.
UpdateStatus UpdateDefaultDatabaseChunk(std::vector<uint8_t>& image,
                                        std::span<const uint8_t> new_value);

}  // namespace qtk::dbbuilder
