#include "app/file_filter.h"

#include <vector>

namespace qtk {
namespace {

std::vector<std::string> SplitBars(const std::string& text) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : text) {
    if (c == '|') {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current);
  return parts;
}

bool NamesPatternInParentheses(const std::string& description) {
  const auto open = description.rfind('(');
  return open != std::string::npos && !description.empty() && description.back() == ')';
}

std::string SpacedPatterns(std::string pattern) {
  for (char& c : pattern) {
    if (c == ';')
      c = ' ';
  }
  return pattern;
}

}  // namespace

std::string ConvertFileFilter(const std::string& filter) {
  const std::vector<std::string> parts = SplitBars(filter);
  std::string out;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    const std::string& description = parts[i];
    const std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string();
    // The list ends at the first empty description ("||").
    if (description.empty())
      break;
    std::string entry = description;
    if (!NamesPatternInParentheses(description) && !pattern.empty()) {
      entry += " (" + SpacedPatterns(pattern) + ")";
    }
    if (!out.empty())
      out += ";;";
    out += entry;
  }
  return out;
}

}  // namespace qtk
