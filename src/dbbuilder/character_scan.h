#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qtk::dbbuilder {

inline constexpr const char* kCharacterListName = "chout.txt";
inline constexpr size_t kCharactersPerLine = 16;

// The double-byte characters of the program list file, each
// once, in ascending code order (lead byte × 256 + trail byte). Bytes are read while fewer
// than size - 1 have been read; a byte of 0xB0 or more is a lead byte and consumes the next
// byte, and the pair is a character when that byte is 0xA1 or more. 0xFF 0xFF is never a
// character.
std::vector<uint16_t> ScanCharacters(std::span<const uint8_t> text);

// The content of chout.txt: lead and trail byte of each character, a line end ('\n', which
// a text-mode stream turns into the platform's line end) after every 16th.
std::string FormatCharacterList(std::span<const uint16_t> codes);

}  // namespace qtk::dbbuilder
