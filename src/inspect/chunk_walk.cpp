#include "inspect/chunk_walk.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/latin1_text.h"
#include "firmware/firmware_saver.h"
#include "firmware/image/byte_order.h"
#include "firmware/image/crc32.h"
#include "firmware/image/image_parser.h"
#include "inspect/hex_text.h"

namespace qtk {
namespace {

std::string ChunkWhere(const ChunkEntry& e) {
  return "chunk " + Hex8(e.id) + " \"" + Latin1ToUtf8(e.Name()) + "\"";
}

// The CRC of each chunk that carries one, over the length its header gives.
std::vector<Finding> CrcFindings(const ChunkTable& table, std::span<const uint8_t> image,
                                 std::span<const uint32_t> header_crcs) {
  std::vector<Finding> findings;
  for (int i = 0; i < table.count; ++i) {
    const ChunkEntry& e = table.entries[static_cast<size_t>(i)];
    const uint32_t stored = header_crcs[static_cast<size_t>(i)];
    if (stored == kNoCrc)
      continue;
    const uint64_t start = uint64_t{e.file_offset} + kChunkHeaderFixedSize;
    if (start + e.length > image.size()) {
      findings.push_back({ChunkWhere(e), "its length runs past the end of the file"});
      continue;
    }
    const uint32_t crc = Crc32(kCrcInitial, image.data() + start, e.length);
    if (crc != stored) {
      findings.push_back({ChunkWhere(e), "CRC " + Hex8(stored) + " in the header, " + Hex8(crc) +
                                             " over the data"});
    }
  }
  return findings;
}

// Parses a copy in which no chunk carries a CRC: the walk then fails only on the structure,
// with exactly the rules of a load.
std::optional<ChunkTable> ParseStructure(std::span<const uint8_t> image,
                                         std::vector<uint32_t>& header_crcs) {
  std::vector<uint8_t> copy(image.begin(), image.end());
  ChunkTable table;
  size_t p = 0;
  for (int i = 0; i < kMaxChunkEntries; ++i) {
    const auto crc = ReadU32BigEndian(copy, p + 12);
    const auto next = ReadU32BigEndian(copy, p + 8);
    if (!crc || !next)
      break;
    header_crcs.push_back(*crc);
    PutU32BigEndian(copy.data() + p + 12, kNoCrc);
    if (*next == 0 || *next > copy.size() - p)
      break;
    p += *next;
  }
  if (ParseImage(copy, table) == 0 || header_crcs.size() < static_cast<size_t>(table.count))
    return std::nullopt;
  for (int i = 0; i < table.count; ++i)
    table.entries[static_cast<size_t>(i)].crc = header_crcs[static_cast<size_t>(i)];
  return table;
}

}  // namespace

std::optional<ChunkWalk> WalkChunks(std::span<const uint8_t> image) {
  std::vector<uint32_t> header_crcs;
  std::optional<ChunkTable> table = ParseStructure(image, header_crcs);
  if (!table)
    return std::nullopt;
  ChunkWalk walk;
  walk.chunks = *table;
  walk.findings = CrcFindings(walk.chunks, image, header_crcs);
  for (int i = 0; i < walk.chunks.count; ++i) {
    const ChunkEntry& e = walk.chunks.entries[static_cast<size_t>(i)];
    walk.rooms.push_back({FactsOf(e), e.DataCapacity(),
                          int64_t{e.length} - (kChunkHeaderSize - kChunkHeaderFixedSize)});
  }
  return walk;
}

std::vector<Finding> CheckOtaFile(const ChunkTable& chunks, std::span<const uint8_t> image,
                                  std::span<const uint8_t> ota) {
  std::vector<Finding> findings;
  if (chunks.count < 2 || chunks.entries[0].region_size < kMirrorRegionSize) {
    findings.push_back({"OTA",
                        "this image has no OTA file (its first chunk's region is smaller "
                        "than 0x00040000 or it has one chunk)"});
    return findings;
  }
  // The OTA file's own chunks, as far as the file holds them whole.
  size_t p = 0;
  for (int i = 0; i < kMaxChunkEntries; ++i) {
    const auto id = ReadU32BigEndian(ota, p);
    const auto length = ReadU32BigEndian(ota, p + 4);
    const auto next = ReadU32BigEndian(ota, p + 8);
    const auto crc = ReadU32BigEndian(ota, p + 12);
    if (!id || !length || !next || !crc)
      break;
    char where[40];
    std::snprintf(where, sizeof where, "OTA chunk %s at 0x%08zX", Hex8(*id).c_str(), p);
    if (*crc != kNoCrc && p + kChunkHeaderFixedSize + *length <= ota.size() &&
        Crc32(kCrcInitial, ota.data() + p + kChunkHeaderFixedSize, *length) != *crc) {
      findings.push_back({where, "CRC " + Hex8(*crc) + " in the header does not match its data"});
    }
    if (*next == 0 || *next > ota.size() - p)
      break;
    p += *next;
  }
  const size_t start = chunks.entries[1].file_offset;
  const size_t expected =
      std::min<size_t>(kMaxOtaSize, image.size() - std::min(start, image.size()));
  const auto from_image = image.subspan(std::min(start, image.size()), expected);
  if (ota.size() != expected) {
    findings.push_back({"OTA", "the file holds " + std::to_string(ota.size()) +
                                   " bytes, a save of this image writes " +
                                   std::to_string(expected)});
  }
  const auto mismatch = std::mismatch(ota.begin(), ota.end(), from_image.begin(), from_image.end());
  if (mismatch.first != ota.end() && mismatch.second != from_image.end()) {
    const size_t at = static_cast<size_t>(mismatch.first - ota.begin());
    char what[96];
    std::snprintf(what, sizeof what,
                  "differs from the image at OTA offset 0x%08zX (image offset 0x%08zX)", at,
                  at + start);
    findings.push_back({"OTA", what});
  }
  return findings;
}

}  // namespace qtk
