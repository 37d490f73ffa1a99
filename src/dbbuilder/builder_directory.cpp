#include "dbbuilder/builder_directory.h"

#ifdef _WIN32
#include <windows.h>

#include <string>
#endif

namespace qtk::dbbuilder {

std::filesystem::path ExecutableDirectory() {
#ifdef _WIN32
  std::wstring buffer(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size())
    return {};
  buffer.resize(n);
  return std::filesystem::path(buffer).parent_path();
#else
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec)
    return {};
  return exe.parent_path();
#endif
}

}  // namespace qtk::dbbuilder
