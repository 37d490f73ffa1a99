#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace qtk::cli {

// One --replace option: the chunk id and the file that takes its place.
struct Replacement {
  uint32_t id = 0;
  std::string path;
};

// The --replace options ("0x02FD0100=logo.m2v") as ids and paths; a usage error is reported on
// err and gives nothing. The common data chunk is always written from the settings record, so
// a file for it would be ignored; two files for one chunk would leave one of them ignored.
std::optional<std::vector<Replacement>> ParseReplacements(const std::vector<std::string>& texts,
                                                          std::ostream& err);

}  // namespace qtk::cli
