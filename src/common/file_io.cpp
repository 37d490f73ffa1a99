#include "common/file_io.h"

#include <algorithm>
#include <fstream>

namespace qtk {
namespace {

// Measures a regular file; nothing for anything else.
std::optional<uint64_t> RegularFileSize(const std::filesystem::path& path) {
  if (!IsRegularFile(path))
    return std::nullopt;
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec)
    return std::nullopt;
  return static_cast<uint64_t>(size);
}

}  // namespace

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

FileContents ReadRegularFile(const std::filesystem::path& path, uint64_t max_size) {
  FileContents contents;
  const std::optional<uint64_t> size = RegularFileSize(path);
  if (!size)
    return contents;
  if (*size > max_size || *size > contents.bytes.max_size()) {
    contents.status = FileReadStatus::kTooBig;
    return contents;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return contents;
  contents.bytes.resize(static_cast<size_t>(*size));
  file.read(reinterpret_cast<char*>(contents.bytes.data()),
            static_cast<std::streamsize>(contents.bytes.size()));
  // A file that shrank since it was measured is no longer the file that was measured.
  if (static_cast<uint64_t>(file.gcount()) != *size) {
    contents.bytes.clear();
    return contents;
  }
  contents.status = FileReadStatus::kRead;
  return contents;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                  uint64_t max_size) {
  FileContents contents = ReadRegularFile(path, max_size);
  if (contents.status != FileReadStatus::kRead)
    return std::nullopt;
  return std::move(contents.bytes);
}

std::optional<FileHead> ReadFileHead(const std::filesystem::path& path, size_t count) {
  const std::optional<uint64_t> size = RegularFileSize(path);
  if (!size)
    return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return std::nullopt;
  FileHead head;
  head.size = *size;
  head.first_bytes.resize(static_cast<size_t>(std::min<uint64_t>(count, head.size)));
  file.read(reinterpret_cast<char*>(head.first_bytes.data()),
            static_cast<std::streamsize>(head.first_bytes.size()));
  if (!file)
    return std::nullopt;
  return head;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

}  // namespace qtk
