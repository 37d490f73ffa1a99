#include <iostream>
#include <string>

#include "cli/command_line.h"

int main(int argc, char** argv) {
  return qtk::cli::RunCommandLine(argc, argv, {std::cout, std::cerr},
                                  std::string("qtkcli ") + QTK_VERSION);
}
