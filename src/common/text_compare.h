#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace qtk {

// Compares two texts without regard to the case of ASCII letters, as INI names, chunk names
// and file names on the firmware's home platform are compared.
inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace qtk
