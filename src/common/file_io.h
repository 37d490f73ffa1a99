#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

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

// A file that is written under a temporary name beside its target and takes the target's
// name only on Commit, so a failed operation never leaves a half-written file behind. The
// temporary name is new in the target's folder (created exclusively, short enough that a
// target of any legal name still has one) and can therefore never be an existing file. The
// temporary file is removed when the object is destroyed without a successful Commit.
class PendingFile {
 public:
  explicit PendingFile(std::filesystem::path target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Writes the bytes to the temporary file; false when it cannot be created or written.
  bool Write(const uint8_t* data, size_t size);
  bool Write(const std::vector<uint8_t>& bytes) { return Write(bytes.data(), bytes.size()); }
  // Moves the temporary file over the target (replacing it).
  bool Commit();
  // Removes a target that an earlier Commit put in place (used when a later file of the
  // same operation fails).
  void RemoveCommitted();

  const std::filesystem::path& target() const { return target_; }
  // The temporary file; empty until the first Write created it.
  const std::filesystem::path& temporary() const { return temp_; }

 private:
  bool CreateTemporary();

  std::filesystem::path target_;
  std::filesystem::path temp_;
  bool written_ = false;
  bool committed_ = false;
};

// True when both paths name the same existing file, also when written differently (a
// relative path, "./", a link) or in another letter case on a case-insensitive file system.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace qtk
