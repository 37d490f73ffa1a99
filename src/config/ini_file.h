#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/ini/ini_document.h"

namespace qtk {

#ifdef _WIN32
// The longest path the platform's private-profile functions take.
inline constexpr size_t kIniMaxPathLength = 260;
#else
// Elsewhere a path is limited by the file system alone.
inline constexpr size_t kIniMaxPathLength = std::string_view::npos - 1;
#endif

// The configuration description file as the reader reaches it: a path and the
// private-profile rules of config/ini. It keeps no file open. Given only a path, every read
// opens, reads and closes the file; given the file's document as well, every read answers
// from that document, which gives the same values without touching the file again.
class IniFile {
 public:
  static constexpr size_t kMaxPathLength = kIniMaxPathLength;

  // Stores the path when it is 1..kMaxPathLength characters long (and holds no NUL) and
  // returns true; otherwise stores the empty path and returns false. With the empty path
  // every key reads as missing. Any document given earlier is dropped: reads go to the file.
  bool SetPath(std::string_view path);

  // As SetPath, and every later read answers from `document`, the file's content read once
  // by the caller. A refused path drops the document too, so every key reads as missing,
  // as it does for the file.
  bool SetPath(std::string_view path, ini::IniDocument document);

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
  std::optional<ini::IniDocument> document_;
};

}  // namespace qtk
