#include "config/config_description.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "common/utf8_path.h"
#include "config/ini/ini_document.h"
#include "config/text_helpers.h"

namespace qtk {
namespace {

constexpr std::array<std::string_view, kOptionListCount> kSectionNames = {
    "SystemMode",     "GPIOBusType",   "OffOnOption",     "OSDLanguageList", "AutoScanMode",
    "TpScanMode",     "ProgAudioMode", "PresetProgAudio", "Transparence",    "TVMode",
    "ProgramMode",    "DACType",       "DACIndex",        "PauseKeyWindow",  "PreviewKeyWindow",
    "DViewKeyWindow", "RFMode",        "PanelIrpType",    "PanelKey",        "IRKey",
    "GPIOPolar",      "LEDDotCom",     "SignalLedCom",    "CPUClock",        "MemClock",
    "DataPadDrv",     "CmdPadDrv",     "TunerType",       "ExtTunerType",    "ExtTunerDriver",
    "Costdown",       "DiffSingle",    "IQEnable",        "IQSet",           "ISet",
    "QSet",           "Polarity",
};

constexpr std::array<OptionList, kOptionListCount> MakeAllLists() {
  std::array<OptionList, kOptionListCount> lists{};
  for (size_t i = 0; i < kOptionListCount; ++i)
    lists[i] = static_cast<OptionList>(i);
  return lists;
}
constexpr std::array<OptionList, kOptionListCount> kAllLists = MakeAllLists();
static_assert(static_cast<size_t>(OptionList::kPolarity) + 1 == kOptionListCount);

constexpr std::string_view kGpioUsagePrefix = "GPIOUsage_";

// "GPIOUsage_%d" -> the bus index, for the exact decimal form without leading zeros.
std::optional<size_t> GpioUsageIndex(std::string_view section) {
  if (section.substr(0, kGpioUsagePrefix.size()) != kGpioUsagePrefix)
    return std::nullopt;
  std::string_view digits = section.substr(kGpioUsagePrefix.size());
  if (digits.size() > 1 && digits[0] == '0')
    return std::nullopt;
  std::optional<uint32_t> value = DecimalValue(digits);
  if (!value)
    return std::nullopt;
  return static_cast<size_t>(*value);
}

// The description read once; nothing when it cannot be opened for reading.
std::optional<ini::IniDocument> ReadDescription(const std::string& path) {
  // Only a regular file: opening a FIFO would wait for a writer, and a device never ends.
  const std::filesystem::path file = PathFromUtf8(path);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    return std::nullopt;
  return ini::IniDocument::Read(file);
}

}  // namespace

std::string_view SectionName(OptionList list) {
  return kSectionNames[static_cast<size_t>(list)];
}

const std::array<OptionList, kOptionListCount>& AllOptionLists() {
  return kAllLists;
}

std::optional<OptionList> FindOptionList(std::string_view section) {
  for (size_t i = 0; i < kOptionListCount; ++i) {
    if (kSectionNames[i] == section)
      return static_cast<OptionList>(i);
  }
  return std::nullopt;
}

void ConfigDescription::SetDescriptionPath(std::string_view path) {
  reader_.SetDescriptionPath(Trim(path));
}

bool ConfigDescription::ReadScalar(std::string_view section, std::string_view key, uint8_t& field,
                                   const std::string& error_text) {
  int32_t value = reader_.ReadInt(section, key);
  if (value < 0) {
    field = 0;
    reader_.ReportError(kSectionError, 0, error_text);
    return false;
  }
  field = static_cast<uint8_t>(value & 0xFF);
  return true;
}

bool ConfigDescription::ReadList(OptionList list) {
  std::string_view section = SectionName(list);
  if (reader_.ReadItemList(section, lists_[static_cast<size_t>(list)]))
    return true;
  reader_.ReportError(kSectionError, 0, std::string(section));
  return false;
}

bool ConfigDescription::Load() {
  const std::string path = reader_.description_path();
  // Steps 1-3: the path, the existence check, the IniFile.
  if (path.empty()) {
    reader_.ReportError(kOtherError, 0, "Please select a config file first.");
    return false;
  }
  // The one read of the file: every key below is answered from this document.
  std::optional<ini::IniDocument> document = ReadDescription(path);
  if (!document) {
    reader_.ReportError(kOtherError, 0, "Can not open config file.");
    return false;
  }
  return Load(std::move(*document));
}

bool ConfigDescription::Load(ini::IniDocument document) {
  reader_.ini().SetPath(reader_.description_path(), std::move(document));

  // Step 4: [CommonConfig].
  const std::string common = "CommonConfig";
  if (!ReadScalar(common, "NoVerifyingFirmwarePassword", switches.no_verifying_firmware_password,
                  common) ||
      !ReadScalar(common, "ShowChunkDetailEnable", switches.show_chunk_detail_enable, common) ||
      !ReadScalar(common, "CustomerConfigEnable", switches.customer_config_enable, common) ||
      !ReadScalar(common, "OsdLanguageConfigEnable", switches.osd_language_config_enable, common) ||
      !ReadScalar(common, "OtaConfigEnable", switches.ota_config_enable, common) ||
      !ReadScalar(common, "ConfigVersion", switches.config_version, common)) {
    return false;
  }

  // Step 5: [ChunkId].
  if (!reader_.ReadIntList("ChunkId", chunk_ids_)) {
    reader_.ReportError(kSectionError, 0, "ChunkId");
    return false;
  }

  // Steps 6-8: [SystemMode], [GPIOBusType], the GPIO usage slots, [OffOnOption],
  // [OSDLanguageList].
  if (!ReadList(OptionList::kSystemMode) || !ReadList(OptionList::kGPIOBusType))
    return false;
  gpio_usage_.resize(List(OptionList::kGPIOBusType).names.size());
  if (!ReadList(OptionList::kOffOnOption) || !ReadList(OptionList::kOSDLanguageList)) {
    return false;
  }

  // Step 9: [Palette], [LED], [Language].
  if (!ReadScalar("Palette", "MaxCount", limits.palette_max_count, "Palette") ||
      !ReadScalar("LED", "MaxCount", limits.led_max_count, "LED") ||
      !ReadScalar("Language", "MaxSupportCount", limits.language_max_support_count, "Language") ||
      !ReadScalar("Language", "LanguagePosChangedEnable", switches.language_pos_changed_enable,
                  "Language")) {
    return false;
  }

  // Step 10: [AutoScanMode] .. [PanelIrpType].
  for (size_t i = static_cast<size_t>(OptionList::kAutoScanMode);
       i <= static_cast<size_t>(OptionList::kPanelIrpType); ++i) {
    if (!ReadList(static_cast<OptionList>(i)))
      return false;
  }

  // Step 11: one usage list per bus type.
  for (size_t j = 0; j < gpio_usage_.size(); ++j) {
    if (!reader_.ReadItemList(std::string(kGpioUsagePrefix) + std::to_string(j), gpio_usage_[j])) {
      reader_.ReportError(kSectionError, 0, "GPIOUsage");
      return false;
    }
  }

  // Step 12: [PanelKey] .. [CmdPadDrv].
  for (size_t i = static_cast<size_t>(OptionList::kPanelKey);
       i <= static_cast<size_t>(OptionList::kCmdPadDrv); ++i) {
    if (!ReadList(static_cast<OptionList>(i)))
      return false;
  }

  // Step 13: [Volume], [ClockTreeDly], [ClockDlyChain].
  if (!ReadScalar("Volume", "MinValue", limits.volume_min, "Volume") ||
      !ReadScalar("Volume", "MaxValue", limits.volume_max, "Volume") ||
      !ReadScalar("ClockTreeDly", "MinValue", limits.clock_tree_dly_min, "ClockTreeDly") ||
      !ReadScalar("ClockTreeDly", "MaxValue", limits.clock_tree_dly_max, "ClockTreeDly") ||
      !ReadScalar("ClockDlyChain", "MinValue", limits.clock_dly_chain_min, "ClockDlyChain") ||
      !ReadScalar("ClockDlyChain", "MaxValue", limits.clock_dly_chain_max, "ClockDlyChain")) {
    return false;
  }

  // Steps 14-15: [Password].
  if (!ReadScalar("Password", "MaxLength", limits.password_max_length, "Password - MaxLength")) {
    return false;
  }
  std::string limit = reader_.ReadString("Password", "Limit");
  if (limit.empty()) {
    reader_.ReportError(kSectionError, 0, "Password - limit");
    return false;
  }
  password_limit = Trim(limit);
  if (password_limit.empty()) {
    reader_.ReportError(kSectionError, 0, "Password - limit");
    return false;
  }

  // Step 16: [TunerType] .. [Polarity].
  for (size_t i = static_cast<size_t>(OptionList::kTunerType); i < kOptionListCount; ++i) {
    if (!ReadList(static_cast<OptionList>(i)))
      return false;
  }

  // Steps 17-18: the serial flash tables.
  return LoadFlashTables();
}

bool ConfigDescription::LoadFlashTables() {
  flash_devices_.clear();
  sector_structs_.clear();
  device_values_.clear();
  switches.flash_device_support = reader_.ReadBool("FlashDevice", "Support");
  if (!switches.flash_device_support)
    return true;
  if (!ReadDevices(reader_, "FlashDevice", flash_devices_))
    return false;
  if (!ReadSectorStructs(reader_, "SectorStruct", sector_structs_))
    return false;
  if (!ReadDeviceValues(reader_, "FlashDeviceValue", device_values_))
    return false;
  return CrossCheckFlashTables(reader_, flash_devices_, sector_structs_, device_values_);
}

std::vector<uint32_t> ConfigDescription::GetChunkIds() const {
  std::vector<uint32_t> ids;
  ids.reserve(chunk_ids_.size());
  for (int32_t id : chunk_ids_)
    ids.push_back(static_cast<uint32_t>(id));
  return ids;
}

const ItemList& ConfigDescription::List(OptionList list) const {
  return lists_[static_cast<size_t>(list)];
}

NamedValueList ConfigDescription::Values(OptionList list) const {
  const ItemList& items = List(list);
  return {items.names, items.values};
}

int32_t ConfigDescription::GetGPIOBusTypeValue(int index) const {
  const std::vector<int32_t>& values = List(OptionList::kGPIOBusType).values;
  if (index < 0 || static_cast<size_t>(index) >= values.size())
    return 0;
  return values[static_cast<size_t>(index)];
}

NamedValueList ConfigDescription::GetGPIOUsage(int bus_index) const {
  if (bus_index < 0 || static_cast<size_t>(bus_index) >= gpio_usage_.size())
    return {};
  const ItemList& items = gpio_usage_[static_cast<size_t>(bus_index)];
  return {items.names, items.values};
}

BytePair ConfigDescription::GetRFModeRange(int index) const {
  const std::vector<BytePair>& pairs = List(OptionList::kRFMode).pairs;
  if (index < 0 || static_cast<size_t>(index) >= pairs.size())
    return {};
  return pairs[static_cast<size_t>(index)];
}

BytePair ConfigDescription::GetDACTypePair(int index) const {
  const std::vector<BytePair>& pairs = List(OptionList::kDACType).pairs;
  if (index < 0 || static_cast<size_t>(index) >= pairs.size())
    return {};
  return pairs[static_cast<size_t>(index)];
}

bool ConfigDescription::GetOffOnWords(std::string& off, std::string& on) const {
  const std::vector<std::string>& words = List(OptionList::kOffOnOption).names;
  if (words.size() < 2)
    return false;
  off = words[0];
  on = words[1];
  return true;
}

std::vector<std::string> ConfigDescription::GetNames(std::string_view section) const {
  if (std::optional<OptionList> list = FindOptionList(section))
    return Names(*list);
  if (std::optional<size_t> bus = GpioUsageIndex(section); bus && *bus < gpio_usage_.size()) {
    return gpio_usage_[*bus].names;
  }
  return {};
}

std::string ConfigDescription::DescribeDeviceEntry(const FlashDeviceEntry& entry) const {
  return qtk::DescribeDeviceEntry(entry, flash_devices_, sector_structs_);
}

std::optional<DeviceValue> ConfigDescription::FindDeviceValue(const FlashDeviceEntry& entry) const {
  return qtk::FindDeviceValue(entry, device_values_);
}

}  // namespace qtk
