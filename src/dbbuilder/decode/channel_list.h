#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dbbuilder/decode/database_reader.h"

namespace qtk::dbbuilder {

enum class DatabaseKind { kDefault, kUser };

// A database written back as the program list text that dfv_k7720x reads.
struct ChannelList {
  DatabaseKind kind = DatabaseKind::kDefault;
  std::string text;  // CR LF line ends, tab-separated columns
  // The LoadDomestic value to build the list with. Only a user database may need 1: when
  // TP-only lines stand among its programs, which are all domestic.
  uint8_t load_domestic = 0;
  // Empty when dfv_k7720x gives the database back byte for byte from the text (with
  // LoadDomestic as above, no audio override, no RemoveProgram); else the first place that
  // differs. Only a database that the builder did not write can differ.
  std::string difference;
  size_t satellites = 0;
  size_t tps = 0;
  size_t programs = 0;

  // The warning and the LoadDomestic note for the user, each one message; none when the list
  // builds back into the database as it is.
  std::vector<std::string> Notices() const;
};

// The list of a decoded default database.
ChannelList ChannelListOfDefaultDatabase(const DefaultDatabase& db);

// The list of a decoded user database; `bytes` are the bytes it was read from.
ChannelList ChannelListOfUserDatabase(const UserDatabase& db, std::span<const uint8_t> bytes);

}  // namespace qtk::dbbuilder
