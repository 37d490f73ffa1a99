#include "cli/config_command.h"

#include <ostream>

#include "cli/exit_status.h"
#include "cli/text_format.h"
#include "config/config_description.h"

namespace qtk::cli {
namespace {

// One "  name  value" line with the value in a fixed column.
void Line(std::ostream& out, std::string_view name, const std::string& value) {
  out << "  " << PadRight(name, 30) << ' ' << value << '\n';
}

std::string Range(uint8_t low, uint8_t high) {
  return std::to_string(low) + ".." + std::to_string(high);
}

void PrintSummary(const ConfigDescription& config, std::ostream& out) {
  out << "Configuration description: " << config.description_path() << "\n";

  std::vector<uint32_t> ids = config.GetChunkIds();
  out << "Chunk ids (" << ids.size() << "):";
  for (uint32_t id : ids)
    out << ' ' << Hex32(id);
  out << "\n";

  out << "Lists (entries):\n";
  for (OptionList list : AllOptionLists()) {
    Line(out, SectionName(list), std::to_string(config.List(list).names.size()));
    if (list == OptionList::kPanelIrpType) {  // the usage lists are read right after it
      for (size_t bus = 0; bus < config.GPIOBusTypeCount(); ++bus) {
        std::string section = "GPIOUsage_" + std::to_string(bus);
        Line(out, section, std::to_string(config.GetNames(section).size()));
      }
    }
  }

  const ConfigSwitches& s = config.switches;
  out << "Switches:\n";
  Line(out, "NoVerifyingFirmwarePassword", std::to_string(s.no_verifying_firmware_password));
  Line(out, "ShowChunkDetailEnable", std::to_string(s.show_chunk_detail_enable));
  Line(out, "CustomerConfigEnable", std::to_string(s.customer_config_enable));
  Line(out, "OsdLanguageConfigEnable", std::to_string(s.osd_language_config_enable));
  Line(out, "OtaConfigEnable", std::to_string(s.ota_config_enable));
  Line(out, "ConfigVersion", std::to_string(s.config_version));
  Line(out, "LanguagePosChangedEnable", std::to_string(s.language_pos_changed_enable));

  const ConfigLimits& l = config.limits;
  out << "Limits:\n";
  Line(out, "Palette MaxCount", std::to_string(l.palette_max_count));
  Line(out, "LED MaxCount", std::to_string(l.led_max_count));
  Line(out, "Language MaxSupportCount", std::to_string(l.language_max_support_count));
  Line(out, "Volume", Range(l.volume_min, l.volume_max));
  Line(out, "ClockTreeDly", Range(l.clock_tree_dly_min, l.clock_tree_dly_max));
  Line(out, "ClockDlyChain", Range(l.clock_dly_chain_min, l.clock_dly_chain_max));
  Line(out, "Password MaxLength", std::to_string(l.password_max_length));
  Line(out, "Password Limit", "\"" + config.password_limit + "\"");

  out << "Flash devices:\n";
  Line(out, "Support", config.SupportsFlashDevices() ? "1" : "0");
  Line(out, "FlashDevice", std::to_string(config.GetFlashDevices().size()));
  Line(out, "SectorStruct", std::to_string(config.GetSectorStructs().size()));
  Line(out, "FlashDeviceValue", std::to_string(config.GetDeviceValues().size()));
}

}  // namespace

int RunConfigCommand(const std::string& ini_path, Streams streams) {
  ConfigDescription config;
  config.SetDescriptionPath(ini_path);
  if (!config.Load()) {
    std::string message = config.GetLoadError().message;
    streams.err << message;
    if (message.empty() || message.back() != '\n')
      streams.err << "\n";
    return kExitFailure;
  }
  PrintSummary(config, streams.out);
  return kExitSuccess;
}

void RegisterConfigCommand(CLI::App& app, Streams streams, int* status) {
  auto* cmd = app.add_subcommand("config", "Load a configuration description and summarize it");
  auto ini = std::make_shared<std::string>();
  cmd->add_option("INI", *ini, "Configuration description (.ini)")->required();
  cmd->callback([=] { *status = RunConfigCommand(*ini, streams); });
}

}  // namespace qtk::cli
