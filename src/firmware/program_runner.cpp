#include "firmware/program_runner.h"

#include "firmware/program_location.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
#endif

namespace qtk {
namespace {

#ifdef _WIN32

bool StartAndWait(const ProgramStart& start) {
  std::wstring command = L"\"" + start.executable.wstring() + L"\"";
  for (const std::string& a : start.arguments) {
    command += L" \"" + std::filesystem::path(a).wstring() + L"\"";
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(start.executable.c_str(), command.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

#else

extern "C" char** environ;

bool StartAndWait(const ProgramStart& start) {
  const std::string exe = start.executable.string();
  std::vector<std::string> args_storage;
  args_storage.push_back(exe);
  args_storage.insert(args_storage.end(), start.arguments.begin(), start.arguments.end());
  std::vector<char*> argv;
  for (std::string& a : args_storage)
    argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
    return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR)
      break;
  }
  return true;
}

#endif

}  // namespace

bool SystemProgramRunner::RunProgramAndWait(const std::string& program,
                                            const std::vector<std::string>& arguments) {
  const std::optional<ProgramStart> start =
      LocateProgram(program, arguments, application_directory_, installed_directory_);
  return start && StartAndWait(*start);
}

}  // namespace qtk
