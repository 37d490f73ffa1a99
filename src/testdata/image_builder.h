#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qtk::testdata {

// One chunk of a generated image.
struct ChunkSpec {
  uint32_t id = 0;
  std::string name;
  std::vector<uint8_t> data;
  bool no_crc = false;  // write "NCRC" instead of a CRC
  // Bytes the chunk occupies in the image, header included; 0 means header plus data.
  // For the last chunk the length field is region - 16, so the data is padded to the region.
  uint32_t region_size = 0;
  uint8_t filler = 0xFF;                 // bytes between the data and the next header
  std::array<uint8_t, 64> opaque{};      // header bytes 64-127
  std::optional<uint32_t> length_field;  // overrides the computed length
  std::optional<uint32_t> next_field;    // overrides the computed offset to next
  std::optional<uint32_t> crc_field;     // overrides the computed crc
};

// Lays the chunks out one after the other: each header is followed by its data and filler
// up to its region; the last chunk's offset to next is 0. CRCs cover header bytes 16 to
// 16 + length.
std::vector<uint8_t> BuildImage(const std::vector<ChunkSpec>& chunks);

// Bytes 0, 1, 2, ... (mod 251) of the given size, so that every byte differs from its
// neighbours and a shifted copy is easy to spot.
std::vector<uint8_t> PatternBytes(size_t size, uint8_t seed = 0);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::string& path);

}  // namespace qtk::testdata
