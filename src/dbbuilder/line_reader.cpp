#include "dbbuilder/line_reader.h"

#include <algorithm>
#include <cstring>

namespace qtk::dbbuilder {
namespace {

// The offset of the first `byte` among the first `count` bytes at `bytes`, or `count`.
size_t Find(const uint8_t* bytes, size_t count, uint8_t byte) {
  const void* found = count == 0 ? nullptr : std::memchr(bytes, byte, count);
  return found == nullptr ? count : static_cast<size_t>(static_cast<const uint8_t*>(found) - bytes);
}

}  // namespace

bool LineReader::Next(std::string& line) {
  if (at_end_)
    return false;
  // The line is searched for its end and its comment as a whole and copied once: lists of
  // tens of thousands of lines go through here twice per run (parse and rebuild check).
  const uint8_t* begin = text_.data() + pos_;
  const size_t rest = text_.size() - pos_;
  const size_t to_lf = Find(begin, rest, '\n');
  const size_t length = Find(begin, to_lf, '\r');
  const size_t stored = std::min(Find(begin, length, ';'), kMaxLineLength);
  size_t first = 0;
  while (first < stored && begin[first] == '\t')
    ++first;
  size_t last = stored;
  while (last > first && begin[last - 1] == '\t')
    --last;
  line.assign(reinterpret_cast<const char*>(begin) + first, last - first);

  pos_ += length;
  if (pos_ >= text_.size()) {
    at_end_ = true;
  } else if (text_[pos_++] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') {
    ++pos_;
  }
  return true;
}

}  // namespace qtk::dbbuilder
