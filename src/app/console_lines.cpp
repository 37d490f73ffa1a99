#include "app/console_lines.h"

namespace qtk {
namespace {

// A line ends in LF, CR LF, or CR CR LF: a Windows program that writes CR LF through a stream
// in text mode gets a second CR from the runtime, and its console shows one line end all the
// same.
std::string WithoutCarriageReturn(std::string line) {
  while (!line.empty() && line.back() == '\r')
    line.pop_back();
  return line;
}

}  // namespace

std::vector<std::string> ConsoleLines::Add(std::string_view piece) {
  std::vector<std::string> lines;
  for (const char c : piece) {
    if (c == '\n') {
      lines.push_back(WithoutCarriageReturn(std::move(pending_)));
      pending_.clear();
    } else {
      pending_ += c;
    }
  }
  return lines;
}

std::vector<std::string> ConsoleLines::Finish() {
  std::vector<std::string> lines;
  if (!pending_.empty())
    lines.push_back(WithoutCarriageReturn(std::move(pending_)));
  pending_.clear();
  return lines;
}

}  // namespace qtk
