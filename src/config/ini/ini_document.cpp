#include "config/ini/ini_document.h"

#include <cctype>

#include "common/text_compare.h"
#include "config/ini/profile_lines.h"

namespace qtk::ini {

// The same folding as EqualsIgnoringCase, so names it calls equal hash alike.
size_t IniDocument::NameHash::operator()(std::string_view name) const noexcept {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
    hash *= 0x100000001B3ull;
  }
  return static_cast<size_t>(hash);
}

bool IniDocument::NameEqual::operator()(std::string_view a, std::string_view b) const noexcept {
  return EqualsIgnoringCase(a, b);
}

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument document;
  // Key lines before the first section header belong to no section and are never found.
  Keys* current = nullptr;
  for (std::string_view line : SplitLines(text)) {
    if (std::optional<std::string_view> header = SectionHeader(line)) {
      auto found = document.sections_.find(*header);
      if (found == document.sections_.end())
        found = document.sections_.emplace(std::string(*header), Keys{}).first;
      current = &found->second;
      continue;
    }
    if (current == nullptr)
      continue;
    std::optional<KeyLine> kv = ParseKeyLine(line);
    if (kv && current->find(kv->key) == current->end())
      current->emplace(std::string(kv->key), std::string(Unquote(kv->value)));
  }
  return document;
}

std::optional<IniDocument> IniDocument::Read(const std::filesystem::path& file) {
  std::optional<std::string> text = ReadText(file);
  if (!text)
    return std::nullopt;
  return Parse(*text);
}

const std::string* IniDocument::Find(std::string_view section, std::string_view key) const {
  const auto s = sections_.find(section);
  if (s == sections_.end())
    return nullptr;
  const auto k = s->second.find(key);
  return k == s->second.end() ? nullptr : &k->second;
}

int32_t IniDocument::GetInt(std::string_view section, std::string_view key,
                            int32_t default_value) const {
  const std::string* value = Find(section, key);
  return value ? ParseLeadingInt(*value) : default_value;
}

std::string IniDocument::GetString(std::string_view section, std::string_view key,
                                   std::string_view default_value) const {
  const std::string* value = Find(section, key);
  return value ? *value : std::string(default_value);
}

}  // namespace qtk::ini
