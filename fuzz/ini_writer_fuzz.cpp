// Any bytes as an INI file, then one key written into it: reading the key back gives the value
// written, and every other key keeps the value it had.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/ini/ini_document.h"
#include "config/ini/private_profile.h"
#include "config/ini/profile_lines.h"
#include "fuzz_scratch.h"

namespace {

using qtk::fuzz::Check;

// A name or value the INI format carries unchanged: letters, digits and a few marks, taken
// from the input (at most `limit` bytes), never empty.
std::string Word(const uint8_t*& data, size_t& size, size_t limit, bool spaces) {
  std::string word;
  while (size > 0 && word.size() < limit) {
    const char c = static_cast<char>(*data++);
    --size;
    if (c == '|')
      break;
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' ||
        (spaces && c == ' ' && !word.empty()))
      word += c;
  }
  while (!word.empty() && word.back() == ' ')
    word.pop_back();
  return word.empty() ? "k" : word;
}

bool Same(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace ini = qtk::ini;
  const std::string section = Word(data, size, 16, false);
  const std::string key = Word(data, size, 16, false);
  const std::string value = Word(data, size, 32, true);
  const std::string path = qtk::fuzz::ScratchFile("writer.ini");
  qtk::fuzz::WriteScratch(path, data, size);
  const std::string before_text(reinterpret_cast<const char*>(data), size);
  const ini::IniDocument before = ini::IniDocument::Parse(before_text);

  Check(ini::WritePrivateProfileString(section, key, value, path));
  const std::optional<ini::IniDocument> after = ini::IniDocument::Read(path);
  Check(after.has_value());
  Check(after->GetString(section, key, "\x01") == value);
  Check(ini::GetPrivateProfileString(section, key, "\x01", path) == value);

  // Every other key of the old file reads as before.
  std::string current;
  for (std::string_view line : ini::SplitLines(before_text)) {
    if (auto header = ini::SectionHeader(line)) {
      current = std::string(*header);
      continue;
    }
    auto kv = ini::ParseKeyLine(line);
    if (!kv || (Same(current, section) && Same(kv->key, key)))
      continue;
    Check(after->GetString(current, kv->key, "\x01") == before.GetString(current, kv->key, "\x01"));
  }
  return 0;
}
