#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "firmware/image/chunk_table.h"

#include "cli/commands.h"

namespace qtk::cli {

// Prints the chunk table of an image, as text or as a JSON array.
int RunChunksCommand(const std::string& image_path, bool json, Streams streams);

// The chunk table as a text table, and as a JSON array of objects with the keys index, id,
// name, file_offset, region_size, length, offset_to_next, crc, crc_checked.
void PrintChunkTable(const ChunkTable& table, std::ostream& out);
nlohmann::json ChunkTableJson(const ChunkTable& table);

}  // namespace qtk::cli
