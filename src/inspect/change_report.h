#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "firmware/firmware_saver.h"
#include "inspect/chunk_diff.h"
#include "inspect/record_diff.h"

namespace qtk {

// A chunk the save rewrote, with the file it was replaced with (empty: rewritten from the
// record or for the bytes mirrored into it).
struct RewrittenChunk {
  ChunkChange change;
  std::string file;
};

// What a save changed against the loaded image.
struct ChangeReport {
  std::string output_path;
  std::vector<RewrittenChunk> chunks;
  RecordDiff record;  // by page and field, then bytes no field shows
  bool password_changed = false;
  std::string crc_rom_path;  // empty: no CRC ROM inserted
  bool mirror_block = false;
  std::string ota_path;  // empty: no OTA file written
};

// Compares the image as read with the image as written; the fields are read through the
// pages of `project` (the project that was saved, whose chunk table names the replacement
// files).
ChangeReport BuildChangeReport(const FirmwareProject& project, const SavedImage& saved,
                               const std::filesystem::path& application_directory);

// One line per change (change_lines.h), then "password changed", "CRC ROM inserted from
// FILE", "mirror block written" and "OTA file written to FILE" where they apply.
std::string ChangeReportText(const ChangeReport& report);

// The save's details as the desktop program's success message offers them.
SaveDetails ChangeReportDetails(const FirmwareProject& project,
                                const std::filesystem::path& application_directory);

}  // namespace qtk
