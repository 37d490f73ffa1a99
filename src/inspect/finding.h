#pragma once

#include <string>

namespace qtk {

// One thing wrong with an image: where (a chunk, "Page / Field", "OTA") and what.
struct Finding {
  std::string where;
  std::string what;
  bool operator==(const Finding&) const = default;
};

}  // namespace qtk
