#include "config/ini/profile_lines.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "common/file_io.h"

namespace qtk::ini {

std::string_view TrimBlanks(std::string_view s) {
  auto is_blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && is_blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back()))
    s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find('\n', pos);
    std::string_view line =
        end == std::string_view::npos ? text.substr(pos) : text.substr(pos, end - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (lines.empty() && line.starts_with("\xEF\xBB\xBF"))
      line.remove_prefix(3);
    lines.push_back(line);
  }
  return lines;
}

std::optional<std::string> ReadText(const std::filesystem::path& file) {
  // Only a regular file: a FIFO would block the reader and a device never ends.
  std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(file);
  if (!bytes)
    return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

std::optional<std::string_view> SectionHeader(std::string_view line) {
  line = TrimBlanks(line);
  if (line.size() < 2 || line.front() != '[')
    return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos)
    return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  const std::string_view t = TrimBlanks(line);
  if (t.empty() || t.front() == ';')
    return std::nullopt;
  const size_t eq = t.find('=');
  if (eq == std::string_view::npos)
    return std::nullopt;
  return KeyLine{TrimBlanks(t.substr(0, eq)), TrimBlanks(t.substr(eq + 1))};
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

int32_t ParseLeadingInt(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  uint64_t value = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
      std::isxdigit(static_cast<unsigned char>(text[2]))) {
    for (size_t i = 2; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
      const int digit = std::isdigit(static_cast<unsigned char>(text[i]))
                            ? text[i] - '0'
                            : std::tolower(static_cast<unsigned char>(text[i])) - 'a' + 10;
      value = std::min<uint64_t>(value * 16 + static_cast<uint64_t>(digit), 0xFFFFFFFFull);
    }
    const uint32_t bits = static_cast<uint32_t>(value);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  for (size_t i = 0; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(text[i] - '0'), 0x80000000ull);
  // Decimal values saturate at the ends of the signed range rather than wrapping.
  if (negative)
    return value >= 0x80000000ull ? INT32_MIN : -static_cast<int32_t>(value);
  return value > 0x7FFFFFFFull ? INT32_MAX : static_cast<int32_t>(value);
}

}  // namespace qtk::ini
