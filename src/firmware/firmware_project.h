#pragma once

#include <string>
#include <vector>

#include "config/config_description.h"
#include "firmware/image/chunk_table.h"
#include "settings/customer_settings.h"

namespace qtk {

// One loaded firmware image: the configuration description it was opened with, its chunk
// table and the customer settings record. The image bytes themselves are not kept; a save
// works on the firmware file on disk.
struct FirmwareProject {
  std::string config_path;
  std::string firmware_path;
  ConfigDescription config;
  ChunkTable chunks;
  CustomerSettings settings;
  // When set, every save writes the password words anew (after a main code replacement, a
  // password change or a whole setting file load).
  bool password_refresh = false;

  // The words that the on/off combos show: entry 0 and 1 of [OffOnOption].
  bool GetOffOnWords(std::string& off_word, std::string& on_word) const {
    return config.GetOffOnWords(off_word, on_word);
  }
};

// Values that live for the whole run of the program, beside the project.
struct LoadSession {
  // Result of the last load attempt: 0 before each showing of the load dialog, -1 firmware
  // problem, -2 configuration description problem, -3 wrong password.
  int32_t load_status = 0;
  // The password accepted by the last successful load or set by a password change.
  std::string current_password;
  // Optional file that the save puts into the user database chunk when the image has a game
  // emulator chunk.
  std::string crc_rom_path;
  // Further files the command at hand has read (the batch front end's whole setting file),
  // which none of its outputs may replace.
  std::vector<std::string> command_inputs;
};

}  // namespace qtk
