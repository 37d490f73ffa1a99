// Stands in for a helper program that the desktop program starts: prints a line, half a line,
// waits until the test lets it go (a file "go" beside it), then ends its lines and writes
// "done" beside it. Copied under the builder's name into a test's application directory.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

int main(int, char* argv[]) {
  const std::filesystem::path directory = std::filesystem::path(argv[0]).parent_path();
  std::fputs("first line\r\n", stdout);
  std::fputs("partial ", stdout);
  std::fflush(stdout);
  while (!std::filesystem::exists(directory / "go"))
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::fputs("end\n", stdout);
  std::fputs("\xC4\xE3 UTF-8 it is not\n", stdout);
  std::fputs("tail without end", stdout);
  std::fflush(stdout);
  std::ofstream(directory / "done") << "done";
  return 3;
}
