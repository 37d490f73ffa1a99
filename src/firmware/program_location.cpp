#include "firmware/program_location.h"

#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "common/utf8_path.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;

bool IsExecutableFile(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec))
    return false;
#ifdef _WIN32
  return true;
#else
  // A copy without the execute bit cannot be started; the installed one still can.
  return access(path.c_str(), X_OK) == 0;
#endif
}

}  // namespace

std::string ExecutableFileName(const std::string& program) {
#ifdef _WIN32
  return program + ".exe";
#else
  return program;
#endif
}

std::optional<ProgramStart> LocateProgram(const std::string& program,
                                          const std::vector<std::string>& arguments,
                                          const fs::path& application_directory,
                                          const fs::path& installed_directory) {
  const std::string file_name = ExecutableFileName(program);
  if (const fs::path local = application_directory / PathFromUtf8(file_name); IsExecutableFile(local))
    return ProgramStart{local, arguments};
  if (installed_directory.empty())
    return std::nullopt;
  const fs::path installed = installed_directory / PathFromUtf8(file_name);
  if (!IsExecutableFile(installed))
    return std::nullopt;
  ProgramStart start{installed, {kProgramDirectoryOption, Utf8FromPath(application_directory)}};
  start.arguments.insert(start.arguments.end(), arguments.begin(), arguments.end());
  return start;
}

}  // namespace qtk
