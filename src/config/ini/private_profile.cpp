#include "config/ini/private_profile.h"

#include <optional>
#include <sstream>
#include <vector>

#include "common/pending_file.h"
#include "common/text_compare.h"
#include "config/ini/profile_lines.h"

namespace qtk::ini {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The file's lines, copied so that the writer can change them, and whether the file starts
// with a byte order mark (which the lines leave out).
std::vector<std::string> ReadLines(const std::filesystem::path& file, bool* exists,
                                   bool* byte_order_mark) {
  std::optional<std::string> text = ReadText(file);
  *exists = text.has_value();
  *byte_order_mark = text && text->starts_with(kByteOrderMark);
  std::vector<std::string> lines;
  if (text) {
    for (std::string_view line : SplitLines(*text))
      lines.emplace_back(line);
  }
  return lines;
}

std::optional<std::string> FindValueInText(std::string_view section, std::string_view key,
                                           std::string_view text) {
  bool in_section = false;
  for (std::string_view line : SplitLines(text)) {
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

std::optional<std::string> FindValue(std::string_view section, std::string_view key,
                                     const std::filesystem::path& file) {
  const std::optional<std::string> text = ReadText(file);
  if (!text)
    return std::nullopt;
  return FindValueInText(section, key, *text);
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

std::string GetProfileStringFromText(std::string_view section, std::string_view key,
                                     std::string_view default_value, std::string_view text) {
  std::optional<std::string> value = FindValueInText(section, key, text);
  return value ? *value : std::string(default_value);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& file) {
  bool exists = false;
  bool byte_order_mark = false;
  std::vector<std::string> lines = ReadLines(file, &exists, &byte_order_mark);
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
  // The mark stays: without it, whatever follows it would be read as the file's start, and
  // a second mark there would then be skipped too, changing the first line's meaning.
  if (byte_order_mark)
    text << kByteOrderMark;
  for (const std::string& line : lines)
    text << line << "\r\n";
  // Written beside the file and renamed over it once complete on the disk, so a failed
  // write never leaves half an INI file and never loses the keys it already held.
  const std::string bytes = text.str();
  PendingFile out(file);
  return out.Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) && out.Commit();
}

}  // namespace qtk::ini
