#include "testdata/temp_dir.h"

#include "common/utf8_path.h"

#include <unistd.h>

#include <atomic>
#include <stdexcept>

namespace qtk::testdata {

TempDir::TempDir(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::filesystem::path candidate =
        base / PathFromUtf8(prefix + "_" + std::to_string(::getpid()) + "_" +
                            std::to_string(counter++));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("can not create a temporary directory under " + Utf8FromPath(base));
}

std::string TempDir::File(const std::string& name) const {
  return Utf8FromPath(path_ / PathFromUtf8(name));
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace qtk::testdata
