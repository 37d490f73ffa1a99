#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qtk {

// The configuration description file as the reader reaches it: a path and the
// private-profile functions of config/ini. It keeps no file open; every read opens, reads and
// closes the file.
class IniFile {
 public:
  // The longest path the object stores (a fixed buffer of 261 with the NUL).
  static constexpr size_t kMaxPathLength = 260;

  // Stores the path when it is 1..260 characters long (and holds no NUL) and returns true;
  // otherwise stores the empty path and returns false. With the empty path every key reads
  // as missing.
  bool SetPath(std::string_view path);
  const std::string& path() const { return path_; }

  // The key's integer (GetPrivateProfileInt with the default 0): 0 when missing.
  int32_t GetInt(std::string_view section, std::string_view key) const;

  // True when GetInt is not 0 (negative values included).
  bool GetBool(std::string_view section, std::string_view key) const;

  // The key's text (GetPrivateProfileString with the default ""), copied into buffer as a
  // NUL-terminated text of at most size - 1 characters (the text ends at an embedded NUL);
  // returns the number of characters copied. With size 0 nothing is written and 0 returned.
  size_t GetString(std::string_view section, std::string_view key, char* buffer, size_t size) const;

 private:
  std::string path_;
};

}  // namespace qtk
