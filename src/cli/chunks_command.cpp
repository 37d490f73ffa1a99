#include "cli/chunks_command.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "common/utf8_path.h"
#include "cli/exit_status.h"
#include "cli/text_format.h"
#include "common/file_io.h"
#include "firmware/firmware_loader.h"
#include "firmware/image/image_parser.h"

namespace qtk::cli {
namespace {

// One row of the table: the cells padded to their columns, one blank between them.
void Row(std::ostream& out, const std::vector<std::string>& cells) {
  static constexpr size_t kWidths[] = {5, 10, 24, 10, 10, 10, 10, 10};
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i + 1 == cells.size()) {
      out << cells[i] << '\n';
    } else {
      out << PadRight(cells[i], kWidths[i]) << ' ';
    }
  }
}

}  // namespace

void PrintChunkTable(const ChunkTable& table, std::ostream& out) {
  Row(out, {"index", "id", "name", "offset", "region", "length", "next", "crc", "check"});
  for (int i = 0; i < table.count; ++i) {
    const ChunkEntry& e = table.entries[i];
    Row(out,
        {std::to_string(i), Hex32(e.id), e.Name(), Hex32(e.file_offset), Hex32(e.region_size),
         Hex32(e.length), Hex32(e.offset_to_next), Hex32(e.crc), e.HasCrc() ? "checked" : "NCRC"});
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
  // Offsets are 32-bit: a file of 4 GiB or more is no image, and is not read at all.
  FileContents image = ReadRegularFile(PathFromUtf8(image_path), 0xFFFFFFFFu);
  if (image.status == FileReadStatus::kCannotOpen) {
    streams.err << load_messages::kCannotOpenFirmware << "\n";
    return kExitFailure;
  }
  ChunkTable table;
  if (image.status == FileReadStatus::kTooBig || ParseImage(image.bytes, table) == 0) {
    streams.err << load_messages::kNotStandard << "\n";
    return kExitFailure;
  }
  if (json) {
    // Chunk names are raw header bytes; anything that is not UTF-8 is replaced.
    streams.out << ChunkTableJson(table).dump(2, ' ', false,
                                              nlohmann::json::error_handler_t::replace)
                << "\n";
  } else {
    PrintChunkTable(table, streams.out);
  }
  return kExitSuccess;
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
