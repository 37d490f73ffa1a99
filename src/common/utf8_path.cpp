#include "common/utf8_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qtk {

#ifdef _WIN32

namespace {

// The wide text of `text` in `code_page`; nothing when `strict` and the text has bytes that
// the code page does not define.
bool ToWide(UINT code_page, bool strict, std::string_view text, std::wstring& wide) {
  if (text.empty()) {
    wide.clear();
    return true;
  }
  const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0);
  if (n <= 0)
    return false;
  wide.resize(static_cast<size_t>(n));
  return MultiByteToWideChar(code_page, flags, text.data(), size, wide.data(), n) == n;
}

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view text) {
  std::wstring wide;
  if (!ToWide(CP_UTF8, true, text, wide) && !ToWide(CP_ACP, false, text, wide))
    wide.clear();
  return std::filesystem::path(wide);
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty())
    return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0)
    return {};
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
  return text;
}

#else

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(text);
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  return path.native();
}

#endif

}  // namespace qtk
