#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "firmware/program_location.h"

namespace qtk {

// Starts a program that ships with the desktop program and waits for its end. The database
// builder is started this way; the programs exchange data only through files in the
// application directory.
class ProgramRunner {
 public:
  virtual ~ProgramRunner() = default;
  // Starts `program` with the arguments (no command interpreter, so blanks in the directory
  // need no quoting) and waits without a time limit until it ends. True when the program was
  // started and has ended, whatever its exit code; false when it could not be started.
  virtual bool RunProgramAndWait(const std::string& program,
                                 const std::vector<std::string>& arguments) = 0;
};

// The platform implementation: posix_spawn on POSIX systems, CreateProcess with a hidden
// console on Windows. The program is taken from the application directory, or else from the
// directory the desktop program is installed in (see LocateProgram).
class SystemProgramRunner : public ProgramRunner {
 public:
  explicit SystemProgramRunner(std::filesystem::path application_directory,
                               std::filesystem::path installed_directory = {})
      : application_directory_(std::move(application_directory)),
        installed_directory_(std::move(installed_directory)) {}
  bool RunProgramAndWait(const std::string& program,
                         const std::vector<std::string>& arguments) override;

 private:
  std::filesystem::path application_directory_;
  std::filesystem::path installed_directory_;
};

// Where a program started by RunProgramWithStreams works: its current directory, and the files
// that receive its standard output and standard error (created anew). Its standard input is a
// pipe that stays open and is never written, as for a program nobody watches: one that waits
// for input waits until the time limit.
struct ProgramStreams {
  std::filesystem::path working_directory;
  std::filesystem::path standard_output;
  std::filesystem::path standard_error;
};

// Starts a program like the system runner, but with its standard streams in files, no console
// (on Windows) and a time limit, for callers that check what a program printed and how it
// ended. Gives its exit code; nothing when it could not be started or had to be ended at the
// time limit.
std::optional<int> RunProgramWithStreams(const ProgramStart& start, const ProgramStreams& streams,
                                         std::chrono::milliseconds time_limit);

}  // namespace qtk
