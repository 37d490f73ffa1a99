#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/firmware_commands.h"

namespace qtk::cli {

struct ApplyOptions {
  OpenOptions open;
  std::string set_file;  // JSON: {"Page": {"Field": value, ...}, ...}
  std::string output;
  std::vector<std::string> replacements;  // "ID=FILE", ID in hexadecimal as 0x...
  std::string report;                     // --report FILE.json: the change report of the save
};

// show: opens the image as the desktop program does, loads every page, and prints every field
// of every page with its value as the page shows it; with json, the object that apply reads.
int RunShowCommand(const OpenOptions& options, bool json, Streams streams);

// apply: opens the image and loads every page, sets the given fields through the page models
// (page order, each page's field order, as a user would set the controls), replaces chunks
// through the General page, stores every page in page order as "Save FW..." does, and saves.
// Any refusal names page and field, exits 1 and writes no output.
int RunApplyCommand(const ApplyOptions& options, Streams streams);

void RegisterPageCommands(CLI::App& app, Streams streams, int* status);

}  // namespace qtk::cli
