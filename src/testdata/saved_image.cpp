#include "testdata/saved_image.h"

#include <algorithm>

#include "firmware/image/chunk_ids.h"
#include "firmware/image/image_parser.h"
#include "testdata/image_builder.h"

namespace qtk::testdata {

namespace {
constexpr size_t kHeaderSize = 128;
constexpr size_t kLengthBeyondData = 112;  // the length word counts header bytes 16 to 127
constexpr size_t kRecordSize = 1452;
}  // namespace

std::vector<uint8_t> SavedImage::Data(uint32_t id, size_t size) const {
  const std::optional<int> index = table.FindLoaded(id);
  if (!index)
    return {};
  const ChunkEntry& e = table.entries[static_cast<size_t>(*index)];
  if (size == 0)
    size = e.length > kLengthBeyondData ? e.length - kLengthBeyondData : 0;
  const size_t first = e.file_offset + kHeaderSize;
  if (first > bytes.size())
    return {};
  const size_t last = std::min(bytes.size(), first + size);
  return std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(first),
                              bytes.begin() + static_cast<std::ptrdiff_t>(last));
}

std::vector<uint8_t> SavedImage::Record() const {
  return Data(kCommonDataChunkId, kRecordSize);
}

SavedImage ParseSavedImage(std::vector<uint8_t> bytes) {
  SavedImage saved;
  saved.bytes = std::move(bytes);
  saved.parsed = ParseImage(saved.bytes, saved.table) > 0;
  return saved;
}

SavedImage ReadSavedImage(const std::string& path) {
  return ParseSavedImage(ReadFile(path));
}

}  // namespace qtk::testdata
