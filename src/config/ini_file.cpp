#include "config/ini_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/utf8_path.h"
#include "config/ini/private_profile.h"

namespace qtk {

bool IniFile::SetPath(std::string_view path) {
  document_.reset();
  if (path.empty() || path.size() > kMaxPathLength || path.find('\0') != std::string_view::npos) {
    path_.clear();
    return false;
  }
  path_ = std::string(path);
  return true;
}

bool IniFile::SetPath(std::string_view path, ini::IniDocument document) {
  if (!SetPath(path))
    return false;
  document_ = std::move(document);
  return true;
}

int32_t IniFile::GetInt(std::string_view section, std::string_view key) const {
  if (document_)
    return document_->GetInt(section, key, 0);
  return ini::GetPrivateProfileInt(section, key, 0, PathFromUtf8(path_));
}

bool IniFile::GetBool(std::string_view section, std::string_view key) const {
  return GetInt(section, key) != 0;
}

size_t IniFile::GetString(std::string_view section, std::string_view key, char* buffer,
                          size_t size) const {
  if (size == 0 || buffer == nullptr)
    return 0;
  const std::string value = document_ ? document_->GetString(section, key, "")
                                      : ini::GetPrivateProfileString(section, key, "", PathFromUtf8(path_));
  const size_t length = std::min({value.size(), value.find('\0'), size - 1});
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return length;
}

}  // namespace qtk
