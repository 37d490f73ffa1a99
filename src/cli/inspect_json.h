#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "inspect/change_report.h"
#include "inspect/image_check.h"

namespace qtk::cli {

// The JSON forms of diff, check and the change report. Chunks:
// {"change": "changed", "id", "name", "before": {"length", "crc"}, "after": {...}} (added
// without "before", removed without "after"); fields: {"page", "field", "before", "after"}
// with values as show --json writes them; bytes: {"offset", "before", "after"} with the bytes
// as hexadecimal pairs.
nlohmann::ordered_json ChunkChangeJson(const ChunkChange& change);
nlohmann::ordered_json RecordDiffJson(const RecordDiff& diff, nlohmann::ordered_json& into);
nlohmann::ordered_json ChangeReportJson(const ChangeReport& report);
nlohmann::ordered_json FindingsJson(const std::vector<Finding>& findings);
nlohmann::ordered_json RoomsJson(const std::vector<ChunkRoom>& rooms);

// Writes the document (two-space indent, a final line break) whole or not at all; false when
// the file cannot be written.
bool WriteJsonFile(const std::string& path, const nlohmann::ordered_json& doc);

}  // namespace qtk::cli
