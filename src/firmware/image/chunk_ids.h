#pragma once

#include <cstdint>

namespace qtk {

// Chunk ids that the toolkit gives a role.
inline constexpr uint32_t kBootloaderChunkId = 0xE3000010u;
inline constexpr uint32_t kMainCodeChunkId = 0x01FE0101u;
inline constexpr uint32_t kLogoChunkId = 0x02FD0100u;
inline constexpr uint32_t kDynamicPanelChunkId = 0x02FDA101u;
inline constexpr uint32_t kDefaultDatabaseChunkId = 0x03FC0100u;
inline constexpr uint32_t kUserDatabaseChunkId = 0x04FB0100u;
inline constexpr uint32_t kGameEmulatorChunkId = 0x06F90101u;
inline constexpr uint32_t kGameRomChunkId = 0x06F90102u;
inline constexpr uint32_t kTunerDriverChunkId = 0x06F90301u;
inline constexpr uint32_t kCommonDataChunkId = 0x10EF0100u;

// The crc field value "NCRC": the chunk carries no CRC and is never checked.
inline constexpr uint32_t kNoCrc = 0x4E435243u;

inline constexpr uint32_t kChunkHeaderSize = 128;
// Bytes of the header before the CRC-guarded part (id, length, offset to next, crc).
inline constexpr uint32_t kChunkHeaderFixedSize = 16;
inline constexpr uint32_t kChunkNameSize = 48;

// A common data chunk this short or shorter holds the old record format.
inline constexpr uint32_t kOldFormatCommonLength = 496;

// Every chunk after the first must have the complement of its first id byte as second byte.
constexpr bool PassesIdRule(uint32_t id) {
  return (id >> 24) + ((id >> 16) & 0xFFu) == 0xFFu;
}

}  // namespace qtk
