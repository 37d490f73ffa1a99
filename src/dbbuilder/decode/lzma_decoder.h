#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "dbbuilder/decode/decode_result.h"

namespace qtk::dbbuilder {

// The five header bytes the builder's LZMA-alone stream starts with: properties byte 0x6C
// (lc 0, lp 2, pb 2) and an 8 MiB dictionary. The uncompressed size follows as 8
// little-endian bytes.
inline constexpr uint8_t kLzmaStreamMagic[5] = {0x6C, 0x00, 0x00, 0x80, 0x00};

// No raw default database is larger than the tables allow (2 + 2048 satellites of 32 bytes
// + 12000 TPs + 20000 programs: 929538 bytes); a header that announces more than this is
// refused before any memory is taken for it.
inline constexpr uint64_t kMaxRawDefaultDatabaseSize = 4u << 20;

// True when the bytes start with the builder's LZMA header (the size is not looked at).
bool HasLzmaStreamMagic(std::span<const uint8_t> bytes);

// Decompresses the builder's LZMA-alone stream. The header must be the builder's, with a
// known size of at most kMaxRawDefaultDatabaseSize; the stream must give exactly that many
// bytes. Bytes after the end of the stream (the filler of a chunk) are ignored.
Decoded<std::vector<uint8_t>> DecompressDefaultDatabase(std::span<const uint8_t> stream);

}  // namespace qtk::dbbuilder
