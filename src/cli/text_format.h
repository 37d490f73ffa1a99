#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qtk::cli {

// "0x" and eight upper-case hexadecimal digits, as chunk ids and CRCs are written.
std::string Hex32(uint32_t value);

// The text followed by blanks up to `width` characters; a longer text is kept whole.
std::string PadRight(std::string_view text, size_t width);

}  // namespace qtk::cli
