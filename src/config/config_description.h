#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/description_reader.h"
#include "config/flash_tables.h"

namespace qtk {

// The option lists of the configuration description, in the order Load reads them. Each is
// named by its INI section (SectionName); the GPIO usage lists (one per bus type) are apart.
enum class OptionList : int {
  kSystemMode,
  kGPIOBusType,
  kOffOnOption,
  kOSDLanguageList,
  kAutoScanMode,
  kTpScanMode,
  kProgAudioMode,
  kPresetProgAudio,
  kTransparence,
  kTVMode,
  kProgramMode,
  kDACType,
  kDACIndex,
  kPauseKeyWindow,
  kPreviewKeyWindow,
  kDViewKeyWindow,
  kRFMode,
  kPanelIrpType,
  kPanelKey,
  kIRKey,
  kGPIOPolar,
  kLEDDotCom,
  kSignalLedCom,
  kCPUClock,
  kMemClock,
  kDataPadDrv,
  kCmdPadDrv,
  kTunerType,
  kExtTunerType,
  kExtTunerDriver,
  kCostdown,
  kDiffSingle,
  kIQEnable,
  kIQSet,
  kISet,
  kQSet,
  kPolarity,
};
inline constexpr size_t kOptionListCount = 37;

// The INI section of a list ("SystemMode", "GPIOBusType", ...).
std::string_view SectionName(OptionList list);
// Every option list in load order.
const std::array<OptionList, kOptionListCount>& AllOptionLists();
// The list read from the section of that exact name, if any.
std::optional<OptionList> FindOptionList(std::string_view section);

// A named value list as the getters hand it out: names and their values (each 0..255), in
// file order, values[i] belonging to names[i].
struct NamedValueList {
  std::vector<std::string> names;
  std::vector<int32_t> values;
  bool operator==(const NamedValueList&) const = default;
};

// Switches: the low 8 bits of each key (a missing key reads 0; negative values are refused).
struct ConfigSwitches {
  uint8_t no_verifying_firmware_password = 0;  // [CommonConfig] NoVerifyingFirmwarePassword
  uint8_t show_chunk_detail_enable = 0;        // [CommonConfig] ShowChunkDetailEnable
  uint8_t customer_config_enable = 0;          // [CommonConfig] CustomerConfigEnable
  uint8_t osd_language_config_enable = 0;      // [CommonConfig] OsdLanguageConfigEnable
  uint8_t ota_config_enable = 0;               // [CommonConfig] OtaConfigEnable
  uint8_t config_version = 0;                  // [CommonConfig] ConfigVersion
  uint8_t language_pos_changed_enable = 0;     // [Language] LanguagePosChangedEnable
  bool flash_device_support = false;           // [FlashDevice] Support (any non-zero value)
  bool operator==(const ConfigSwitches&) const = default;
};

// Limits: the low 8 bits of each key (missing = 0, negative refused). No check between keys:
// a MinValue above its MaxValue or a MaxCount of 0 is left to the pages.
struct ConfigLimits {
  uint8_t palette_max_count = 0;           // [Palette] MaxCount
  uint8_t led_max_count = 0;               // [LED] MaxCount
  uint8_t language_max_support_count = 0;  // [Language] MaxSupportCount
  uint8_t volume_min = 0;                  // [Volume] MinValue
  uint8_t volume_max = 0;                  // [Volume] MaxValue
  uint8_t clock_tree_dly_min = 0;          // [ClockTreeDly] MinValue
  uint8_t clock_tree_dly_max = 0;          // [ClockTreeDly] MaxValue
  uint8_t clock_dly_chain_min = 0;         // [ClockDlyChain] MinValue
  uint8_t clock_dly_chain_max = 0;         // [ClockDlyChain] MaxValue
  uint8_t password_max_length = 0;         // [Password] MaxLength
  bool operator==(const ConfigLimits&) const = default;
};

// The configuration description: option lists, switches, limits, the chunk
// id list, the password character set and the serial flash tables, read by Load in a fixed
// order that stops at the first fault with one message (GetLoadError).
//
// Conventions of this class:
// - Getters return copies by value (a copy the caller owns). Each string
//   list getter is named Get + its section and returns the names; each named value getter
//   returns a NamedValueList; the bytes of [RFMode] and [DACType] come only through
//   GetRFModeRange and GetDACTypePair.
// - Switches, limits and the password character set are public plain fields; the pages read
//   them, only Load writes them.
// - Copyable: a copy (construction or assignment) copies every list, field, the path, the
//   reading scratch and the error state.
class ConfigDescription {
 public:
  ConfigSwitches switches;
  ConfigLimits limits;
  // [Password] Limit, trimmed of spaces and tabs, never empty after a successful Load: the
  // characters the System set page accepts in its password boxes.
  std::string password_limit;

