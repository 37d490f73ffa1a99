#include "common/file_io.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace qtk {

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return std::nullopt;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
  if (file.bad())
    return std::nullopt;
  return bytes;
}

std::optional<FileHead> ReadFileHead(const std::filesystem::path& path, size_t count) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    return std::nullopt;
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file)
    return std::nullopt;
  const std::streamoff end = file.tellg();
  if (end < 0)
    return std::nullopt;
  FileHead head;
  head.size = static_cast<uint64_t>(end);
  head.first_bytes.resize(static_cast<size_t>(std::min<uint64_t>(count, head.size)));
  file.seekg(0);
  file.read(reinterpret_cast<char*>(head.first_bytes.data()),
            static_cast<std::streamsize>(head.first_bytes.size()));
  if (!file)
    return std::nullopt;
  return head;
}

PendingFile::PendingFile(std::filesystem::path target) : target_(std::move(target)) {
  temp_ = target_;
  temp_ += ".part";
}

PendingFile::~PendingFile() {
  if (written_ && !committed_) {
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
  }
}

bool PendingFile::Write(const uint8_t* data, size_t size) {
  std::ofstream out(temp_, std::ios::binary | std::ios::trunc);
  if (!out)
    return false;
  written_ = true;
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.flush();
  return static_cast<bool>(out);
}

bool PendingFile::Commit() {
  if (!written_)
    return false;
  std::error_code ec;
  std::filesystem::rename(temp_, target_, ec);
  if (ec)
    return false;
  committed_ = true;
  return true;
}

void PendingFile::RemoveCommitted() {
  if (!committed_)
    return;
  std::error_code ec;
  std::filesystem::remove(target_, ec);
  committed_ = false;
  written_ = false;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

}  // namespace qtk
