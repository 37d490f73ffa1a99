// dfv_k7720x: the console default database builder. It takes no arguments,
// reads no input and always ends with exit code 0.
#include <filesystem>
#include <iostream>

#include "dbbuilder/builder.h"
#include "dbbuilder/builder_directory.h"

int main() {
  try {
    std::error_code ec;
    std::filesystem::path current = std::filesystem::current_path(ec);
    qtk::dbbuilder::RunBuilder(qtk::dbbuilder::ExecutableDirectory(), current, std::cout);
  } catch (...) {
    // Nothing may change the exit code; whatever was printed stays printed.
  }
  std::cout.flush();
  return 0;
}
