#include "bench/sixteen_mib_image.h"

#include "firmware/image/chunk_ids.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"

namespace qtk::bench {
namespace {

using testdata::ChunkSpec;

// Gives the chunk `region` bytes and fills its data up to a few bytes short of it.
void Resize(ChunkSpec& chunk, uint32_t region, uint8_t seed) {
  chunk.region_size = region;
  chunk.data = testdata::PatternBytes(region - kChunkHeaderSize - 64, seed);
}

}  // namespace

std::vector<uint8_t> SixteenMiBImage(const std::vector<uint8_t>& logo) {
  testdata::StandardImageOptions options;
  options.bootloader_region = 0x40000;
  std::vector<ChunkSpec> chunks = testdata::StandardChunks(options);
  uint32_t used = 0;
  for (ChunkSpec& chunk : chunks) {
    switch (chunk.id) {
      case kMainCodeChunkId:
        Resize(chunk, 10u << 20, 11);
        break;
      case kLogoChunkId:
        Resize(chunk, 1u << 20, static_cast<uint8_t>(chunk.id >> 8));
        if (!logo.empty())
          chunk.data = logo;
        break;
      case kDefaultDatabaseChunkId:
      case kUserDatabaseChunkId:
        Resize(chunk, 1u << 20, static_cast<uint8_t>(chunk.id >> 8));
        break;
      case kTunerDriverChunkId:
        Resize(chunk, 64u << 10, 13);
        break;
      default:
        break;
    }
    used += chunk.region_size;
  }
  ChunkSpec rom;
  rom.id = kGameRomChunkId;
  rom.name = "gamerom";
  rom.no_crc = true;
  Resize(rom, 512u << 10, 17);
  used += rom.region_size;
  chunks.insert(chunks.end() - 1, rom);  // the common data chunk stays behind it

  ChunkSpec last;
  last.id = 0x07F80100u;
  last.name = "resources";
  Resize(last, kSixteenMiB - used, 19);
  chunks.push_back(last);
  return testdata::BuildFirmware(chunks, kSixteenMiBPassword);
}

bool WriteSixteenMiBFolder(const std::filesystem::path& folder, const std::vector<uint8_t>& logo) {
  const std::vector<uint8_t> image = SixteenMiBImage(logo);
  return image.size() == kSixteenMiB &&
         testdata::WriteFile((folder / "image.bin").string(), image) &&
         testdata::RealisticDescription().Write(
             (folder / testdata::kDefaultDescriptionName).string());
}

}  // namespace qtk::bench
