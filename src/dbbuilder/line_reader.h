#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace qtk::dbbuilder {

// A list line holds at most this many bytes (a 4096-byte buffer with its terminator).
inline constexpr size_t kMaxLineLength = 4095;

// The line reader, over the whole program list file held in memory.
//
// A line ends at CR LF, at a lone LF or at a lone CR, or at the end of the file; the byte
// after a CR is consumed only when it is the LF of that pair. From the first ';' on, the
// bytes up to the line end are a comment and dropped. Only the first 4095 stored bytes are
// kept, the rest of the line is cut. Then tabs are removed at the start and at the end;
// spaces are kept. A line of length 0 is still yielded (the driver skips it).
class LineReader {
 public:
  explicit LineReader(std::span<const uint8_t> text) : text_(text) {}

  // The next line, or false when the end of the file has already been met.
  bool Next(std::string& line);

 private:
  std::span<const uint8_t> text_;
  size_t pos_ = 0;
  bool at_end_ = false;
};

}  // namespace qtk::dbbuilder
