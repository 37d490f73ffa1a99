#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "common/byte_buffer.h"

namespace qtk {

// True when the path names a regular file (links followed). Only regular files are ever
// opened for reading: opening a FIFO blocks until a writer appears, and a device such as
// /dev/zero reports no size and never ends.
bool IsRegularFile(const std::filesystem::path& path);

inline constexpr uint64_t kNoSizeLimit = std::numeric_limits<uint64_t>::max();

// What reading a whole file gave.
enum class FileReadStatus {
  kRead,
  kCannotOpen,  // missing, not a regular file, or a read error
  kTooBig,      // larger than the limit; nothing was allocated for it
};

struct FileContents {
  FileReadStatus status = FileReadStatus::kCannotOpen;
  std::vector<uint8_t> bytes;
};

// Reads a regular file whole. Its size is measured first and a file larger than max_size is
// refused before any memory is taken for it.
FileContents ReadRegularFile(const std::filesystem::path& path, uint64_t max_size);

// The same read into a buffer that is not cleared before the file fills it: for whole
// firmware images, which every load and save reads.
struct FileBuffer {
  FileReadStatus status = FileReadStatus::kCannotOpen;
  ByteBuffer bytes;
};
FileBuffer ReadFileBuffer(const std::filesystem::path& path, uint64_t max_size);

// The bytes of ReadRegularFile, or nothing when the file cannot be read or is too big.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                  uint64_t max_size = kNoSizeLimit);

// The length of a regular file and up to `count` of its first bytes, read without loading the
// whole file; nothing when it cannot be opened.
struct FileHead {
  uint64_t size = 0;
  std::vector<uint8_t> first_bytes;
};
std::optional<FileHead> ReadFileHead(const std::filesystem::path& path, size_t count);

// True when both paths name the same existing file, also when written differently (a
// relative path, "./", a link) or in another letter case on a case-insensitive file system.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace qtk
