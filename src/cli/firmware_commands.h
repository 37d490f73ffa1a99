#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"

namespace qtk::cli {

struct OpenOptions {
  std::string image;
  std::string config;
  std::string password;
};

struct SaveOptions {
  OpenOptions open;
  std::string output;
  std::string settings_file;
  std::vector<std::string> replacements;  // "ID=FILE", ID in hexadecimal as 0x...
  std::string new_password;
  bool change_password = false;
  std::string crc_rom;
  std::string report;  // --report FILE.json: the change report of the save
};

// Every command returns kExitSuccess, kExitFailure (the reason is on err) or kExitUsage (the
// command line is at fault).
//
// load: opens the image as the desktop program does and prints the configuration version
// and the chunk table.
int RunLoadCommand(const OpenOptions& options, bool json, Streams streams);
// save: setting file (whole record), password change, chunk replacements, then the save. A
// replacement for the common data chunk, two for one chunk and a new password of more than 8
// characters are usage errors, found before the image is opened.
int RunSaveCommand(const SaveOptions& options, Streams streams);
// export-settings: writes the record as a setting file (never over an input file).
int RunExportSettingsCommand(const OpenOptions& options, const std::string& output,
                             Streams streams);

void RegisterFirmwareCommands(CLI::App& app, Streams streams, int* status);

}  // namespace qtk::cli
