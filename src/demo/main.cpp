#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/program_arguments.h"
#include "common/utf8_path.h"
#include "demo/demo_set.h"

// qtkdemo DIR: writes the demo folder (firmware image, configuration description and the
// files they refer to) that the README's run command opens.
int main(int argc, char** argv) {
  const std::vector<std::string> arguments = qtk::ProgramArguments(argc, argv);
  const std::filesystem::path dir = qtk::PathFromUtf8(arguments.size() > 1 ? arguments[1] : "demo");
  std::string error;
  if (!qtk::demo::WriteDemoSet(dir, &error)) {
    std::cerr << "qtkdemo: " << error << "\n";
    return 1;
  }
  std::cout << "Demo set written to " << qtk::Utf8FromPath(dir) << "\n";
  return 0;
}
