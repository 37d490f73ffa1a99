#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qtk::bench {

// One finished child process as the benches compare them: wall time from start to reaped,
// CPU time and peak resident memory from the kernel's accounting of that child alone.
struct ProcessRun {
  double wall_seconds = 0;
  double cpu_seconds = 0;  // user + system
  long peak_rss_kib = 0;   // ru_maxrss
  int exit_status = -1;    // -1 when the program did not exit normally
};

// Starts `argv` (argv[0] a path; no shell), in `directory` when it is not empty, with its
// standard output to `stdout_file` when it is not empty (as `> FILE` would, truncating) or
// else to /dev/null, its standard error to /dev/null, and waits for it. Nothing when the program
// cannot be started.
std::optional<ProcessRun> RunProcess(const std::vector<std::string>& argv,
                                     const std::filesystem::path& directory = {},
                                     const std::filesystem::path& stdout_file = {});

// The fastest of `runs` runs (the least disturbed by other work on the machine), with the
// largest peak memory seen. Nothing when any run cannot be started or exits non-zero.
std::optional<ProcessRun> BestOf(int runs, const std::vector<std::string>& argv,
                                 const std::filesystem::path& directory = {},
                                 const std::filesystem::path& stdout_file = {});

// Keeps the faster of `best` and `run`, with the larger peak memory of the two.
void KeepBest(std::optional<ProcessRun>& best, const ProcessRun& run);

// The program's full path when PATH holds it, else nothing.
std::optional<std::filesystem::path> FindInPath(const std::string& program);

}  // namespace qtk::bench
