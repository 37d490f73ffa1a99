#include "common/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>

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

// A name that no other pending file of this or another process is likely to pick; the
// exclusive creation settles the rare clash.
std::string TemporaryName() {
  static std::atomic<uint32_t> counter{0};
  static const uint32_t seed = std::random_device{}();
  std::mt19937 mix(seed + counter.fetch_add(1));
  const uint32_t value = static_cast<uint32_t>(mix());
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name = ".qtk";
  for (int shift = 28; shift >= 0; shift -= 4)
    name += kDigits[(value >> shift) & 0xF];
  return name + ".tmp";
}

}  // namespace

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

FileContents ReadRegularFile(const std::filesystem::path& path, uint64_t max_size) {
  FileContents contents;
  const std::optional<uint64_t> size = RegularFileSize(path);
  if (!size)
    return contents;
  if (*size > max_size || *size > contents.bytes.max_size()) {
    contents.status = FileReadStatus::kTooBig;
    return contents;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return contents;
  contents.bytes.resize(static_cast<size_t>(*size));
  file.read(reinterpret_cast<char*>(contents.bytes.data()),
            static_cast<std::streamsize>(contents.bytes.size()));
  // A file that shrank since it was measured is no longer the file that was measured.
  if (static_cast<uint64_t>(file.gcount()) != *size) {
    contents.bytes.clear();
    return contents;
  }
  contents.status = FileReadStatus::kRead;
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

PendingFile::PendingFile(std::filesystem::path target) : target_(std::move(target)) {}

PendingFile::~PendingFile() {
  if (!temp_.empty() && !committed_) {
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
  }
}

bool PendingFile::CreateTemporary() {
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty())
    folder = ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = folder / TemporaryName();
    // "x": the file is created here and now, never an existing file reopened.
    if (std::FILE* f = std::fopen(candidate.string().c_str(), "wbx")) {
      std::fclose(f);
      temp_ = candidate;
      return true;
    }
    if (errno != EEXIST)
      return false;
  }
  return false;
}

bool PendingFile::Write(const uint8_t* data, size_t size) {
  if (temp_.empty() && !CreateTemporary())
    return false;
  std::FILE* out = std::fopen(temp_.string().c_str(), "wb");
  if (out == nullptr)
    return false;
  written_ = true;
  const bool wrote = size == 0 || std::fwrite(data, 1, size, out) == size;
  const bool flushed = std::fflush(out) == 0;
  const bool closed = std::fclose(out) == 0;
  return wrote && flushed && closed;
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
  temp_.clear();
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

}  // namespace qtk
