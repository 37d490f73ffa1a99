#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qtk {

// "0x" and eight upper-case hexadecimal digits.
std::string Hex8(uint32_t value);
// The bytes as upper-case hexadecimal pairs with blanks between them.
std::string HexBytes(const std::vector<uint8_t>& bytes);

}  // namespace qtk
