#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace qtk {

// The calls through which every file the programs write reaches the disk.
enum class OutputCall { kOpen, kWrite, kFlush, kSync, kClose, kRename, kRemove };

// The name of a call as messages and test reports give it ("open", "write", ...).
const char* OutputCallName(OutputCall call);

// An open output file; only the seam that opened it knows what is inside.
class OutputHandle {
 public:
  virtual ~OutputHandle() = default;
};

// One seam for file output. Every output path (firmware image, OTA file, setting file, INI
// writer, the builder's files) goes through the seam in force, so that a test can put a
// failing one in its place and prove that no fault loses or half-writes a file.
class OutputSeam {
 public:
  virtual ~OutputSeam() = default;

  // Creates a new file exclusively (never an existing file reopened); nothing on failure.
  virtual std::unique_ptr<OutputHandle> Open(const std::filesystem::path& path) = 0;
  // Writes all bytes or fails.
  virtual bool Write(OutputHandle& file, const uint8_t* data, size_t size) = 0;
  // Hands buffered bytes to the system.
  virtual bool Flush(OutputHandle& file) = 0;
  // Waits until the file's bytes are on the disk.
  virtual bool Sync(OutputHandle& file) = 0;
  // Releases the file; it is released also when the call reports a failure.
  virtual bool Close(std::unique_ptr<OutputHandle> file) = 0;
  // Gives `from` the name `to`, replacing an existing `to` in one step.
  virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // True when the file is gone (also when there was none).
  virtual bool Remove(const std::filesystem::path& path) = 0;
  // Waits until the folder's entries (a rename into it) are on the disk; also a sync call.
  virtual bool SyncFolder(const std::filesystem::path& folder) = 0;
};

// The seam that writes to the real file system: POSIX fsync of files and folders, and on
// Windows _commit for files and MoveFileEx with MOVEFILE_WRITE_THROUGH for renames.
OutputSeam& SystemOutputSeam();

// The seam in force; the system seam unless a ScopedOutputSeam has replaced it.
OutputSeam& CurrentOutputSeam();

// Puts a seam in force for its lifetime (tests and fuzz targets only; not thread-safe, the
// programs write their files from one thread).
class ScopedOutputSeam {
 public:
  explicit ScopedOutputSeam(OutputSeam& seam);
  ~ScopedOutputSeam();
  ScopedOutputSeam(const ScopedOutputSeam&) = delete;
  ScopedOutputSeam& operator=(const ScopedOutputSeam&) = delete;

 private:
  OutputSeam* previous_;
};

}  // namespace qtk
