#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qtk {

// Bounds-checked reads: each takes the whole buffer and an offset and gives nothing when the
// field would reach past the end.
inline std::optional<uint32_t> ReadU32BigEndian(std::span<const uint8_t> bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 4)
    return std::nullopt;
  const uint8_t* p = bytes.data() + offset;
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

inline std::optional<uint32_t> ReadU32LittleEndian(std::span<const uint8_t> bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 4)
    return std::nullopt;
  const uint8_t* p = bytes.data() + offset;
  return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

inline std::optional<uint16_t> ReadU16LittleEndian(std::span<const uint8_t> bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 2)
    return std::nullopt;
  const uint8_t* p = bytes.data() + offset;
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// Chunk headers are big-endian whatever the host order.
inline void PutU32BigEndian(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value >> 24);
  out[1] = static_cast<uint8_t>(value >> 16);
  out[2] = static_cast<uint8_t>(value >> 8);
  out[3] = static_cast<uint8_t>(value);
}

inline void PutU32LittleEndian(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
  out[2] = static_cast<uint8_t>(value >> 16);
  out[3] = static_cast<uint8_t>(value >> 24);
}

inline void PutU16LittleEndian(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace qtk
