#pragma once

#include <string>

#include "cli/commands.h"

namespace qtk::cli {

// The whole of qtkcli: parses the command line and runs the command. A command line that
// CLI11 refuses is a usage error (its message on err, exit status 2; --help prints the help
// and succeeds). An exception that escapes a command is reported on err as
// "qtkcli: " + its description and gives exit status 1, after the stack is unwound, so no
// half-written output file stays behind. --version prints `version_text`.
int RunCommandLine(int argc, const char* const* argv, Streams streams,
                   const std::string& version_text);

}  // namespace qtk::cli
