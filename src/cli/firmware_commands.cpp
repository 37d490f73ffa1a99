#include "cli/firmware_commands.h"

#include <charconv>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "cli/chunks_command.h"
#include "cli/exit_status.h"
#include "cli/password_option.h"
#include "cli/replacement_option.h"
#include "cli/report_option.h"
#include "cli/stream_dialogs.h"
#include "cli/text_format.h"
#include "firmware/firmware_loader.h"
#include "firmware/firmware_saver.h"
#include "firmware/password_change.h"
#include "firmware/setting_file_save.h"
#include "firmware/settings_import.h"
#include "settings/setting_file.h"

namespace qtk::cli {
namespace {

struct Opened {
  LoadSession session;
  std::unique_ptr<FirmwareProject> project;
};

Opened Open(const OpenOptions& options, StreamDialogs& dialogs) {
  Opened opened;
  const std::optional<std::string> password =
      PasswordOption(options.password, "--password", dialogs);
  if (!password)
    return opened;
  opened.project = OpenFirmware(options.image, options.config, *password, opened.session, dialogs);
  return opened;
}

bool MarkReplacements(FirmwareProject& project, const std::vector<Replacement>& replacements,
                      StreamDialogs& dialogs, std::ostream& err) {
  for (const Replacement& r : replacements) {
    auto index = project.chunks.FindLoaded(r.id);
    if (!index) {
      err << "qtkcli: the image has no chunk with id " << Hex32(r.id) << "\n";
      return false;
    }
    if (!ChunkFileFits(project, r.path, *index, dialogs))
      return false;
    project.chunks.entries[*index].replace = true;
    project.chunks.entries[*index].replacement_path = r.path;
  }
  return true;
}

}  // namespace

int RunLoadCommand(const OpenOptions& options, bool json, Streams streams) {
  StreamDialogs dialogs(streams.err);
  Opened opened = Open(options, dialogs);
  if (!opened.project)
    return kExitFailure;
  const int version = opened.project->settings.ConfigVersion();
  if (json) {
    nlohmann::json doc = {{"config_version", version},
                          {"chunks", ChunkTableJson(opened.project->chunks)}};
    streams.out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  } else {
    streams.out << "Config ver: " << version << ".0\n";
    PrintChunkTable(opened.project->chunks, streams.out);
  }
  return kExitSuccess;
}

int RunSaveCommand(const SaveOptions& options, Streams streams) {
  StreamDialogs dialogs(streams.err);
  std::optional<std::string> new_password;
  if (options.change_password) {
    new_password = PasswordOption(options.new_password, "--new-password", dialogs);
    if (!new_password || new_password->empty()) {
      if (new_password)
        streams.err << "qtkcli: --new-password takes 1 to 8 characters\n";
      return kExitUsage;
    }
  }
  const auto replacements = ParseReplacements(options.replacements, streams.err);
  if (!replacements)
    return kExitUsage;
  Opened opened = Open(options.open, dialogs);
  if (!opened.project)
    return kExitFailure;
  FirmwareProject& project = *opened.project;

  if (!options.settings_file.empty()) {
    auto file = ReadSettingFile(options.settings_file, project.chunks, project.settings, dialogs);
    if (!file)
      return kExitFailure;
    ImportWholeSettings(project, *file, opened.session.current_password);
    opened.session.command_inputs.push_back(options.settings_file);
  }
  if (options.change_password &&
      !ChangePassword(project, opened.session,
                      PasswordFromUtf8(options.open.password).value_or(std::string()),
                      *new_password, *new_password, dialogs)) {
    return kExitFailure;
  }
  if (!MarkReplacements(project, *replacements, dialogs, streams.err))
    return kExitFailure;
  opened.session.crc_rom_path = options.crc_rom;
  if (!ReportPathAllowed(options.report, options.output, project, opened.session, dialogs))
    return kExitFailure;
  return SaveWithReport(project, opened.session, options.output, options.report, dialogs,
                        streams.err)
             ? kExitSuccess
             : kExitFailure;
}

int RunExportSettingsCommand(const OpenOptions& options, const std::string& output,
                             Streams streams) {
  StreamDialogs dialogs(streams.err);
  Opened opened = Open(options, dialogs);
  if (!opened.project)
    return kExitFailure;
  return SaveProjectSettingFile(*opened.project, opened.session, output, dialogs) ? kExitSuccess
                                                                                  : kExitFailure;
}

void RegisterFirmwareCommands(CLI::App& app, Streams streams, int* status) {
  auto add_open_options = [](CLI::App* cmd, OpenOptions& o) {
    cmd->add_option("IMAGE", o.image, "Firmware image (.bin)")->required();
    cmd->add_option("--config", o.config, "Configuration description (.ini)")->required();
    cmd->add_option("--password", o.password, "Firmware password")->required();
  };

  auto load = std::make_shared<OpenOptions>();
  auto load_json = std::make_shared<bool>(false);
  auto* load_cmd = app.add_subcommand("load", "Open an image and print its chunk table");
  add_open_options(load_cmd, *load);
  load_cmd->add_flag("--json", *load_json, "Print JSON");
  load_cmd->callback([=] { *status = RunLoadCommand(*load, *load_json, streams); });

  auto save = std::make_shared<SaveOptions>();
  auto* save_cmd = app.add_subcommand("save", "Write a new image (and its OTA file)");
  add_open_options(save_cmd, save->open);
  save_cmd->add_option("-o,--output", save->output, "Output image")->required();
  save_cmd->add_option("--settings", save->settings_file, "Setting file (.set) to load whole");
  save_cmd->add_option("--replace", save->replacements, "Chunk replacement ID=FILE (ID as 0x...)");
  auto* new_password =
      save_cmd->add_option("--new-password", save->new_password, "New firmware password");
  save_cmd->add_option("--crc-rom", save->crc_rom, "CRC ROM file for the user database chunk");
  save_cmd->add_option("--report", save->report, "Write the change report of the save (JSON)");
  save_cmd->callback([=] {
    save->change_password = new_password->count() > 0;
    *status = RunSaveCommand(*save, streams);
  });

  auto exported = std::make_shared<OpenOptions>();
  auto output = std::make_shared<std::string>();
  auto* export_cmd = app.add_subcommand("export-settings", "Write the record as a setting file");
  add_open_options(export_cmd, *exported);
  export_cmd->add_option("-o,--output", *output, "Setting file (.set)")->required();
  export_cmd->callback([=] { *status = RunExportSettingsCommand(*exported, *output, streams); });
}

}  // namespace qtk::cli
