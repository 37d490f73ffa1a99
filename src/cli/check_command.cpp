#include "cli/check_command.h"

#include <memory>
#include <ostream>

#include "common/utf8_path.h"
#include "cli/exit_status.h"
#include "cli/inspect_json.h"
#include "cli/password_option.h"
#include "cli/stream_dialogs.h"
#include "common/file_io.h"
#include "firmware/firmware_loader.h"
#include "inspect/image_check.h"

namespace qtk::cli {
namespace {

constexpr uint64_t kMaxImageSize = 0xFFFFFFFFu;
// A check that could not be made, told apart from a check that found something.
constexpr int kError = 2;

}  // namespace

int RunCheckCommand(const CheckOptions& o, Streams streams) {
  StreamDialogs dialogs(streams.err);
  FileContents image = ReadRegularFile(PathFromUtf8(o.image), kMaxImageSize);
  if (image.status == FileReadStatus::kCannotOpen) {
    dialogs.ShowMessage(load_messages::kCannotOpenFirmware);
    return kError;
  }
  std::optional<ChunkWalk> walk;
  if (image.status == FileReadStatus::kRead)
    walk = WalkChunks(image.bytes);
  if (!walk) {
    dialogs.ShowMessage(load_messages::kNotStandard);
    return kError;
  }
  std::optional<std::vector<uint8_t>> ota;
  if (!o.ota.empty()) {
    ota = ReadWholeFile(PathFromUtf8(o.ota), kMaxImageSize);
    if (!ota) {
      streams.err << "qtkcli check: can not read the OTA file " << o.ota << "\n";
      return kError;
    }
  }
  std::vector<Finding> findings = walk->findings;
  if (findings.empty()) {
    const std::optional<std::string> password = PasswordOption(o.password, "--password", dialogs);
    if (!password)
      return kError;
    LoadSession session;
    std::unique_ptr<FirmwareProject> project =
        OpenFirmware(o.image, o.config, *password, session, dialogs);
    if (!project)
      return kError;
    std::error_code ec;
    const auto directory = std::filesystem::absolute(PathFromUtf8(o.config), ec).parent_path();
    for (Finding& f : CheckRecord(*project, directory))
      findings.push_back(std::move(f));
  } else {
    findings.push_back({"record", "not checked: an image with a wrong chunk CRC does not load"});
  }
  if (ota) {
    for (Finding& f : CheckOtaFile(walk->chunks, image.bytes, *ota))
      findings.push_back(std::move(f));
  }

  if (o.json) {
    nlohmann::ordered_json doc = {{"findings", FindingsJson(findings)},
                                  {"chunks", RoomsJson(walk->rooms)}};
    streams.out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  } else {
    for (const Finding& f : findings)
      streams.out << f.where << ": " << f.what << "\n";
  }
  return findings.empty() ? kExitSuccess : kExitFailure;
}

void RegisterCheckCommand(CLI::App& app, Streams streams, int* status) {
  auto* cmd = app.add_subcommand(
      "check",
      "Check an image: chunk CRCs, the record against the description, the OTA file "
      "(exit 0 clean, 1 findings, 2 error)");
  auto o = std::make_shared<CheckOptions>();
  cmd->add_option("IMAGE", o->image, "Firmware image (.bin)")->required();
  cmd->add_option("--config", o->config, "Configuration description (.ini)")->required();
  cmd->add_option("--password", o->password, "Firmware password")->required();
  cmd->add_option("--ota", o->ota, "OTA file written beside the image");
  cmd->add_flag("--json", o->json, "Print JSON: findings and each chunk's room");
  cmd->callback([=] { *status = RunCheckCommand(*o, streams); });
}

}  // namespace qtk::cli
