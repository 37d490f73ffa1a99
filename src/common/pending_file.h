#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/output_seam.h"

namespace qtk {

// The step of an output that failed.
enum class OutputFailure {
  kNone,
  kCreate,      // the temporary file could not be created
  kWrite,       // the bytes were not all written
  kFlush,       // buffered bytes were not handed to the system
  kSync,        // the bytes could not be flushed to the disk
  kClose,       // closing reported a lost write
  kReplace,     // the file could not take its target's name (or move the old one aside)
  kFolderSync,  // the new name could not be flushed to the disk; the new file is in place
};

// What went wrong, as a message gives it after the file's name ("writing failed", ...).
const char* OutputFailureText(OutputFailure failure);

// A file that is written under a temporary name beside its target and takes the target's
// name only on Commit, so a failed operation never leaves a half-written file behind and an
// existing target keeps its old bytes until the new ones are complete. The temporary name is
// new in the target's folder (created exclusively, short enough that a target of any legal
// name still has one). A commit is durable: the file is flushed and synced to the disk before
// the rename, and the folder after it, so a power cut after a reported success never leaves
// a truncated file. The temporary file is removed when the object is destroyed without a
// successful Commit. Every call goes through the output seam in force.
class PendingFile {
 public:
  explicit PendingFile(std::filesystem::path target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Appends the bytes to the temporary file (created by the first call); false when it
  // cannot be created or written.
  bool Write(const uint8_t* data, size_t size);
  bool Write(const std::vector<uint8_t>& bytes) { return Write(bytes.data(), bytes.size()); }
  // Flushes, syncs and closes the temporary file; Commit does this itself when needed.
  bool Finish();
  // Moves the complete temporary file over the target and syncs the folder.
  bool Commit();

  const std::filesystem::path& target() const { return target_; }
  // The temporary file; empty until the first Write created it.
  const std::filesystem::path& temporary() const { return temp_; }
  // The first step that failed; kNone while everything went well.
  OutputFailure failure() const { return failure_; }

 private:
  friend bool CommitTogether(std::span<PendingFile* const> files);
  bool Fail(OutputFailure failure);
  bool CreateTemporary();
  bool HandOver();
  bool Rename();

  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::unique_ptr<OutputHandle> handle_;
  OutputFailure failure_ = OutputFailure::kNone;
  bool handed_over_ = false;
  bool finished_ = false;
  bool committed_ = false;
};

// Commits files that belong together (an image and its OTA file, the builder's databases):
// afterwards either every target holds its new file or every target holds what it held
// before. Every file but the last that replaces an existing target first moves that target
// aside under a new temporary name, so that a later failure can put it back; the last one
// replaces its target in one step. On failure the failing file's failure() says why (a
// failure to put an old file back is not reported over the first one). A folder sync failure
// leaves the new files in place and is reported as kFolderSync.
bool CommitTogether(std::span<PendingFile* const> files);

// The first file of `files` whose failure() is set, or nullptr.
const PendingFile* FirstFailed(std::span<PendingFile* const> files);

}  // namespace qtk
