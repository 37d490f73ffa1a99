#pragma once

#include <string>
#include <string_view>

namespace qtk::testdata {

// What a console program that writes `text` to a standard stream leaves in the file or pipe
// behind it: on Windows the C runtime writes CR LF for every line feed, as every console
// program there does, and dfv_k7720x has always printed its messages that way there.
std::string ConsoleOutput(std::string_view text);

}  // namespace qtk::testdata
