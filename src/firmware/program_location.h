#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qtk {

// A helper program that runs from anywhere but its files' own directory is told where the
// files it exchanges with the desktop program live (dfv_k7720x reads its settings and the
// channel list there and writes its databases there).
inline constexpr const char* kProgramDirectoryOption = "--directory";

// How a helper program of the desktop program is started: the executable and its arguments.
struct ProgramStart {
  std::filesystem::path executable;
  std::vector<std::string> arguments;
};

// The file name of a program on this platform: ".exe" is added on Windows only.
std::string ExecutableFileName(const std::string& program);

// Where `program` is taken from. A copy in the application directory comes first, as it
// always has, so a folder prepared with its own builder keeps using it. Otherwise the one
// installed beside the desktop program (`installed_directory`, empty for none) is started with
// the application directory named before the caller's arguments, so the two programs still
// meet in the application directory. Nothing when neither holds an executable file.
std::optional<ProgramStart> LocateProgram(const std::string& program,
                                          const std::vector<std::string>& arguments,
                                          const std::filesystem::path& application_directory,
                                          const std::filesystem::path& installed_directory);

}  // namespace qtk
