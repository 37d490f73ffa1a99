#include "testdata/failing_output.h"

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

bool FailingOutputSeam::Rename(const std::filesystem::path& from,
                               const std::filesystem::path& to) {
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

}  // namespace qtk::testdata
