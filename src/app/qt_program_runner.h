#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>

#include "firmware/program_runner.h"

namespace qtk {

class ProgressWindow;

// Starts a helper program without stopping the window: the program is started as the blocking
// runner starts it (the same executable, arguments, environment and current directory), and
// while it runs the event loop goes on behind a modal progress window that shows the program's
// console lines as they come, under the busy cursor. The page that asked learns the same as
// from the blocking runner: false when the program could not be started, true once it has
// ended, whatever its exit code. "Cancel" in the window stops the program; the run then counts
// as failed, so that nothing is taken from outputs the program left half written.
class QtProgramRunner : public ProgramRunner {
 public:
  QtProgramRunner(std::filesystem::path application_directory,
                  std::filesystem::path installed_directory = {})
      : application_directory_(std::move(application_directory)),
        installed_directory_(std::move(installed_directory)) {}

  bool RunProgramAndWait(const std::string& program,
                         const std::vector<std::string>& arguments) override;

  // Called with the progress window once it is shown and again after each console line; tests
  // look at the window and act on it from here.
  void SetWindowObserver(std::function<void(ProgressWindow&)> observer) {
    observer_ = std::move(observer);
  }
  // The console lines of the last run.
  const QStringList& last_lines() const { return last_lines_; }

 private:
  std::filesystem::path application_directory_;
  std::filesystem::path installed_directory_;
  std::function<void(ProgressWindow&)> observer_;
  QStringList last_lines_;
};

// A console line as the window shows it: UTF-8 when it is valid UTF-8, otherwise one
// character per byte, so that no byte of the program's output is dropped.
QString ConsoleText(const std::string& bytes);

}  // namespace qtk
