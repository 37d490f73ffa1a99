// dfv_k7720x: the console default database builder. A builder run reads no input and ends
// with exit code 0 at every end it reports itself; arguments it cannot use end it with 2
// before it starts, and an exception that no step handled is reported on standard output and
// ends it with 1. Standard output stays in text mode: on Windows each message ends in CR LF,
// as the builder has always printed there and as Windows programs read console text.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/fault_guard.h"
#include "common/program_arguments.h"
#include "dbbuilder/builder.h"
#include "dbbuilder/builder_arguments.h"
#include "dbbuilder/builder_directory.h"

int main(int argc, char** argv) {
  const std::vector<std::string> given = qtk::ProgramArguments(argc, argv);
  const qtk::dbbuilder::BuilderArguments arguments = qtk::dbbuilder::ParseBuilderArguments(
      given.empty() ? given : std::vector<std::string>(given.begin() + 1, given.end()));
  if (!arguments.error.empty()) {
    std::cerr << "dfv_k7720x: " << arguments.error << "\n" << qtk::dbbuilder::kUsage;
    return 2;
  }
  if (arguments.help) {
    std::cout << qtk::dbbuilder::kUsage;
    return 0;
  }
  if (arguments.version) {
    std::cout << "dfv_k7720x " << QTK_VERSION << "\n";
    return 0;
  }
  const int status = qtk::RunGuarded(
      [&] {
        std::error_code ec;
        std::filesystem::path current = std::filesystem::current_path(ec);
        qtk::dbbuilder::RunBuilder(
            arguments.directory.value_or(qtk::dbbuilder::ExecutableDirectory()), current,
            std::cout);
        return 0;
      },
      [](const std::string& description) { std::cout << "dfv_k7720x: " << description << "\n"; });
  std::cout.flush();
  return status;
}
