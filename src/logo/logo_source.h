#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "firmware/image/chunk_table.h"
#include "logo/logo_picture.h"

namespace qtk {

// The logo chunk's data as the firmware file holds it: the bytes its length word covers after
// the header. Nothing when the file no longer has them (shortened since the load) or cannot be
// read. Only read: the loaded firmware file is never changed.
std::optional<std::vector<uint8_t>> ReadChunkData(const std::string& firmware_path,
                                                  const ChunkEntry& chunk);

// The logo the firmware file holds, or the replacement file chosen for it, decoded for a
// preview; a file that cannot be read gives the note for it.
LogoDecoding DecodeLogoChunk(const std::string& firmware_path, const ChunkEntry& chunk);
LogoDecoding DecodeLogoFile(const std::string& path);

namespace logo_notes {
inline constexpr const char* kCannotRead = "The logo could not be read.";
}  // namespace logo_notes

}  // namespace qtk
