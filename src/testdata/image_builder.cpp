#include "testdata/image_builder.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "common/utf8_path.h"
#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/crc32.h"

namespace qtk::testdata {

std::vector<uint8_t> BuildImage(const std::vector<ChunkSpec>& chunks) {
  std::vector<uint8_t> image;
  for (size_t i = 0; i < chunks.size(); ++i) {
    const ChunkSpec& c = chunks[i];
    const bool last = i + 1 == chunks.size();
    uint32_t natural = kChunkHeaderSize + static_cast<uint32_t>(c.data.size());
    uint32_t region = std::max(c.region_size, natural);
    uint32_t length =
        last ? region - kChunkHeaderFixedSize
             : static_cast<uint32_t>(kChunkHeaderSize - kChunkHeaderFixedSize + c.data.size());
    if (c.length_field)
      length = *c.length_field;
    uint32_t next = last ? 0 : region;
    if (c.next_field)
      next = *c.next_field;

    size_t start = image.size();
    image.resize(start + region, c.filler);
    uint8_t* h = image.data() + start;
    std::fill_n(h, kChunkHeaderSize, uint8_t{0});
    PutU32BigEndian(h, c.id);
    PutU32BigEndian(h + 4, length);
    PutU32BigEndian(h + 8, next);
    std::copy_n(c.name.begin(), std::min<size_t>(c.name.size(), kChunkNameSize - 1), h + 16);
    std::copy(c.opaque.begin(), c.opaque.end(), h + 64);
    std::copy(c.data.begin(), c.data.end(), h + kChunkHeaderSize);
    uint32_t crc = kNoCrc;
    if (!c.no_crc) {
      int64_t covered = std::min<int64_t>(length, int64_t(image.size() - start - 16));
      crc = Crc32(kCrcInitial, h + 16, covered);
    }
    if (c.crc_field)
      crc = *c.crc_field;
    PutU32BigEndian(h + 12, crc);
  }
  return image;
}

std::vector<uint8_t> PatternBytes(size_t size, uint8_t seed) {
  std::vector<uint8_t> out(size);
  for (size_t i = 0; i < size; ++i)
    out[i] = static_cast<uint8_t>((i + seed) % 251);
  return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  if (!f)
    return false;
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(PathFromUtf8(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

}  // namespace qtk::testdata