  // Stores the path with spaces and tabs trimmed from both ends.
  void SetDescriptionPath(std::string_view path);
  const std::string& description_path() const { return reader_.description_path(); }

  // Reads the whole description. False after the first fault, with the
  // error state set; the sections before the failing one stay filled, the failing one may be
  // partly filled, the later ones keep what they held.
  bool Load();
  // The same from the description's document, its file read once by the caller (Load reads
  // the file and calls this); the path set before names the file in messages.
  bool Load(ini::IniDocument document);

  // The code, number and message of the last fault (written only when a read fails).
  LoadError GetLoadError() const { return reader_.GetLoadError(); }

  // [ChunkId]: the chunk ids in file order (the INI integers as 32-bit patterns).
  std::vector<uint32_t> GetChunkIds() const;

  // String lists.
  std::vector<std::string> GetSystemMode() const { return Names(OptionList::kSystemMode); }
  std::vector<std::string> GetGPIOBusType() const { return Names(OptionList::kGPIOBusType); }
  std::vector<std::string> GetOffOnOption() const { return Names(OptionList::kOffOnOption); }
  std::vector<std::string> GetOSDLanguageList() const {
    return Names(OptionList::kOSDLanguageList);
  }
  std::vector<std::string> GetAutoScanMode() const { return Names(OptionList::kAutoScanMode); }
  std::vector<std::string> GetTpScanMode() const { return Names(OptionList::kTpScanMode); }
  std::vector<std::string> GetProgAudioMode() const { return Names(OptionList::kProgAudioMode); }
  std::vector<std::string> GetTransparence() const { return Names(OptionList::kTransparence); }
  std::vector<std::string> GetTVMode() const { return Names(OptionList::kTVMode); }
  std::vector<std::string> GetProgramMode() const { return Names(OptionList::kProgramMode); }
  std::vector<std::string> GetDACType() const { return Names(OptionList::kDACType); }
  std::vector<std::string> GetPauseKeyWindow() const { return Names(OptionList::kPauseKeyWindow); }
  std::vector<std::string> GetPreviewKeyWindow() const {
    return Names(OptionList::kPreviewKeyWindow);
  }
  std::vector<std::string> GetDViewKeyWindow() const { return Names(OptionList::kDViewKeyWindow); }
  std::vector<std::string> GetRFMode() const { return Names(OptionList::kRFMode); }
  std::vector<std::string> GetPanelIrpType() const { return Names(OptionList::kPanelIrpType); }
  std::vector<std::string> GetGPIOPolar() const { return Names(OptionList::kGPIOPolar); }
  std::vector<std::string> GetLEDDotCom() const { return Names(OptionList::kLEDDotCom); }
  std::vector<std::string> GetSignalLedCom() const { return Names(OptionList::kSignalLedCom); }
  std::vector<std::string> GetCPUClock() const { return Names(OptionList::kCPUClock); }
  std::vector<std::string> GetMemClock() const { return Names(OptionList::kMemClock); }
  std::vector<std::string> GetDataPadDrv() const { return Names(OptionList::kDataPadDrv); }
  std::vector<std::string> GetCmdPadDrv() const { return Names(OptionList::kCmdPadDrv); }
  std::vector<std::string> GetCostdown() const { return Names(OptionList::kCostdown); }
  std::vector<std::string> GetDiffSingle() const { return Names(OptionList::kDiffSingle); }
  std::vector<std::string> GetIQEnable() const { return Names(OptionList::kIQEnable); }
  std::vector<std::string> GetIQSet() const { return Names(OptionList::kIQSet); }
  std::vector<std::string> GetISet() const { return Names(OptionList::kISet); }
  std::vector<std::string> GetQSet() const { return Names(OptionList::kQSet); }
  std::vector<std::string> GetPolarity() const { return Names(OptionList::kPolarity); }

