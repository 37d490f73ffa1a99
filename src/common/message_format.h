#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qtk {

// Fills the one "%s" of a message pattern, such as "Open chunk file %s fail!", with a text of
// any length (a file path may be longer than any fixed buffer).
inline std::string FormatMessage(const char* pattern, const std::string& value) {
  std::vector<char> text(std::char_traits<char>::length(pattern) + value.size() + 1);
  std::snprintf(text.data(), text.size(), pattern, value.c_str());
  return text.data();
}

}  // namespace qtk
