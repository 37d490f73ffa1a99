#include "common/file_io.h"

#include <algorithm>
#include <cctype>
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

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace qtk
