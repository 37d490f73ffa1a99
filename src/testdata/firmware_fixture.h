#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "testdata/image_builder.h"

namespace qtk::testdata {

// A record with realistic values for every page; configuration version in the low nibble of
// byte 1. The password words are left zero (see BuildFirmware).
std::vector<uint8_t> MakeRecord(int config_version);

// Writes the password words (record offsets 100 and 104) for the key (main code CRC).
void PutPasswordWords(std::vector<uint8_t>& record, const std::string& password, uint32_t key);

struct StandardImageOptions {
  uint32_t bootloader_region = 0x1000;  // 0x40000 gives the mirror block and the OTA file
  int config_version = 2;
  bool main_code_no_crc = false;
  bool common_no_crc = false;
  bool with_dynamic_panel = true;
  bool with_game_emulator = true;
  bool with_tuner_driver = true;
  uint32_t common_region = 0x800;  // header + 1452 record bytes + zeros
};

// Boot loader (NCRC), main code, logo, dynamic panel, default and user database, tuner
// driver, game emulator and common data chunks, as a chunk list the tests can change.
std::vector<ChunkSpec> StandardChunks(const StandardImageOptions& options);

// Builds the image and keys the password words of its common data chunk with the main code
// chunk's CRC as it comes out of the build (0 without a main code chunk).
std::vector<uint8_t> BuildFirmware(std::vector<ChunkSpec> chunks, const std::string& password);

// The same for the standard chunk list.
std::vector<uint8_t> BuildStandardFirmware(const StandardImageOptions& options,
                                           const std::string& password);

}  // namespace qtk::testdata
