#include <filesystem>
#include <iostream>

#include "demo/demo_set.h"

// qtkdemo DIR: writes the demo folder (firmware image, configuration description and the
// files they refer to) that the README's run command opens.
int main(int argc, char** argv) {
  std::filesystem::path dir = argc > 1 ? argv[1] : "demo";
  std::string error;
  if (!qtk::demo::WriteDemoSet(dir, &error)) {
    std::cerr << "qtkdemo: " << error << "\n";
    return 1;
  }
  std::cout << "Demo set written to " << dir.string() << "\n";
  return 0;
}
