#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qtk::testdata {

// A configuration description as data: sections in file order, each with its keys in order.
// Tests build one (usually from RealisticDescription), break it on purpose (remove a section,
// replace an item with a bad one, set a key negative) and write it as an INI file.
struct IniKey {
  std::string key;
  std::string value;
};

struct IniSection {
  std::string name;
  std::vector<IniKey> keys;
};

class DescriptionSpec {
 public:
  std::vector<IniSection> sections;

  // Section and key names match exactly (case-sensitive), so a test can also write two
  // spellings of one name.
  IniSection* FindSection(std::string_view name);
  const IniSection* FindSection(std::string_view name) const;
  bool HasSection(std::string_view name) const { return FindSection(name) != nullptr; }
  // The section, appended at the end when missing.
  IniSection& Section(std::string_view name);
  bool RemoveSection(std::string_view name);

  // Replaces the key's value in place, or appends the key (and the section when missing).
  DescriptionSpec& Set(std::string_view section, std::string_view key, std::string_view value);
  DescriptionSpec& Set(std::string_view section, std::string_view key, int64_t value);
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  bool RemoveKey(std::string_view section, std::string_view key);

  // Replaces the section's item0, item1, ... keys with the given items (other keys stay;
  // the section is created when missing).
  DescriptionSpec& SetItems(std::string_view section, const std::vector<std::string>& items);
  // item0, item1, ... up to the first missing index.
  std::vector<std::string> Items(std::string_view section) const;
  // Sets item<index> (the key is appended when missing, so an index past the end leaves a gap).
  DescriptionSpec& SetItem(std::string_view section, size_t index, std::string_view text);
  DescriptionSpec& AppendItem(std::string_view section, std::string_view text);

  // The INI text: a comment line, then "[name]" and "key=value" lines with CRLF line ends and
  // a blank line after each section.
  std::string ToText() const;
  bool Write(const std::filesystem::path& file) const;
  // The same for a path given as UTF-8 text, as the tests hold their paths.
  bool Write(const std::string& file) const;

  // Writes, into `dir`, the file of every "file,code" item of `section` ([ExtTunerDriver],
  // [GPIOBusType]): pattern bytes from `seed`, seed + 1, ... in item order. The Tuner and GPIO
  // usage pages put these files into their chunks at every load, so a folder that a save
  // works in needs them.
  bool WriteItemFiles(std::string_view section, const std::filesystem::path& dir, size_t size,
                      uint8_t seed) const;
};

// A complete, self-consistent description of a typical K7720X board: every section Load
// reads, in load order, with realistic entries (tuner types "Sharp 7306,1" ..., three GPIO bus
// types with their GPIOUsage_0..2, RF modes with channel ranges, 12 OSD languages, panel and
// IR key maps, password MaxLength 5 and Limit "0123456789", the ten chunk ids of the standard
// image in 0x form, and [FlashDevice] Support=1 with consistent flash tables). The
// CommonConfig switches CustomerConfigEnable, OtaConfigEnable, ShowChunkDetailEnable and
// OsdLanguageConfigEnable are 1.
DescriptionSpec RealisticDescription();

// The file name the desktop program looks for in its application directory.
inline constexpr const char* kDefaultDescriptionName = "QTK_K7720X.ini";

}  // namespace qtk::testdata
