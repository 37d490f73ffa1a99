#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "firmware/firmware_project.h"
#include "inspect/chunk_diff.h"

namespace qtk {

// One thing wrong with an image: where (a chunk, "Page / Field", "OTA") and what.
struct Finding {
  std::string where;
  std::string what;
  bool operator==(const Finding&) const = default;
};

// How full a chunk is: the bytes its header length covers after the header, and the bytes
// its region holds for data.
struct ChunkRoom {
  ChunkFacts chunk;
  int64_t capacity = 0;
  int64_t used = 0;
};

// The chunk structure of an image with every CRC checked on its own: a wrong CRC is a
// finding, not the end of the walk. Nothing when the chunks themselves cannot be walked
// (headers, lengths, offsets or ids that no image has).
struct ChunkWalk {
  ChunkTable chunks;
  std::vector<Finding> findings;
  std::vector<ChunkRoom> rooms;
};
std::optional<ChunkWalk> WalkChunks(std::span<const uint8_t> image);

// The record of a loaded image against its description, through every page of the page
// registry: a choice whose stored value is none of its entries; a page that shows a message
// while it loads; a value that the page's own rule refuses or changes when the user enters
// it again as it stands (values outside their ranges); a page that refuses to store.
std::vector<Finding> CheckRecord(const FirmwareProject& project,
                                 const std::filesystem::path& application_directory);

// An OTA file against the image it belongs to: its chunk CRCs, and that it holds exactly what
// a save of this image writes (everything after the first chunk, at most 1 MiB).
std::vector<Finding> CheckOtaFile(const ChunkTable& chunks, std::span<const uint8_t> image,
                                  std::span<const uint8_t> ota);

}  // namespace qtk
