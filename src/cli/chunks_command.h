#pragma once

#include <string>

#include "cli/commands.h"

namespace qtk::cli {

// Prints the chunk table of an image, as text or as a JSON array.
int RunChunksCommand(const std::string& image_path, bool json, Streams streams);

}  // namespace qtk::cli