  // Named value lists.
  NamedValueList GetDACIndex() const { return Values(OptionList::kDACIndex); }
  NamedValueList GetPanelKey() const { return Values(OptionList::kPanelKey); }
  NamedValueList GetIRKey() const { return Values(OptionList::kIRKey); }
  NamedValueList GetTunerType() const { return Values(OptionList::kTunerType); }
  NamedValueList GetExtTunerType() const { return Values(OptionList::kExtTunerType); }
  NamedValueList GetExtTunerDriver() const { return Values(OptionList::kExtTunerDriver); }

  // The value (the GPIO count) of [GPIOBusType] entry index; 0 for an index outside the list.
  int32_t GetGPIOBusTypeValue(int index) const;
  // Names and values of bus type bus_index's usage list ([GPIOUsage_<bus_index>]); empty for
  // an index outside [GPIOBusType]. Bus types from 64 on have names but no values.
  NamedValueList GetGPIOUsage(int bus_index) const;
  // Low and high of [RFMode] entry index; {0, 0} outside the list.
  BytePair GetRFModeRange(int index) const;
  // The two bytes of [DACType] entry index; {0, 0} outside the list.
  BytePair GetDACTypePair(int index) const;

  // The first two entries of [OffOnOption]: the word for off (entry 0) and for on (entry 1).
  // False, leaving off and on unchanged, when the list has fewer than 2 entries.
  bool GetOffOnWords(std::string& off, std::string& on) const;

  // Generic access, for summaries and tests: the list as read (names, values, pairs).
  const ItemList& List(OptionList list) const;
  // The names of the list read from that section: any OptionList section or "GPIOUsage_%d";
  // empty for any other name.
  std::vector<std::string> GetNames(std::string_view section) const;
  size_t GPIOBusTypeCount() const { return gpio_usage_.size(); }

  // Serial flash tables. Empty unless [FlashDevice] Support is set.
  bool SupportsFlashDevices() const { return switches.flash_device_support; }
  FlashDeviceTable GetFlashDevices() const { return flash_devices_; }
  SectorStructTable GetSectorStructs() const { return sector_structs_; }
  DeviceValueTable GetDeviceValues() const { return device_values_; }
  // Description and device value of a device entry, against this description's tables.
  std::string DescribeDeviceEntry(const FlashDeviceEntry& entry) const;
  std::optional<DeviceValue> FindDeviceValue(const FlashDeviceEntry& entry) const;

 private:
  std::vector<std::string> Names(OptionList list) const { return List(list).names; }
  NamedValueList Values(OptionList list) const;
  bool ReadScalar(std::string_view section, std::string_view key, uint8_t& field,
                  const std::string& error_text);
  bool ReadList(OptionList list);
  bool LoadFlashTables();

  DescriptionReader reader_;
  std::vector<int32_t> chunk_ids_;
  std::array<ItemList, kOptionListCount> lists_{};
  std::vector<ItemList> gpio_usage_;  // one per [GPIOBusType] entry
  FlashDeviceTable flash_devices_;
  SectorStructTable sector_structs_;
  DeviceValueTable device_values_;
};

}  // namespace qtk
