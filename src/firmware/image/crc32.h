#pragma once

#include <cstdint>

namespace qtk {

// CRC-32/MPEG-2: polynomial 0x04C11DB7, most significant bit first, no reflection and no
// final XOR. Callers pass 0xFFFFFFFF as the initial register. A count of 0 or less returns
// the initial value unchanged.
uint32_t Crc32(uint32_t initial, const uint8_t* data, int64_t count);

inline constexpr uint32_t kCrcInitial = 0xFFFFFFFFu;

}  // namespace qtk
