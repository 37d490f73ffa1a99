#include "common/program_arguments.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <filesystem>

#include "common/utf8_path.h"
#endif

namespace qtk {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
      arguments.push_back(Utf8FromPath(std::filesystem::path(wide[i])));
    LocalFree(wide);
    return arguments;
  }
#endif
  return std::vector<std::string>(argv, argv + argc);
}

std::vector<const char*> ArgumentPointers(const std::vector<std::string>& arguments) {
  std::vector<const char*> pointers;
  for (const std::string& a : arguments)
    pointers.push_back(a.c_str());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace qtk
