#include "testdata/firmware_fixture.h"

#include <algorithm>
#include <cstring>

#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/image_parser.h"

namespace qtk::testdata {
namespace {

constexpr uint32_t kScramble = 0x2C6B19D4u;

void Put16(std::vector<uint8_t>& r, size_t at, uint16_t v) {
  PutU16LittleEndian(&r[at], v);
}

ChunkSpec Make(uint32_t id, const char* name, std::vector<uint8_t> data, uint32_t region) {
  ChunkSpec c;
  c.id = id;
  c.name = name;
  c.data = std::move(data);
  c.region_size = region;
  c.filler = 0xFF;
  return c;
}

}  // namespace

std::vector<uint8_t> MakeRecord(int config_version) {
  std::vector<uint8_t> r(1452, 0);
  r[0] = 0x5A;  // not interpreted; must survive every round trip
  // High nibble 0: the default database builder dfv_k7720x (1 would ask for a second one).
  r[1] = static_cast<uint8_t>(config_version & 0x0F);
  for (int i = 0; i < 6; ++i)
    r[2 + i] = static_cast<uint8_t>(1 + i);  // clock and pad block
  r[8] = 3;                                  // languages
  r[9] = 0;
  Put16(r, 10, 0x0007);
  r[12] = 1;
  r[13] = 2;
  r[14] = 3;
  r[28] = 32;
  r[29] = 20;
  r[30] = 3;  // TV modes in the description
  r[32] = 4;
  r[33] = 1;
  r[38] = 21;  // RF channel, the lowest of RF mode 0
  std::memcpy(&r[60], "DEMO 1.0.0", 10);
  std::memcpy(&r[84], "8888", 4);
  std::memcpy(&r[92], "----", 4);
  r[109] = 3;
  r[145] = 1;
  Put16(r, 146, 4000);
  r[165] = 0x40;  // four LED digits
  // GPIO usage of bus type 0: a GPIO of its own for each of the six wired uses.
  for (int i = 0; i < 6; ++i)
    r[168 + i] = static_cast<uint8_t>((10 + i) << 2);
  Put16(r, 780, 0x00FF);
  for (int i = 111; i < 124; ++i)
    r[i] = static_cast<uint8_t>(0xA0 + i);  // uninterpreted
  // Video outputs by code: enabled, DACs of the first, second and third signal. Output 0 is
  // on with DAC 1; the others are off, each with a DAC for every signal it uses.
  const uint8_t outputs[5][4] = {
      {1, 1, 0, 0}, {0, 2, 0, 0}, {0, 2, 3, 0}, {0, 2, 3, 4}, {0, 2, 3, 4}};
  for (int code = 0; code < 5; ++code)
    std::memcpy(&r[124 + 4 * code], outputs[code], 4);
  for (int i = 1130; i < 1160; ++i)
    r[i] = static_cast<uint8_t>(i);  // uninterpreted
  // Serial flash devices: two of the description's catalogue and one of the user's own, so
  // that a save never meets the empty-list question unless a test asks for it.
  const uint8_t flash[3][3] = {{0xC2, 0, 0}, {0x1C, 1, 2}, {0x9D, 1, 1}};
  Put16(r, 944, 3);
  for (int i = 0; i < 3; ++i) {
    r[948 + 2 * i] = flash[i][0];
    r[949 + 2 * i] = flash[i][1];
    r[1068 + i] = flash[i][2];
  }
  Put16(r, 1416, 12380);
  Put16(r, 1418, 27500);
  Put16(r, 1420, 0x100);
  Put16(r, 1450, 0x544F);
  return r;
}

void PutPasswordWords(std::vector<uint8_t>& record, const std::string& password, uint32_t key) {
  uint8_t text[8] = {};
  std::memcpy(text, password.data(), std::min<size_t>(8, password.size()));
  PutU32LittleEndian(&record[100], *ReadU32LittleEndian(text, 0) ^ key ^ kScramble);
  PutU32LittleEndian(&record[104], *ReadU32LittleEndian(text, 4) ^ key ^ kScramble);
}

std::vector<ChunkSpec> StandardChunks(const StandardImageOptions& o) {
  std::vector<ChunkSpec> chunks;
  ChunkSpec boot =
      Make(kBootloaderChunkId, "bootloader", PatternBytes(0x600, 1), o.bootloader_region);
  boot.no_crc = true;
  chunks.push_back(boot);
  ChunkSpec main = Make(kMainCodeChunkId, "maincode", PatternBytes(0x3000, 2), 0x4000);
  main.no_crc = o.main_code_no_crc;
  chunks.push_back(main);
  chunks.push_back(Make(kLogoChunkId, "logo", PatternBytes(0x400, 3), 0x1000));
  if (o.with_dynamic_panel) {
    chunks.push_back(Make(kDynamicPanelChunkId, "dynpanel", PatternBytes(0x100, 4), 0x400));
  }
  chunks.push_back(Make(kDefaultDatabaseChunkId, "defaultdb", PatternBytes(0x800, 5), 0x2000));
  chunks.push_back(Make(kUserDatabaseChunkId, "userdb", PatternBytes(0x200, 6), 0x16000));
  if (o.with_tuner_driver) {
    chunks.push_back(Make(kTunerDriverChunkId, "tunerdrv", PatternBytes(0x900, 7), 0x1000));
  }
  if (o.with_game_emulator) {
    chunks.push_back(Make(kGameEmulatorChunkId, "gameemu", PatternBytes(0x100, 8), 0x400));
  }
  ChunkSpec common =
      Make(kCommonDataChunkId, "common", MakeRecord(o.config_version), o.common_region);
  common.no_crc = o.common_no_crc;
  chunks.push_back(common);
  return chunks;
}

std::vector<uint8_t> BuildFirmware(std::vector<ChunkSpec> chunks, const std::string& password) {
  ChunkTable table;
  uint32_t key = 0;
  if (ParseImage(BuildImage(chunks), table) > 0) {
    if (auto main = table.FindAny(kMainCodeChunkId))
      key = table.entries[*main].crc;
  }
  for (ChunkSpec& c : chunks) {
    if (c.id == kCommonDataChunkId && c.data.size() >= 108)
      PutPasswordWords(c.data, password, key);
  }
  return BuildImage(chunks);
}

std::vector<uint8_t> BuildStandardFirmware(const StandardImageOptions& options,
                                           const std::string& password) {
  return BuildFirmware(StandardChunks(options), password);
}

}  // namespace qtk::testdata
