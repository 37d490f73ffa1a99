#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>

namespace qtk::cli {

// Where a command writes: results to out, messages (the texts the desktop program shows in
// message boxes) to err. Commands return the process exit status.
struct Streams {
  std::ostream& out;
  std::ostream& err;
};

// Each command adds its subcommand to the application; the callback it installs stores the
// exit status in *status.
using CommandRegistrar = std::function<void(CLI::App& app, Streams streams, int* status)>;

void RegisterChunksCommand(CLI::App& app, Streams streams, int* status);
void RegisterConfigCommand(CLI::App& app, Streams streams, int* status);

}  // namespace qtk::cli
