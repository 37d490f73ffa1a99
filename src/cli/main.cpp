#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "common/program_arguments.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = qtk::ProgramArguments(argc, argv);
  const std::vector<const char*> pointers = qtk::ArgumentPointers(arguments);
  return qtk::cli::RunCommandLine(static_cast<int>(arguments.size()), pointers.data(),
                                  {std::cout, std::cerr}, std::string("qtkcli ") + QTK_VERSION);
}
