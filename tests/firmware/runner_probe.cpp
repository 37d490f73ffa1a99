// A small program for the runner tests to start on every platform: it reports what it was
// given the way the tests can check it.
//   runner_probe args FILE ARG...  waits a moment, then writes each ARG followed by '|' into FILE
//   runner_probe print CODE        prints its current directory on standard output and a
//                                  line on standard error, then ends with exit code CODE
//   runner_probe wait              reads standard input to its end
//   runner_probe console           prints "console" when it has a console (Windows), else
//                                  "none"
//   runner_probe --directory DIR ARG...
//                                  writes each ARG followed by '|' into DIR/arguments.txt, as
//                                  an installed helper works on the files of DIR
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/program_arguments.h"
#include "common/utf8_path.h"

int main(int count, char** given) {
  // The arguments as UTF-8 text, also those outside the ANSI code page on Windows.
  const std::vector<std::string> arguments = qtk::ProgramArguments(count, given);
  const int argc = static_cast<int>(arguments.size());
  const auto argv = [&](int i) { return arguments[static_cast<size_t>(i)]; };
  const std::string mode = argc > 1 ? argv(1) : "";
  if (mode == "args" && argc > 2) {
    // A runner that did not wait would find no file.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::ofstream out(qtk::PathFromUtf8(argv(2)), std::ios::binary);
    for (int i = 3; i < argc; ++i)
      out << argv(i) << '|';
    return out ? 0 : 1;
  }
  if (mode == "print" && argc > 2) {
    std::cout << qtk::Utf8FromPath(std::filesystem::current_path()) << "\n";
    std::cerr << "to standard error\n";
    return std::atoi(argv(2).c_str());
  }
  if (mode == "--directory" && argc > 2) {
    std::ofstream out(qtk::PathFromUtf8(argv(2)) / "arguments.txt", std::ios::binary);
    for (int i = 3; i < argc; ++i)
      out << argv(i) << '|';
    return out ? 0 : 1;
  }
  if (mode == "console") {
#ifdef _WIN32
    // The code page query fails for a process without a console.
    std::cout << (GetConsoleCP() != 0 ? "console" : "none") << "\n";
#else
    std::cout << "none\n";
#endif
    return 0;
  }
  if (mode == "wait") {
    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    return 0;
  }
  return 64;
}
