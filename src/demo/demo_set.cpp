#include "demo/demo_set.h"

#include "firmware/image/chunk_ids.h"
#include "testdata/image_builder.h"

namespace qtk::demo {

bool WriteDemoSet(const std::filesystem::path& dir, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    *error = "can not create " + dir.string() + ": " + ec.message();
    return false;
  }
  using testdata::ChunkSpec;
  std::vector<ChunkSpec> chunks(3);
  chunks[0] = {.id = kBootloaderChunkId, .name = "bootloader", .data = testdata::PatternBytes(1024),
               .no_crc = true, .region_size = 0x40000};
  chunks[1] = {.id = kMainCodeChunkId, .name = "maincode", .data = testdata::PatternBytes(4096, 3),
               .region_size = 0x10000};
  chunks[2] = {.id = kCommonDataChunkId, .name = "common data",
               .data = std::vector<uint8_t>(1452, 0), .region_size = 0x1000};
  if (!testdata::WriteFile((dir / kDemoImageName).string(), testdata::BuildImage(chunks))) {
    *error = "can not write " + (dir / kDemoImageName).string();
    return false;
  }
  return true;
}

}  // namespace qtk::demo
