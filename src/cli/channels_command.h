#pragma once

#include <string>

#include "cli/commands.h"

namespace qtk::cli {

struct ChannelsOptions {
  std::string image{};     // a firmware image, or
  std::string database{};  // a database file that dfv_k7720x wrote
  std::string output{};    // the channel list text to write
  bool user = false;       // the user database instead of the default database
};

// channels: writes the default (or user) database of an image, or a database file, as the
// program list text that dfv_k7720x reads. Exit status 0 when the list is written, 1 when the
// source cannot be read or decoded (nothing is written), 2 for a wrong command line.
int RunChannelsCommand(const ChannelsOptions& options, Streams streams);

void RegisterChannelsCommand(CLI::App& app, Streams streams, int* status);

}  // namespace qtk::cli
