#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/output_seam.h"

namespace qtk::testdata {

// An output seam that behaves like a device that fails once: it passes every call to the
// system seam and counts them, and the call numbered `fail_at` (1-based) fails instead. A
// failing write writes half its bytes first, as a full disk does; a failing close still
// releases the file; a failing sync, rename or remove changes nothing.
class FailingOutputSeam : public OutputSeam {
 public:
  explicit FailingOutputSeam(int fail_at = 0) : fail_at_(fail_at) {}

  std::unique_ptr<OutputHandle> Open(const std::filesystem::path& path) override;
  bool Write(OutputHandle& file, const uint8_t* data, size_t size) override;
  bool Flush(OutputHandle& file) override;
  bool Sync(OutputHandle& file) override;
  bool Close(std::unique_ptr<OutputHandle> file) override;
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  bool Remove(const std::filesystem::path& path) override;
  bool SyncFolder(const std::filesystem::path& folder) override;

  // Every call so far, in order; a folder sync is recorded as kSync.
  const std::vector<OutputCall>& calls() const { return calls_; }
  // The call that was made to fail, once it has happened.
  std::optional<OutputCall> failed_call() const { return failed_; }
  // True when the failed call was the sync of a folder.
  bool failed_folder_sync() const { return failed_folder_sync_; }

 private:
  bool Next(OutputCall call);

  int fail_at_;
  std::vector<OutputCall> calls_;
  std::optional<OutputCall> failed_;
  bool failed_folder_sync_ = false;
};

// The text a PendingFile gives for the failure of the seam's failed call (an open counts as
// the failure to replace the old file: it reserves the name that keeps an old file aside).
std::string FailureReason(const FailingOutputSeam& seam);
// The same for an output of one file, whose only open is that of its temporary file.
std::string SingleFileFailureReason(const FailingOutputSeam& seam);

// Runs `attempt` once for every output call it makes: run N has call N fail, for N = 1, 2, ...
// until a run no longer reaches the failing call. `attempt` makes its own checks and returns
// whether the operation reported success. Returns the number of runs with a failed call.
int FailEachOutputCall(const std::function<bool(const FailingOutputSeam&)>& attempt,
                       int max_runs = 500);

// The name and bytes of every file in a folder (not its subfolders), to prove that a failed
// operation left the folder exactly as it was.
std::map<std::string, std::vector<uint8_t>> FolderSnapshot(const std::filesystem::path& folder);

}  // namespace qtk::testdata
