#pragma once

#include <filesystem>
#include <string>

namespace qtk::testdata {

// A fresh, empty directory under the system temp directory, removed with everything in it
// when the object goes. The name joins the prefix, the process id and a counter, so tests
// that run in parallel (ctest -j) never share one.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "qtk");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // path() / name, as UTF-8 text.
  std::string File(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace qtk::testdata
