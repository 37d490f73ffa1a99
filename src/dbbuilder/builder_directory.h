#pragma once

#include <filesystem>

namespace qtk::dbbuilder {

// The builder directory: the directory of the running executable (not the current
// directory). Empty when the executable's path cannot be found.
std::filesystem::path ExecutableDirectory();

}  // namespace qtk::dbbuilder
