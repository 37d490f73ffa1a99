// Stands in for a helper program that the desktop program starts: prints a line, half a line,
// waits until the test lets it go (a file "go" beside it), then ends its lines and writes
// "done" beside it. Copied under the builder's name into a test's application directory.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The folder the program runs from. On Windows argv[0] is in the ANSI code page, which turns
// a folder named outside it into '?': the wide name of the module is the real one.
std::filesystem::path OwnDirectory(const char* argv0) {
#ifdef _WIN32
  (void)argv0;
  std::wstring name(32768, L'\0');
  name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
  return std::filesystem::path(name).parent_path();
#else
  return std::filesystem::path(argv0).parent_path();
#endif
}

}  // namespace

int main(int, char* argv[]) {
  const std::filesystem::path directory = OwnDirectory(argv[0]);
  std::fputs("first line\r\n", stdout);
  std::fputs("partial ", stdout);
  std::fflush(stdout);
  // A test that fails before it lets the helper go leaves no program running for long.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (!std::filesystem::exists(directory / "go")) {
    if (std::chrono::steady_clock::now() > give_up)
      return 4;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::fputs("end\n", stdout);
  std::fputs("\xC4\xE3 UTF-8 it is not\n", stdout);
  std::fputs("tail without end", stdout);
  std::fflush(stdout);
  std::ofstream(directory / "done") << "done";
  return 3;
}
