#include "common/file_io.h"

#include <algorithm>
#include <cstdint>
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

// Measures a regular file, refuses it when it is larger than max_size (or than `room`, what
// the destination can hold) before any memory is taken for it, and reads it whole into the
// bytes that `allocate` gives for its size.
template <typename Allocate>
FileReadStatus ReadMeasured(const std::filesystem::path& path, uint64_t max_size, uint64_t room,
                            Allocate allocate) {
  const std::optional<uint64_t> size = RegularFileSize(path);
  if (!size)
    return FileReadStatus::kCannotOpen;
  if (*size > max_size || *size > room)
    return FileReadStatus::kTooBig;
  // One read of a known size needs no stream buffer of its own.
  std::ifstream file;
  file.rdbuf()->pubsetbuf(nullptr, 0);
  file.open(path, std::ios::binary);
  if (!file)
    return FileReadStatus::kCannotOpen;
  uint8_t* bytes = allocate(static_cast<size_t>(*size));
  file.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(*size));
  // A file that shrank since it was measured is no longer the file that was measured.
  if (static_cast<uint64_t>(file.gcount()) != *size)
    return FileReadStatus::kCannotOpen;
  return FileReadStatus::kRead;
}

}  // namespace

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

FileContents ReadRegularFile(const std::filesystem::path& path, uint64_t max_size) {
  FileContents contents;
  contents.status = ReadMeasured(path, max_size, contents.bytes.max_size(), [&](size_t size) {
    contents.bytes.resize(size);
    return contents.bytes.data();
  });
  if (contents.status != FileReadStatus::kRead)
    contents.bytes.clear();
  return contents;
}

FileBuffer ReadFileBuffer(const std::filesystem::path& path, uint64_t max_size) {
  FileBuffer contents;
  contents.status = ReadMeasured(path, max_size, PTRDIFF_MAX, [&](size_t size) {
    contents.bytes = ByteBuffer(size);
    return contents.bytes.data();
  });
  if (contents.status != FileReadStatus::kRead)
    contents.bytes = ByteBuffer();
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
