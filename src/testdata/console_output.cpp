#include "testdata/console_output.h"

namespace qtk::testdata {

std::string ConsoleOutput(std::string_view text) {
#ifdef _WIN32
  std::string lines;
  for (const char c : text) {
    if (c == '\n')
      lines += '\r';
    lines += c;
  }
  return lines;
#else
  return std::string(text);
#endif
}

}  // namespace qtk::testdata
