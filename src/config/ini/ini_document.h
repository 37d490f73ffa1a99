#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qtk::ini {

// An INI file read and parsed once, answering every key the way the private-profile
// functions of private_profile.h answer it from the file: the same line rules, section and
// key names compared without regard to case, the first matching key of the file winning
// (also across repeated sections of one name), missing keys giving the default, the same
// integer parsing. A configuration description is read key by key hundreds of times per
// load; this reads the file once for all of them.
class IniDocument {
 public:
  // The document of an INI text.
  static IniDocument Parse(std::string_view text);
  // The document of the file; nothing when it cannot be opened.
  static std::optional<IniDocument> Read(const std::filesystem::path& file);

  // The key's value (trimmed, one pair of enclosing quotes removed), or nothing.
  const std::string* Find(std::string_view section, std::string_view key) const;

  // As GetPrivateProfileInt and GetPrivateProfileString.
  int32_t GetInt(std::string_view section, std::string_view key, int32_t default_value) const;
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view default_value) const;

 private:
  // Section and key names as the file spells them, hashed and compared without regard to
  // case, so a lookup needs no folded copy of the name.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const noexcept;
  };
  struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
  };
  // Each section's keys with the value of the first occurrence in the file.
  using Keys = std::unordered_map<std::string, std::string, NameHash, NameEqual>;
  std::unordered_map<std::string, Keys, NameHash, NameEqual> sections_;
};

}  // namespace qtk::ini
