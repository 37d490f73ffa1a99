#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qtk::ini {

// The line rules of INI files, shared by the key-by-key functions, the writer and the
// document that reads a file once, so all three see the same sections, keys and values.

// Removes spaces, tabs, carriage returns and line feeds at both ends.
std::string_view TrimBlanks(std::string_view s);

// The file's lines as a line-by-line reader sees them: split at '\n', one '\r' before it
// dropped, a last line without '\n' kept, no empty line after a final '\n'. A UTF-8 byte
// order mark (as some editors save INI files) is not part of the first line.
std::vector<std::string_view> SplitLines(std::string_view text);

// The whole file as text; nothing when it cannot be opened.
std::optional<std::string> ReadText(const std::filesystem::path& file);

// The section name of a "[name]" line (trimmed, up to the first ']'; text after it is
// ignored), or nothing for any other line.
std::optional<std::string_view> SectionHeader(std::string_view line);

// A "key=value" line: both sides trimmed, split at the first '='. Nothing for blank lines,
// comments (first non-blank character ';') and lines without '='.
struct KeyLine {
  std::string_view key;
  std::string_view value;
};
std::optional<KeyLine> ParseKeyLine(std::string_view line);

// The value without one pair of enclosing double or single quotes.
std::string_view Unquote(std::string_view value);

// The signed number a value starts with: optional blanks, an optional sign, then decimal
// digits (saturating at the ends of the signed range), or "0x"/"0X" and hexadecimal digits
// (an unsigned 32-bit pattern). Text after the number is ignored; no number gives 0.
int32_t ParseLeadingInt(std::string_view text);

}  // namespace qtk::ini
