#pragma once

#include <string>

#include "cli/commands.h"

namespace qtk::cli {

struct DiffOptions {
  std::string first;
  std::string second;
  std::string config;  // with password: the record by page and field
  std::string password;
  bool json = false;
};

// diff: A and B are firmware images or setting files, in any mix, told apart by content.
// Images: chunks added, removed or changed; then the record: every field that shows another
// value (with --config and --password), then the differing bytes no field shows. Prints
// nothing for equal files. Exit 0 equal, 1 different, 2 on an error (a file that cannot be
// read or is neither kind, a description or an image that does not load).
int RunDiffCommand(const DiffOptions& options, Streams streams);

void RegisterDiffCommand(CLI::App& app, Streams streams, int* status);

}  // namespace qtk::cli
