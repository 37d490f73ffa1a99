#include "cli/diff_command.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>

#include "common/utf8_path.h"
#include "cli/exit_status.h"
#include "cli/inspect_json.h"
#include "cli/password_option.h"
#include "cli/stream_dialogs.h"
#include "common/file_io.h"
#include "firmware/firmware_loader.h"
#include "inspect/change_lines.h"
#include "inspect/chunk_walk.h"
#include "inspect/image_record.h"
#include "settings/setting_file.h"

namespace qtk::cli {
namespace {

// One side of the comparison.
struct Side {
  std::string path;
  bool image = false;
  std::vector<uint8_t> bytes;
  ChunkTable chunks;
  std::optional<ImageRecord> record;
  std::unique_ptr<FirmwareProject> project;  // images, with --config and --password
};

constexpr uint64_t kMaxImageSize = 0xFFFFFFFFu;
// As diff(1) says trouble: a wrong command line and a file that cannot be compared alike.
constexpr int kError = 2;

std::optional<Side> ReadSide(const std::string& path, std::ostream& err) {
  FileContents file = ReadRegularFile(PathFromUtf8(path), kMaxImageSize);
  if (file.status != FileReadStatus::kRead) {
    err << "qtkcli diff: can not read " << path << "\n";
    return std::nullopt;
  }
  Side side;
  side.path = path;
  side.bytes = std::move(file.bytes);
  // The chunk structure alone decides: an image with a damaged chunk is compared too, to
  // show where it differs from a sound one.
  if (std::optional<ChunkWalk> walk = WalkChunks(side.bytes)) {
    side.image = true;
    side.chunks = walk->chunks;
    side.record = RecordOfImage(side.chunks, side.bytes);
    return side;
  }
  if (side.bytes.size() < kMinSettingFileSize || side.bytes.size() > record::kSize) {
    err << "qtkcli diff: " << path << " is neither a firmware image nor a setting file\n";
    return std::nullopt;
  }
  ImageRecord record;
  record.held = side.bytes.size();
  std::copy(side.bytes.begin(), side.bytes.end(), record.bytes.begin());
  side.record = record;
  return side;
}

// A record that holds fewer bytes than the other (a short setting file, a short common data
// chunk) is compared as it would load over the other: its missing bytes are the other's.
void FillShortRecord(ImageRecord& shorter, const ImageRecord& other) {
  for (size_t i = shorter.held; i < other.held; ++i)
    shorter.bytes[i] = other.bytes[i];
  shorter.held = std::max(shorter.held, other.held);
}

// The project that the pages read the records over: the first image's, or, for two setting
// files, one that holds only the description.
std::unique_ptr<FirmwareProject> OpenProjects(const DiffOptions& o, Side& a, Side& b,
                                              StreamDialogs& dialogs) {
  const std::optional<std::string> password = PasswordOption(o.password, "--password", dialogs);
  if (!password)
    return nullptr;
  for (Side* side : {&a, &b}) {
    if (!side->image)
      continue;
    LoadSession session;
    side->project = OpenFirmware(side->path, o.config, *password, session, dialogs);
    if (!side->project)
      return nullptr;
  }
  for (Side* side : {&a, &b}) {
    if (side->project)
      return std::make_unique<FirmwareProject>(*side->project);
  }
  auto project = std::make_unique<FirmwareProject>();
  project->config_path = o.config;
  project->config.SetDescriptionPath(o.config);
  const bool readable = IsRegularFile(PathFromUtf8(o.config));
  if (!readable || !project->config.Load()) {
    dialogs.ShowMessage(readable
                            ? project->config.GetLoadError().message
                            : std::string(load_messages::kCannotOpenConfig) + o.config);
    return nullptr;
  }
  return project;
}

std::filesystem::path DirectoryOf(const std::string& path) {
  std::error_code ec;
  return std::filesystem::absolute(PathFromUtf8(path), ec).parent_path();
}

}  // namespace

int RunDiffCommand(const DiffOptions& o, Streams streams) {
  if (o.config.empty() != o.password.empty()) {
    streams.err << "qtkcli diff: --config and --password go together\n";
    return kError;
  }
  std::optional<Side> a = ReadSide(o.first, streams.err);
  std::optional<Side> b = a ? ReadSide(o.second, streams.err) : std::nullopt;
  if (!a || !b)
    return kError;
  StreamDialogs dialogs(streams.err);
  std::unique_ptr<PageReader> reader;
  if (!o.config.empty()) {
    std::unique_ptr<FirmwareProject> base = OpenProjects(o, *a, *b, dialogs);
    if (!base)
      return kError;
    reader = std::make_unique<PageReader>(*base, DirectoryOf(o.config));
  }

  std::vector<ChunkChange> chunks;
  if (a->image && b->image)
    chunks = DiffChunks(a->chunks, a->bytes, b->chunks, b->bytes);
  RecordDiff record;
  if (a->record && b->record) {
    FillShortRecord(*a->record, *b->record);
    FillShortRecord(*b->record, *a->record);
    record = DiffRecords(reader.get(), a->record->bytes, b->record->bytes);
  }
  const bool equal =
      chunks.empty() && record.Empty() && a->record.has_value() == b->record.has_value();

  if (o.json) {
    nlohmann::ordered_json doc = {{"equal", equal}};
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const ChunkChange& c : chunks)
      list.push_back(ChunkChangeJson(c));
    doc["chunks"] = std::move(list);
    RecordDiffJson(record, doc);
    streams.out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  } else {
    for (const ChunkChange& c : chunks)
      streams.out << ChunkLine(c) << "\n";
    for (const FieldChange& f : record.fields)
      streams.out << FieldLine(f) << "\n";
    for (const ByteRun& run : record.bytes)
      streams.out << ByteRunLine(run) << "\n";
    if (a->record.has_value() != b->record.has_value())
      streams.out << "record only in " << (a->record ? o.first : o.second) << "\n";
  }
  return equal ? kExitSuccess : kExitFailure;
}

void RegisterDiffCommand(CLI::App& app, Streams streams, int* status) {
  auto* cmd = app.add_subcommand(
      "diff",
      "Compare two images or setting files by chunk, page and field (exit 0 equal, 1 "
      "different, 2 error)");
  auto options = std::make_shared<DiffOptions>();
  cmd->add_option("A", options->first, "Firmware image or setting file")->required();
  cmd->add_option("B", options->second, "Firmware image or setting file")->required();
  cmd->add_option("--config", options->config,
                  "Configuration description: compare the record by page and field");
  cmd->add_option("--password", options->password, "Firmware password of the images");
  cmd->add_flag("--json", options->json, "Print JSON");
  cmd->callback([=] { *status = RunDiffCommand(*options, streams); });
}

}  // namespace qtk::cli
