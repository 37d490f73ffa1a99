#pragma once

#include <string>

#include "cli/commands.h"

namespace qtk::cli {

struct CheckOptions {
  std::string image;
  std::string config;
  std::string password;
  std::string ota;  // optional: the OTA file written beside the image
  bool json = false;
};

// check: every chunk CRC, the record against the description through every page (while
// every CRC is right, since only then the image loads), and the OTA file when given. One
// line per finding, "WHERE: WHAT"; nothing when clean. With json, the findings and each
// chunk's room. Exit 0 clean, 1 findings, 2 on an error (a file that cannot be read, no
// image, a description or password that does not load it).
int RunCheckCommand(const CheckOptions& options, Streams streams);

void RegisterCheckCommand(CLI::App& app, Streams streams, int* status);

}  // namespace qtk::cli
