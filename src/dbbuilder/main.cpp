// dfv_k7720x: the console default database builder. A builder run reads no input and always
// ends with exit code 0; only arguments it cannot use end it with 2 before it starts.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "dbbuilder/builder.h"
#include "dbbuilder/builder_arguments.h"
#include "dbbuilder/builder_directory.h"

int main(int argc, char** argv) {
  const qtk::dbbuilder::BuilderArguments arguments =
      qtk::dbbuilder::ParseBuilderArguments(std::vector<std::string>(argv + 1, argv + argc));
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
  try {
    std::error_code ec;
    std::filesystem::path current = std::filesystem::current_path(ec);
    qtk::dbbuilder::RunBuilder(arguments.directory.value_or(qtk::dbbuilder::ExecutableDirectory()),
                               current, std::cout);
  } catch (...) {
    // Nothing may change the exit code; whatever was printed stays printed.
  }
  std::cout.flush();
  return 0;
}
