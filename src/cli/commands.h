#pragma once

#include <CLI/CLI.hpp>
#include <iosfwd>

namespace qtk::cli {

// Where a command writes: results to out, messages (the texts the desktop program shows in
// message boxes) to err. Commands return the process exit status.
struct Streams {
  std::ostream& out;
  std::ostream& err;
};

// Each command adds its subcommand; its callback stores the exit status in *status.
void RegisterChunksCommand(CLI::App& app, Streams streams, int* status);
void RegisterConfigCommand(CLI::App& app, Streams streams, int* status);

}  // namespace qtk::cli
