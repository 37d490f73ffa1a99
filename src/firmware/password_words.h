#pragma once

#include <string>

#include "firmware/firmware_project.h"

namespace qtk {

// The firmware password is kept in record offsets 100 and 104 as two words keyed with the
// main code chunk's CRC, so that replacing the main code changes the key.
inline constexpr uint32_t kPasswordScramble = 0x2C6B19D4u;

// The key: crc of the first main code chunk among all 16 table entries. An image without a
// main code chunk cannot carry a meaningful password; its key is 0.
uint32_t PasswordKey(const ChunkTable& chunks);

std::string DecodePassword(const FirmwareProject& project);
bool VerifyPassword(const FirmwareProject& project, const std::string& text);
// Writes the words for the text; does nothing when the text is empty or the project's
// password-refresh flag is clear. Only the first 8 characters count.
void EncodePassword(FirmwareProject& project, const std::string& text);
// Moves the words from one key to another without knowing the text they hold: a save that
// changes the main code CRC for any other reason than a replacement (the mirrored bytes in a
// main code chunk that stands first) keeps the same password this way.
void RekeyPasswordWords(FirmwareProject& project, uint32_t old_key, uint32_t new_key);

}  // namespace qtk
