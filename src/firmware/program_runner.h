#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qtk {

// Starts a program that ships beside the desktop program and waits for its end. The
// database builder is started this way; the programs exchange data only through files in the
// application directory.
class ProgramRunner {
 public:
  virtual ~ProgramRunner() = default;
  // Starts application_directory / program with the arguments (no command interpreter, so
  // blanks in the directory need no quoting) and waits without a time limit until it ends.
  // True when the program was started and has ended, whatever its exit code; false when it
  // could not be started.
  virtual bool RunProgramAndWait(const std::string& program,
                                 const std::vector<std::string>& arguments) = 0;
};

// The platform implementation: posix_spawn on POSIX systems, CreateProcess with a hidden
// console on Windows. The executable name gets ".exe" on Windows only.
class SystemProgramRunner : public ProgramRunner {
 public:
  explicit SystemProgramRunner(std::filesystem::path application_directory)
      : application_directory_(std::move(application_directory)) {}
  bool RunProgramAndWait(const std::string& program,
                         const std::vector<std::string>& arguments) override;

 private:
  std::filesystem::path application_directory_;
};

}  // namespace qtk
