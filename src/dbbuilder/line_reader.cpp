#include "dbbuilder/line_reader.h"

namespace qtk::dbbuilder {

bool LineReader::Next(std::string& line) {
  if (at_end_)
    return false;
  line.clear();
  bool comment = false;
  for (;;) {
    if (pos_ >= text_.size()) {
      at_end_ = true;
      break;
    }
    const uint8_t b = text_[pos_++];
    if (b == '\r') {
      if (pos_ < text_.size() && text_[pos_] == '\n')
        ++pos_;
      break;
    }
    if (b == '\n')
      break;
    if (comment)
      continue;
    if (b == ';') {
      comment = true;
      continue;
    }
    if (line.size() < kMaxLineLength)
      line.push_back(static_cast<char>(b));
  }
  const size_t first = line.find_first_not_of('\t');
  if (first == std::string::npos) {
    line.clear();
  } else {
    line.erase(0, first);
    line.erase(line.find_last_not_of('\t') + 1);
  }
  return true;
}

}  // namespace qtk::dbbuilder
