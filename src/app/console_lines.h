#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qtk {

// Cuts a console program's output, as it arrives in pieces of any size, into its lines. A line
// ends at LF; a CR before it belongs to the line end. A line cut between two pieces is kept
// until its end arrives, so that a line is never shown in two halves.
class ConsoleLines {
 public:
  // The lines that the piece completes, without their line ends.
  std::vector<std::string> Add(std::string_view piece);
  // The output has ended: the last line, when it had no line end.
  std::vector<std::string> Finish();

 private:
  std::string pending_;
};

}  // namespace qtk
