#include "testdata/special_files.h"

#include "common/utf8_path.h"

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace qtk::testdata {

bool MakeFifo(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

bool MakeSparseFile(const std::string& path, uint64_t size) {
  const std::filesystem::path file = PathFromUtf8(path);
  std::ofstream(file, std::ios::binary | std::ios::trunc);
  std::error_code ec;
  std::filesystem::resize_file(file, size, ec);
  return !ec;
}

std::string EndlessDevice() {
  std::error_code ec;
  return std::filesystem::is_character_file("/dev/zero", ec) ? "/dev/zero" : "";
}

const char* NoSymbolicLinks() {
#ifdef _WIN32
  return "the C++ runtime of the Windows build makes no symbolic links";
#else
  return nullptr;
#endif
}

}  // namespace qtk::testdata
