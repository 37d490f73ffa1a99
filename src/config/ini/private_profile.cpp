#include "config/ini/private_profile.h"

#include "common/text_compare.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace qtk::ini {
namespace {

std::string_view TrimBlanks(std::string_view s) {
  auto is_blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && is_blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back()))
    s.remove_suffix(1);
  return s;
}

std::vector<std::string> ReadLines(const std::filesystem::path& file, bool* exists) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  *exists = static_cast<bool>(in);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    // A UTF-8 byte order mark (as some editors save INI files) is not part of the first line.
    if (lines.empty() && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
      line.erase(0, 3);
    lines.push_back(line);
  }
  return lines;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionHeader(std::string_view line) {
  line = TrimBlanks(line);
  if (line.size() < 2 || line.front() != '[')
    return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos)
    return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  std::string_view t = TrimBlanks(line);
  if (t.empty() || t.front() == ';')
    return std::nullopt;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos)
    return std::nullopt;
  return KeyLine{TrimBlanks(t.substr(0, eq)), TrimBlanks(t.substr(eq + 1))};
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

std::optional<std::string> FindValue(std::string_view section, std::string_view key,
                                     const std::filesystem::path& file) {
  bool exists = false;
  std::vector<std::string> lines = ReadLines(file, &exists);
  bool in_section = false;
  for (const std::string& line : lines) {
    if (auto header = SectionHeader(line)) {
      in_section = EqualsIgnoringCase(*header, section);
      continue;
    }
    if (!in_section)
      continue;
    if (auto kv = ParseKeyLine(line); kv && EqualsIgnoringCase(kv->key, key)) {
      return std::string(Unquote(kv->value));
    }
  }
  return std::nullopt;
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
      int digit = std::isdigit(static_cast<unsigned char>(text[i]))
                      ? text[i] - '0'
                      : std::tolower(static_cast<unsigned char>(text[i])) - 'a' + 10;
      value = std::min<uint64_t>(value * 16 + digit, 0xFFFFFFFFull);
    }
    uint32_t bits = static_cast<uint32_t>(value);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  for (size_t i = 0; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = std::min<uint64_t>(value * 10 + (text[i] - '0'), 0x80000000ull);
  }
  // Decimal values saturate at the ends of the signed range rather than wrapping.
  if (negative)
    return value >= 0x80000000ull ? INT32_MIN : -static_cast<int32_t>(value);
  return value > 0x7FFFFFFFull ? INT32_MAX : static_cast<int32_t>(value);
}

}  // namespace

int32_t GetPrivateProfileInt(std::string_view section, std::string_view key, int32_t default_value,
                             const std::filesystem::path& file) {
  std::optional<std::string> value = FindValue(section, key, file);
  if (!value)
    return default_value;
  return ParseLeadingInt(*value);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value,
                                    const std::filesystem::path& file) {
  std::optional<std::string> value = FindValue(section, key, file);
  return value ? *value : std::string(default_value);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& file) {
  bool exists = false;
  std::vector<std::string> lines = ReadLines(file, &exists);
  // A file that is there but cannot be read must not be replaced by one holding only the key.
  std::error_code exists_error;
  if (!exists && std::filesystem::exists(file, exists_error))
    return false;
  const std::string new_line = std::string(key) + "=" + std::string(value);

  bool in_section = false;
  std::optional<size_t> section_end;  // index after the last line of the section
  bool written = false;
  for (size_t i = 0; i < lines.size() && !written; ++i) {
    if (auto header = SectionHeader(lines[i])) {
      if (in_section)
        break;
      in_section = EqualsIgnoringCase(*header, section);
      if (in_section)
        section_end = i + 1;
      continue;
    }
    if (!in_section)
      continue;
    if (auto kv = ParseKeyLine(lines[i])) {
      if (EqualsIgnoringCase(kv->key, key)) {
        lines[i] = new_line;
        written = true;
        break;
      }
    }
    if (!TrimBlanks(lines[i]).empty())
      section_end = i + 1;
  }
  if (!written) {
    if (section_end) {
      lines.insert(lines.begin() + static_cast<long>(*section_end), new_line);
    } else {
      lines.push_back("[" + std::string(section) + "]");
      lines.push_back(new_line);
    }
  }

  std::ostringstream text;
  for (const std::string& line : lines)
    text << line << "\r\n";
  // Write beside the file and rename, so a failed write never leaves half an INI file.
  std::filesystem::path temp = file;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out)
      return false;
    out << text.str();
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, file, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace qtk::ini
