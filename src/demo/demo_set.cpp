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
  auto chunk = [](uint32_t id, const char* name, std::vector<uint8_t> data, uint32_t region) {
    ChunkSpec c;
    c.id = id;
    c.name = name;
    c.data = std::move(data);
    c.region_size = region;
    return c;
  };
  std::vector<ChunkSpec> chunks = {
      chunk(kBootloaderChunkId, "bootloader", testdata::PatternBytes(1024), 0x40000),
      chunk(kMainCodeChunkId, "maincode", testdata::PatternBytes(4096, 3), 0x10000),
      chunk(kCommonDataChunkId, "common data", std::vector<uint8_t>(1452, 0), 0x1000)};
  chunks[0].no_crc = true;
  if (!testdata::WriteFile((dir / kDemoImageName).string(), testdata::BuildImage(chunks))) {
    *error = "can not write " + (dir / kDemoImageName).string();
    return false;
  }
  return true;
}

}  // namespace qtk::demo
