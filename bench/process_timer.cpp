#include "bench/process_timer.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>

namespace qtk::bench {

std::optional<ProcessRun> RunProcess(const std::vector<std::string>& argv,
                                     const std::filesystem::path& directory,
                                     const std::filesystem::path& stdout_file) {
  if (argv.empty())
    return std::nullopt;
  // Everything the child needs is prepared before fork, so the child only calls
  // async-signal-safe functions.
  // The child changes its directory before it starts the program, so a relative program
  // path is taken from here.
  std::vector<std::string> argv_copy = argv;
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::absolute(argv_copy[0], ec);
  if (!ec)
    argv_copy[0] = program.string();
  std::vector<char*> args;
  for (const std::string& a : argv_copy)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const std::string dir = directory.string();
  const std::string out = stdout_file.empty() ? std::string("/dev/null") : stdout_file.string();

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0)
    return std::nullopt;
  if (pid == 0) {
    if (!dir.empty() && chdir(dir.c_str()) != 0)
      _exit(127);
    const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0)
      _exit(127);
    close(fd);
    // Programs report on standard error too; only their time is of interest here.
    const int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) {
      dup2(null_fd, STDERR_FILENO);
      close(null_fd);
    }
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid)
    return std::nullopt;
  const auto end = std::chrono::steady_clock::now();

  ProcessRun run;
  run.wall_seconds = std::chrono::duration<double>(end - start).count();
  run.cpu_seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.peak_rss_kib = usage.ru_maxrss;
  run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (run.exit_status == 127)
    return std::nullopt;
  return run;
}

std::optional<ProcessRun> BestOf(int runs, const std::vector<std::string>& argv,
                                 const std::filesystem::path& directory,
                                 const std::filesystem::path& stdout_file) {
  std::optional<ProcessRun> best;
  for (int i = 0; i < runs; ++i) {
    std::optional<ProcessRun> run = RunProcess(argv, directory, stdout_file);
    if (!run || run->exit_status != 0)
      return std::nullopt;
    KeepBest(best, *run);
  }
  return best;
}

void KeepBest(std::optional<ProcessRun>& best, const ProcessRun& run) {
  if (!best || run.wall_seconds < best->wall_seconds) {
    const long peak = best ? std::max(best->peak_rss_kib, run.peak_rss_kib) : run.peak_rss_kib;
    best = run;
    best->peak_rss_kib = peak;
  } else {
    best->peak_rss_kib = std::max(best->peak_rss_kib, run.peak_rss_kib);
  }
}

std::optional<std::filesystem::path> FindInPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr)
    return std::nullopt;
  std::stringstream dirs(path);
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (dir.empty())
      continue;
    const std::filesystem::path candidate = std::filesystem::path(dir) / program;
    if (access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return std::nullopt;
}

}  // namespace qtk::bench
