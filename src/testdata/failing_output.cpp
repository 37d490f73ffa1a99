#include "testdata/failing_output.h"

#include <stdexcept>

#include "common/file_io.h"
#include "common/pending_file.h"

namespace qtk::testdata {

bool FailingOutputSeam::Next(OutputCall call) {
  calls_.push_back(call);
  if (static_cast<int>(calls_.size()) != fail_at_)
    return true;
  failed_ = call;
  return false;
}

std::unique_ptr<OutputHandle> FailingOutputSeam::Open(const std::filesystem::path& path) {
  if (!Next(OutputCall::kOpen))
    return nullptr;
  return SystemOutputSeam().Open(path);
}

bool FailingOutputSeam::Write(OutputHandle& file, const uint8_t* data, size_t size) {
  if (!Next(OutputCall::kWrite)) {
    SystemOutputSeam().Write(file, data, size / 2);
    return false;
  }
  return SystemOutputSeam().Write(file, data, size);
}

bool FailingOutputSeam::Flush(OutputHandle& file) {
  return Next(OutputCall::kFlush) && SystemOutputSeam().Flush(file);
}

bool FailingOutputSeam::Sync(OutputHandle& file) {
  return Next(OutputCall::kSync) && SystemOutputSeam().Sync(file);
}

bool FailingOutputSeam::Close(std::unique_ptr<OutputHandle> file) {
  const bool closed = SystemOutputSeam().Close(std::move(file));
  return Next(OutputCall::kClose) && closed;
}

bool FailingOutputSeam::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  return Next(OutputCall::kRename) && SystemOutputSeam().Rename(from, to);
}

bool FailingOutputSeam::Remove(const std::filesystem::path& path) {
  return Next(OutputCall::kRemove) && SystemOutputSeam().Remove(path);
}

bool FailingOutputSeam::SyncFolder(const std::filesystem::path& folder) {
  if (!Next(OutputCall::kSync)) {
    failed_folder_sync_ = true;
    return false;
  }
  return SystemOutputSeam().SyncFolder(folder);
}

std::string FailureReason(const FailingOutputSeam& seam) {
  OutputFailure failure = OutputFailure::kReplace;
  switch (seam.failed_call().value_or(OutputCall::kRename)) {
    case OutputCall::kWrite:
      failure = OutputFailure::kWrite;
      break;
    case OutputCall::kFlush:
      failure = OutputFailure::kFlush;
      break;
    case OutputCall::kSync:
      failure = seam.failed_folder_sync() ? OutputFailure::kFolderSync : OutputFailure::kSync;
      break;
    case OutputCall::kClose:
      failure = OutputFailure::kClose;
      break;
    case OutputCall::kOpen:
    case OutputCall::kRename:
    case OutputCall::kRemove:
      break;
  }
  return OutputFailureText(failure);
}

std::string SingleFileFailureReason(const FailingOutputSeam& seam) {
  if (seam.failed_call() == OutputCall::kOpen)
    return OutputFailureText(OutputFailure::kCreate);
  return FailureReason(seam);
}

int FailEachOutputCall(const std::function<bool(const FailingOutputSeam&)>& attempt, int max_runs) {
  for (int n = 1; n <= max_runs; ++n) {
    FailingOutputSeam seam(n);
    bool succeeded = false;
    {
      ScopedOutputSeam scope(seam);
      succeeded = attempt(seam);
    }
    if (!seam.failed_call()) {
      if (!succeeded)
        throw std::logic_error("the operation failed without a failing output call");
      return n - 1;
    }
  }
  throw std::logic_error("the operation still reaches a failing call after every run");
}

std::map<std::string, std::vector<uint8_t>> FolderSnapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::vector<uint8_t> bytes;
    if (entry.is_regular_file())
      bytes = ReadWholeFile(entry.path()).value_or(std::vector<uint8_t>{});
    files[entry.path().filename().string()] = std::move(bytes);
  }
  return files;
}

}  // namespace qtk::testdata
