#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qtk {

// Fills the one "%d" of a message pattern, such as "the Panel only support %d keys".
inline std::string FormatCountMessage(const char* pattern, int value) {
  std::vector<char> text(std::char_traits<char>::length(pattern) + 16);
  std::snprintf(text.data(), text.size(), pattern, value);
  return text.data();
}

// Fills the two "%s" of a message pattern that names two rows or keys, first and second.
inline std::string FormatPairMessage(const char* pattern, const std::string& first,
                                     const std::string& second) {
  std::vector<char> text(std::char_traits<char>::length(pattern) + first.size() + second.size() +
                         1);
  std::snprintf(text.data(), text.size(), pattern, first.c_str(), second.c_str());
  return text.data();
}

}  // namespace qtk
