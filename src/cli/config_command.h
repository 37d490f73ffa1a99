#pragma once

#include <string>

#include "cli/commands.h"

namespace qtk::cli {

// Loads a configuration description. On success prints a summary (list sizes, switches,
// limits, flash table sizes) and returns 0. On failure writes the load's error message as the
// desktop program shows it (followed by a line end unless it already ends with one) to err
// and returns 1.
int RunConfigCommand(const std::string& ini_path, Streams streams);

}  // namespace qtk::cli
