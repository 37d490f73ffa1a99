#include "firmware/program_runner.h"

#include "common/utf8_path.h"

#ifdef _WIN32
#include <windows.h>

#include "firmware/command_line.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#endif

namespace qtk {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32

// The program name comes first, quoted as a whole (a path holds no quotes); each argument is
// quoted so that the program's runtime splits the line back into the same arguments.
std::wstring CommandLine(const ProgramStart& start) {
  std::wstring command = L"\"" + start.executable.wstring() + L"\"";
  for (const std::string& a : start.arguments)
    command += L" " + QuoteCommandLineArgument(PathFromUtf8(a).wstring());
  return command;
}

class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~Handle() {
    if (h_ != nullptr)
      CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  HANDLE* put() { return &h_; }

 private:
  HANDLE h_;
};

bool StartAndWait(const ProgramStart& start) {
  std::wstring command = CommandLine(start);
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

// The list of handles a started program inherits, and nothing else: without it a program
// inherits every inheritable handle of the caller, also those another thread has just made.
class InheritedHandles {
 public:
  explicit InheritedHandles(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
      return;
    list_ = list;
    ok_ = UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                    handles_.size() * sizeof(HANDLE), nullptr, nullptr) != 0;
  }
  ~InheritedHandles() {
    if (list_ != nullptr)
      DeleteProcThreadAttributeList(list_);
  }
  InheritedHandles(const InheritedHandles&) = delete;
  InheritedHandles& operator=(const InheritedHandles&) = delete;
  LPPROC_THREAD_ATTRIBUTE_LIST get() const { return ok_ ? list_ : nullptr; }

 private:
  std::vector<HANDLE> handles_;
  std::vector<char> storage_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
  bool ok_ = false;
};

std::optional<int> StartWithStreams(const ProgramStart& start, const ProgramStreams& streams,
                                    std::chrono::milliseconds time_limit) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  // Shared for reading, writing and deleting: the caller reads, replaces or removes the files
  // as soon as the program has ended, also while a process the system started beside it (a
  // console host) still holds its copy of the handle.
  const auto create = [&](const fs::path& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  Handle out(create(streams.standard_output));
  Handle err(create(streams.standard_error));
  Handle input_read;
  Handle input_write;
  if (out.get() == nullptr || err.get() == nullptr ||
      !CreatePipe(input_read.put(), input_write.put(), &inherit, 0) ||
      !SetHandleInformation(input_write.get(), HANDLE_FLAG_INHERIT, 0)) {
    return std::nullopt;
  }
  InheritedHandles inherited({input_read.get(), out.get(), err.get()});
  if (inherited.get() == nullptr)
    return std::nullopt;
  std::wstring command = CommandLine(start);
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input_read.get();
  startup.StartupInfo.hStdOutput = out.get();
  startup.StartupInfo.hStdError = err.get();
  startup.lpAttributeList = inherited.get();
  PROCESS_INFORMATION process{};
  // No console at all: the program's three streams are the handles given here. A console of
  // its own (even a hidden one) brings a console host process beside it, which takes the
  // caller's inherited streams with it and can outlive the program; a caller that reads those
  // streams to their end (a test runner's pipe) then waits for the host instead.
  if (!CreateProcessW(start.executable.c_str(), command.data(), nullptr, nullptr, TRUE,
                      DETACHED_PROCESS | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                      streams.working_directory.c_str(), &startup.StartupInfo, &process)) {
    return std::nullopt;
  }
  Handle process_handle(process.hProcess);
  Handle thread_handle(process.hThread);
  const auto limit = static_cast<DWORD>(time_limit.count());
  if (WaitForSingleObject(process_handle.get(), limit) != WAIT_OBJECT_0) {
    TerminateProcess(process_handle.get(), 1);
    WaitForSingleObject(process_handle.get(), INFINITE);
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process_handle.get(), &code))
    return std::nullopt;
  return static_cast<int>(code);
}

#else

extern "C" char** environ;

// The argument vector: the program's own path first, as a shell would give it.
struct Arguments {
  std::vector<std::string> storage;
  std::vector<char*> pointers;
  explicit Arguments(const ProgramStart& start) {
    storage.push_back(Utf8FromPath(start.executable));
    storage.insert(storage.end(), start.arguments.begin(), start.arguments.end());
    for (std::string& a : storage)
      pointers.push_back(a.data());
    pointers.push_back(nullptr);
  }
};

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR)
      break;
  }
  return status;
}

bool StartAndWait(const ProgramStart& start) {
  Arguments arguments(start);
  pid_t pid = 0;
  if (posix_spawn(&pid, arguments.storage[0].c_str(), nullptr, nullptr, arguments.pointers.data(),
                  environ) != 0)
    return false;
  WaitFor(pid);
  return true;
}

std::optional<int> StartWithStreams(const ProgramStart& start, const ProgramStreams& streams,
                                    std::chrono::milliseconds time_limit) {
  Arguments arguments(start);
  std::error_code ec;
  // The stream files are opened after the change of directory, so they must not be relative.
  const std::string out = fs::absolute(streams.standard_output, ec).string();
  const std::string err = fs::absolute(streams.standard_error, ec).string();
  int input[2];
  if (pipe2(input, O_CLOEXEC) != 0)
    return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, streams.working_directory.c_str());
  pid_t pid = 0;
  const int started = posix_spawn(&pid, arguments.storage[0].c_str(), &actions, nullptr,
                                  arguments.pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);
  if (started != 0) {
    close(input[1]);
    return std::nullopt;
  }
  const auto deadline = std::chrono::steady_clock::now() + time_limit;
  int status = 0;
  pid_t ended = 0;
  while ((ended = waitpid(pid, &status, WNOHANG)) == 0 || (ended < 0 && errno == EINTR)) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      WaitFor(pid);
      close(input[1]);
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  close(input[1]);
  // A program ended by a signal has no exit code.
  if (ended < 0 || !WIFEXITED(status))
    return std::nullopt;
  return WEXITSTATUS(status);
}

#endif

}  // namespace

bool SystemProgramRunner::RunProgramAndWait(const std::string& program,
                                            const std::vector<std::string>& arguments) {
  const std::optional<ProgramStart> start =
      LocateProgram(program, arguments, application_directory_, installed_directory_);
  return start && StartAndWait(*start);
}

std::optional<int> RunProgramWithStreams(const ProgramStart& start, const ProgramStreams& streams,
                                         std::chrono::milliseconds time_limit) {
  return StartWithStreams(start, streams, time_limit);
}

}  // namespace qtk
