#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qtk {

// Text helpers of the configuration description reader. The pages use IsHex and
// HexValue for their hexadecimal fields too.

// The set the reader always trims with: space and tab.
inline constexpr std::string_view kBlanks = " \t";

// Which end Trim works on; the numbers are the modes 0, 1 and 2 the reader uses.
enum class TrimMode : int { kBoth = 0, kLeading = 1, kTrailing = 2 };

// Removes every leading (kLeading), trailing (kTrailing) or both (kBoth) characters of the
// text that occur in the set. An empty text is returned unchanged.
std::string Trim(std::string_view text, TrimMode mode = TrimMode::kBoth,
                 std::string_view set = kBlanks);

// True when the text is non-empty and every character is '0'..'9'. With allow_sign, a first
// character '+' or '-' is also accepted when the text has at least 2 characters.
bool IsDecimal(std::string_view text, bool allow_sign = false);

// The value of a decimal text without sign; nothing when IsDecimal(text, false) fails or the
// value does not fit 32 bits (leading zeros do not count: "000255" is 255).
std::optional<uint32_t> DecimalValue(std::string_view text);

// With need_prefix: at least 3 characters, "0x" or "0X" first, then only hexadecimal digits
// (0-9, A-F, a-f). Without: non-empty and only hexadecimal digits.
bool IsHex(std::string_view text, bool need_prefix);

// The value of a hexadecimal text (with the "0x"/"0X" prefix when has_prefix):
// - 0 when IsHex(text, has_prefix) fails (callers test IsHex first);
// - nothing when the value does not fit 32 bits ("too large"; leading zeros do not count,
//   so "0x00000000C2" is 0xC2 but "0x1000000C2" is too large). The value never wraps.
std::optional<uint32_t> HexValue(std::string_view text, bool has_prefix);

// The byte forms of the flash tables and the named value parsers:
// a decimal without sign at most 255, or a prefixed hexadecimal at most 0xFF. Nothing when the
// text is empty, not of the form, or too large.
std::optional<uint8_t> DecimalByte(std::string_view text);
std::optional<uint8_t> HexByte(std::string_view text);

// Cuts the text into exactly count comma-separated fields, each trimmed of blanks, in text
// order: the last count - 1 fields are taken from the right at the last ',', the
// rest (which may itself hold commas) is the first field. Returns false, with fields emptied
// or partly filled, when a field would be empty, a ',' is first or last, there are fewer than
// count fields, or count is below 1.
bool SplitFields(std::string_view text, int count, std::vector<std::string>& fields);

}  // namespace qtk
