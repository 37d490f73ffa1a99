#include "cli/chunks_command.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "common/file_io.h"
#include "firmware/image/image_parser.h"

namespace qtk::cli {
namespace {

std::string Hex32(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", v);
  return buf;
}

}  // namespace

void PrintChunkTable(const ChunkTable& table, std::ostream& out) {
  char line[256];
  std::snprintf(line, sizeof line, "%-5s %-10s %-24s %-10s %-10s %-10s %-10s %-10s %s\n", "index",
                "id", "name", "offset", "region", "length", "next", "crc", "check");
  out << line;
  for (int i = 0; i < table.count; ++i) {
    const ChunkEntry& e = table.entries[i];
    std::snprintf(line, sizeof line, "%-5d %-10s %-24s %-10s %-10s %-10s %-10s %-10s %s\n", i,
                  Hex32(e.id).c_str(), e.Name().c_str(), Hex32(e.file_offset).c_str(),
                  Hex32(e.region_size).c_str(), Hex32(e.length).c_str(),
                  Hex32(e.offset_to_next).c_str(), Hex32(e.crc).c_str(),
                  e.HasCrc() ? "checked" : "NCRC");
    out << line;
  }
}

nlohmann::json ChunkTableJson(const ChunkTable& table) {
  nlohmann::json rows = nlohmann::json::array();
  for (int i = 0; i < table.count; ++i) {
    const ChunkEntry& e = table.entries[i];
    rows.push_back({{"index", i},
                    {"id", e.id},
                    {"name", e.Name()},
                    {"file_offset", e.file_offset},
                    {"region_size", e.region_size},
                    {"length", e.length},
                    {"offset_to_next", e.offset_to_next},
                    {"crc", e.crc},
                    {"crc_checked", e.HasCrc()}});
  }
  return rows;
}

int RunChunksCommand(const std::string& image_path, bool json, Streams streams) {
  auto image = ReadWholeFile(image_path);
  if (!image) {
    streams.err << "Can not open firmware file.\n";
    return 1;
  }
  ChunkTable table;
  if (ParseImage(*image, table) == 0) {
    streams.err << "It is not a standard firmware file!\n";
    return 1;
  }
  if (json) {
    // Chunk names are raw header bytes; anything that is not UTF-8 is replaced.
    streams.out << ChunkTableJson(table).dump(2, ' ', false,
                                              nlohmann::json::error_handler_t::replace)
                << "\n";
  } else {
    PrintChunkTable(table, streams.out);
  }
  return 0;
}

void RegisterChunksCommand(CLI::App& app, Streams streams, int* status) {
  auto* cmd = app.add_subcommand("chunks", "Print the chunk table of a firmware image");
  auto image = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  cmd->add_option("IMAGE", *image, "Firmware image (.bin)")->required();
  cmd->add_flag("--json", *json, "Print a JSON array instead of a table");
  cmd->callback([=] { *status = RunChunksCommand(*image, *json, streams); });
}

}  // namespace qtk::cli
