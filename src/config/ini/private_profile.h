#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace qtk::ini {

// Private-profile access to INI files, file by file and key by key:
// - "[name]" opens a section; "key=value" lines belong to the section above them;
//   lines whose first non-blank character is ';' are comments;
// - section and key names are compared without regard to case (ASCII);
// - a missing file, section or key gives the default; the first matching key wins;
// - values are trimmed of blanks at both ends, and one pair of enclosing double or single
//   quotes is removed;
// - a UTF-8 byte order mark at the start of the file is ignored;
// - each call opens, reads and closes the file; nothing is cached (IniDocument in
//   ini_document.h reads a file once and answers every key by the same rules).

// The signed number the value starts with: optional blanks, an optional sign, then decimal
// digits, or "0x"/"0X" and hexadecimal digits (read as an unsigned 32-bit pattern, so
// 0x10EF0100 and 0xFFFFFFFF keep their bits). Text after the number is ignored. A value that
// does not start with a number gives 0; a missing key gives the default.
int32_t GetPrivateProfileInt(std::string_view section, std::string_view key, int32_t default_value,
                             const std::filesystem::path& file);

// The key's value, or the default when the key is missing.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value,
                                    const std::filesystem::path& file);

// GetPrivateProfileString over the content of a file already in memory: the same answer the
// file of that content gives, key by key, without reading it again.
std::string GetProfileStringFromText(std::string_view section, std::string_view key,
                                     std::string_view default_value, std::string_view text);

// Sets one key, keeping every other line of the file as it was. A missing key is added at
// the end of its section; a missing section is appended; a missing file is created.
// Returns false, changing nothing, when an existing file cannot be read or the file cannot be
// written.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& file);

}  // namespace qtk::ini
