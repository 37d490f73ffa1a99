#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/image/chunk_table.h"

namespace qtk::testdata {

// An image a save wrote, parsed again, so that a test reads back what was saved: the record in
// the common data chunk and the data of every chunk.
struct SavedImage {
  std::vector<uint8_t> bytes;
  ChunkTable table;
  bool parsed = false;  // the image parses and every CRC checks

  // The data bytes of the first chunk with this id, behind its 128-byte header: `size` bytes,
  // or the whole data (length - 112) when size is 0. Empty when the chunk is missing.
  std::vector<uint8_t> Data(uint32_t id, size_t size = 0) const;
  // The 1452 record bytes of the common data chunk.
  std::vector<uint8_t> Record() const;
};

SavedImage ParseSavedImage(std::vector<uint8_t> bytes);
SavedImage ReadSavedImage(const std::string& path);

}  // namespace qtk::testdata
