#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "firmware/firmware_project.h"

namespace qtk {

// The firmware password is kept in record offsets 100 and 104 as two words keyed with the
// main code chunk's CRC, so that replacing the main code changes the key.
inline constexpr uint32_t kPasswordScramble = 0x2C6B19D4u;

// A firmware password is a sequence of single bytes, at most this many: the two words hold 8
// bytes. A character that needs two bytes would be stored cut and could never be typed again,
// so every front end accepts only characters with a one-byte (Latin-1) encoding.
inline constexpr size_t kMaxPasswordLength = 8;

// The password bytes of a text given as UTF-8 (a command line): nothing when a character has no
// one-byte encoding or when there are more than kMaxPasswordLength characters.
std::optional<std::string> PasswordFromUtf8(std::string_view text);

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
