#include "common/pending_file.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <system_error>

namespace qtk {
namespace {

namespace fs = std::filesystem;

// A name that no other pending file of this or another process is likely to pick; the
// exclusive creation settles the rare clash.
std::string TemporaryName() {
  static std::atomic<uint32_t> counter{0};
  static const uint32_t seed = std::random_device{}();
  // A 64-bit finalizer spreads consecutive counts over the whole range; seeding a full
  // random engine per name cost more than the file creation it names.
  uint64_t mix = (uint64_t{seed} << 32 | counter.fetch_add(1)) + 0x9E3779B97F4A7C15u;
  mix = (mix ^ (mix >> 30)) * 0xBF58476D1CE4E5B9u;
  mix = (mix ^ (mix >> 27)) * 0x94D049BB133111EBu;
  const uint32_t value = static_cast<uint32_t>(mix ^ (mix >> 31));
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name = ".qtk";
  for (int shift = 28; shift >= 0; shift -= 4)
    name += kDigits[(value >> shift) & 0xF];
  return name + ".tmp";
}

fs::path FolderOf(const fs::path& target) {
  fs::path folder = target.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// Creates a new file under a fresh temporary name in `folder`; nothing when the folder
// refuses it.
std::optional<fs::path> CreateFresh(const fs::path& folder, std::unique_ptr<OutputHandle>& handle) {
  OutputSeam& seam = CurrentOutputSeam();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = folder / TemporaryName();
    handle = seam.Open(candidate);
    if (handle)
      return candidate;
    // Only a name that is taken is worth another try.
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(candidate, ec)))
      return std::nullopt;
  }
  return std::nullopt;
}

// A leftover of a failed output; a second attempt covers a passing fault.
void RemoveLeftover(const fs::path& path) {
  OutputSeam& seam = CurrentOutputSeam();
  if (!seam.Remove(path))
    seam.Remove(path);
}

}  // namespace

const char* OutputFailureText(OutputFailure failure) {
  switch (failure) {
    case OutputFailure::kNone:
      return "no failure";
    case OutputFailure::kCreate:
      return "it can not be created";
    case OutputFailure::kWrite:
      return "writing failed";
    case OutputFailure::kFlush:
      return "flushing failed";
    case OutputFailure::kSync:
      return "flushing to the disk failed";
    case OutputFailure::kClose:
      return "closing failed";
    case OutputFailure::kReplace:
      return "it can not replace the old file";
    case OutputFailure::kFolderSync:
      return "its folder could not be flushed to the disk, the file may not survive a power cut";
  }
  return "unknown failure";
}

PendingFile::PendingFile(fs::path target) : target_(std::move(target)) {}

PendingFile::~PendingFile() {
  if (handle_)
    CurrentOutputSeam().Close(std::move(handle_));
  if (!temp_.empty() && !committed_)
    RemoveLeftover(temp_);
}

bool PendingFile::Fail(OutputFailure failure) {
  if (failure_ == OutputFailure::kNone)
    failure_ = failure;
  return false;
}

bool PendingFile::CreateTemporary() {
  std::optional<fs::path> temp = CreateFresh(FolderOf(target_), handle_);
  if (!temp)
    return Fail(OutputFailure::kCreate);
  temp_ = *temp;
  return true;
}

bool PendingFile::Write(const uint8_t* data, size_t size) {
  if (failure_ != OutputFailure::kNone || finished_)
    return false;
  if (temp_.empty() && !CreateTemporary())
    return false;
  if (!CurrentOutputSeam().Write(*handle_, data, size))
    return Fail(OutputFailure::kWrite);
  return true;
}

// Hands every written byte to the system, which starts writing it to the disk, so that the
// disk works on one file while the next is handed over.
bool PendingFile::HandOver() {
  if (failure_ != OutputFailure::kNone)
    return false;
  if (handed_over_ || finished_)
    return true;
  if (temp_.empty() && !CreateTemporary())
    return false;
  if (!CurrentOutputSeam().Flush(*handle_))
    return Fail(OutputFailure::kFlush);
  handed_over_ = true;
  return true;
}

bool PendingFile::Finish() {
  if (finished_)
    return failure_ == OutputFailure::kNone;
  if (!HandOver())
    return false;
  OutputSeam& seam = CurrentOutputSeam();
  if (!seam.Sync(*handle_))
    return Fail(OutputFailure::kSync);
  if (!seam.Close(std::move(handle_)))
    return Fail(OutputFailure::kClose);
  finished_ = true;
  return true;
}

bool PendingFile::Rename() {
  if (!CurrentOutputSeam().Rename(temp_, target_))
    return Fail(OutputFailure::kReplace);
  committed_ = true;
  return true;
}

bool PendingFile::Commit() {
  if (committed_)
    return failure_ == OutputFailure::kNone;
  if (!Finish() || !Rename())
    return false;
  if (!CurrentOutputSeam().SyncFolder(FolderOf(target_)))
    return Fail(OutputFailure::kFolderSync);
  return true;
}

bool CommitTogether(std::span<PendingFile* const> files) {
  // Every file is complete on the disk before any target changes. All files are handed over
  // before the first wait, so their writes to the disk overlap.
  for (PendingFile* file : files) {
    if (!file->HandOver())
      return false;
  }
  for (PendingFile* file : files) {
    if (!file->Finish())
      return false;
  }
  OutputSeam& seam = CurrentOutputSeam();
  std::vector<fs::path> old_files(files.size());
  size_t renamed = 0;
  auto put_back = [&] {
    for (size_t j = renamed; j-- > 0;) {
      if (!old_files[j].empty())
        seam.Rename(old_files[j], files[j]->target_);
      else
        seam.Remove(files[j]->target_);
    }
  };
  for (size_t i = 0; i < files.size(); ++i) {
    PendingFile& file = *files[i];
    std::error_code ec;
    const bool keeps_old = i + 1 < files.size() && fs::exists(file.target_, ec);
    if (keeps_old) {
      // The old file moves to a name created for it, so nothing else is overwritten.
      std::unique_ptr<OutputHandle> placeholder;
      std::optional<fs::path> aside = CreateFresh(FolderOf(file.target_), placeholder);
      if (aside)
        seam.Close(std::move(placeholder));
      if (!aside || !seam.Rename(file.target_, *aside)) {
        if (aside)
          RemoveLeftover(*aside);
        file.Fail(OutputFailure::kReplace);
        put_back();
        return false;
      }
      old_files[i] = *aside;
    }
    if (!file.Rename()) {
      if (keeps_old)
        seam.Rename(old_files[i], file.target_);
      put_back();
      return false;
    }
    ++renamed;
  }
  std::set<fs::path> folders;
  for (PendingFile* file : files)
    folders.insert(FolderOf(file->target_));
  bool synced = true;
  for (const fs::path& folder : folders) {
    if (!seam.SyncFolder(folder)) {
      synced = false;
      break;
    }
  }
  for (const fs::path& old_file : old_files) {
    if (!old_file.empty())
      RemoveLeftover(old_file);
  }
  if (!synced && !files.empty())
    return files.front()->Fail(OutputFailure::kFolderSync);
  return true;
}

const PendingFile* FirstFailed(std::span<PendingFile* const> files) {
  for (const PendingFile* file : files) {
    if (file->failure() != OutputFailure::kNone)
      return file;
  }
  return nullptr;
}

}  // namespace qtk
