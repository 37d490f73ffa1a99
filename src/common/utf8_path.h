#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qtk {

// Paths travel through the programs as std::filesystem::path; where one is held or shown as
// text (a command-line argument, a message, a path typed into a dialog, a file name read from
// an INI file) the text is UTF-8. On POSIX systems both conversions keep the bytes as they
// are. On Windows the text is converted from and to the wide file names of the system: a
// std::string handed straight to std::filesystem::path or an fstream there would be read in
// the ANSI code page and turn every character outside it into '?'.

// The path named by UTF-8 text. On Windows, text that is not valid UTF-8 is read in the ANSI
// code page instead, as the file names in INI files written by older Windows programs are.
std::filesystem::path PathFromUtf8(std::string_view text);

// The path as UTF-8 text, for messages and for the programs' std::string interfaces. On
// Windows a wide name that is no valid UTF-16 (an unpaired surrogate) gets U+FFFD in its place.
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace qtk
