#pragma once

// Shared pieces of the decoder tests: the builder's two databases for a list text, as
// dfv_k7720x writes them in-process.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "../dbbuilder/test_support.h"
#include "dbbuilder/database_writer.h"

namespace qtk::dbbuilder::test {

struct Built {
  std::vector<uint8_t> raw_default;
  std::vector<uint8_t> user;
  std::string warnings;
};

Built Build(std::string_view text, const WriterSettings& settings = {});

}  // namespace qtk::dbbuilder::test
