#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dbbuilder/decode/database_reader.h"

namespace qtk::dbbuilder {

// Both databases the builder writes from a program list text, with no audio override and
// no RemoveProgram, as a run of dfv_k7720x with these settings would.
struct RebuiltDatabases {
  std::vector<uint8_t> raw_default;
  std::vector<uint8_t> user;
};
RebuiltDatabases BuildDatabases(std::string_view list_text, uint8_t load_domestic);

// The raw default database file of a decoded default database.
std::vector<uint8_t> WriteDecodedDefaultDatabase(const DefaultDatabase& db);

// What differs first between a decoded database and the one the builder made from its list
// ("program 2 of satellite 1"); empty when they are the same bytes. For the user database
// `original` is its bytes up to the end of the "PT01" block.
std::string DefaultDatabaseDifference(const DefaultDatabase& decoded,
                                      std::span<const uint8_t> rebuilt);
std::string UserDatabaseDifference(const UserDatabase& decoded, std::span<const uint8_t> original,
                                   std::span<const uint8_t> rebuilt);

}  // namespace qtk::dbbuilder
