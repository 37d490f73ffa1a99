#include "cli/inspect_json.h"

#include "common/utf8_path.h"
#include "cli/field_json.h"
#include "common/file_io.h"
#include "common/latin1_text.h"
#include "common/pending_file.h"
#include "inspect/change_lines.h"

namespace qtk::cli {
namespace {

nlohmann::ordered_json LengthCrc(const ChunkFacts& facts) {
  return {{"length", facts.length}, {"crc", facts.crc}};
}

}  // namespace

nlohmann::ordered_json ChunkChangeJson(const ChunkChange& c) {
  const ChunkFacts& named = c.kind == ChunkChangeKind::kRemoved ? c.before : c.after;
  nlohmann::ordered_json json = {{"change", std::string(ChunkChangeName(c.kind))},
                                 {"id", named.id},
                                 {"name", Latin1ToUtf8(named.name)}};
  if (c.kind != ChunkChangeKind::kAdded)
    json["before"] = LengthCrc(c.before);
  if (c.kind != ChunkChangeKind::kRemoved)
    json["after"] = LengthCrc(c.after);
  return json;
}

nlohmann::ordered_json RecordDiffJson(const RecordDiff& diff, nlohmann::ordered_json& into) {
  nlohmann::ordered_json fields = nlohmann::ordered_json::array();
  for (const FieldChange& f : diff.fields) {
    fields.push_back({{"page", f.page},
                      {"field", f.field},
                      {"before", FieldValueJson(f.before)},
                      {"after", FieldValueJson(f.after)}});
  }
  nlohmann::ordered_json bytes = nlohmann::ordered_json::array();
  for (const ByteRun& run : diff.bytes) {
    bytes.push_back(
        {{"offset", run.offset}, {"before", HexBytes(run.before)}, {"after", HexBytes(run.after)}});
  }
  into["fields"] = std::move(fields);
  into["bytes"] = std::move(bytes);
  return into;
}

nlohmann::ordered_json ChangeReportJson(const ChangeReport& report) {
  nlohmann::ordered_json doc = {{"output", report.output_path}};
  nlohmann::ordered_json chunks = nlohmann::ordered_json::array();
  for (const RewrittenChunk& c : report.chunks) {
    nlohmann::ordered_json json = ChunkChangeJson(c.change);
    json["file"] = c.file.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(c.file);
    chunks.push_back(std::move(json));
  }
  doc["chunks"] = std::move(chunks);
  RecordDiffJson(report.record, doc);
  auto path_or_null = [](const std::string& path) {
    return path.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(path);
  };
  doc["password_changed"] = report.password_changed;
  doc["crc_rom"] = path_or_null(report.crc_rom_path);
  doc["mirror_block"] = report.mirror_block;
  doc["ota_file"] = path_or_null(report.ota_path);
  return doc;
}

nlohmann::ordered_json FindingsJson(const std::vector<Finding>& findings) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const Finding& f : findings)
    list.push_back({{"where", f.where}, {"what", f.what}});
  return list;
}

nlohmann::ordered_json RoomsJson(const std::vector<ChunkRoom>& rooms) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const ChunkRoom& r : rooms) {
    list.push_back({{"id", r.chunk.id},
                    {"name", Latin1ToUtf8(r.chunk.name)},
                    {"capacity", r.capacity},
                    {"used", r.used},
                    {"room", r.capacity - r.used}});
  }
  return list;
}

bool WriteJsonFile(const std::string& path, const nlohmann::ordered_json& doc) {
  const std::string text = doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  PendingFile file(PathFromUtf8(path));
  return file.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size()) && file.Commit();
}

}  // namespace qtk::cli
