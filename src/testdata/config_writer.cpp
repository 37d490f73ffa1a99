#include "testdata/config_writer.h"

#include "common/utf8_path.h"
#include "testdata/image_builder.h"

#include <algorithm>
#include <fstream>

namespace qtk::testdata {
namespace {

std::string ItemKey(size_t index) {
  return "item" + std::to_string(index);
}

bool IsItemKey(std::string_view key) {
  if (key.size() <= 4 || key.substr(0, 4) != "item")
    return false;
  return std::all_of(key.begin() + 4, key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

IniSection* DescriptionSpec::FindSection(std::string_view name) {
  for (IniSection& s : sections) {
    if (s.name == name)
      return &s;
  }
  return nullptr;
}

const IniSection* DescriptionSpec::FindSection(std::string_view name) const {
  for (const IniSection& s : sections) {
    if (s.name == name)
      return &s;
  }
  return nullptr;
}

IniSection& DescriptionSpec::Section(std::string_view name) {
  if (IniSection* s = FindSection(name))
    return *s;
  sections.push_back({std::string(name), {}});
  return sections.back();
}

bool DescriptionSpec::RemoveSection(std::string_view name) {
  auto it = std::find_if(sections.begin(), sections.end(),
                         [&](const IniSection& s) { return s.name == name; });
  if (it == sections.end())
    return false;
  sections.erase(it);
  return true;
}

DescriptionSpec& DescriptionSpec::Set(std::string_view section, std::string_view key,
                                      std::string_view value) {
  IniSection& s = Section(section);
  for (IniKey& k : s.keys) {
    if (k.key == key) {
      k.value = std::string(value);
      return *this;
    }
  }
  s.keys.push_back({std::string(key), std::string(value)});
  return *this;
}

DescriptionSpec& DescriptionSpec::Set(std::string_view section, std::string_view key,
                                      int64_t value) {
  return Set(section, key, std::to_string(value));
}

std::optional<std::string> DescriptionSpec::Get(std::string_view section,
                                                std::string_view key) const {
  const IniSection* s = FindSection(section);
  if (s == nullptr)
    return std::nullopt;
  for (const IniKey& k : s->keys) {
    if (k.key == key)
      return k.value;
  }
  return std::nullopt;
}

bool DescriptionSpec::RemoveKey(std::string_view section, std::string_view key) {
  IniSection* s = FindSection(section);
  if (s == nullptr)
    return false;
  auto it =
      std::find_if(s->keys.begin(), s->keys.end(), [&](const IniKey& k) { return k.key == key; });
  if (it == s->keys.end())
    return false;
  s->keys.erase(it);
  return true;
}

DescriptionSpec& DescriptionSpec::SetItems(std::string_view section,
                                           const std::vector<std::string>& items) {
  IniSection& s = Section(section);
  std::erase_if(s.keys, [](const IniKey& k) { return IsItemKey(k.key); });
  for (size_t i = 0; i < items.size(); ++i)
    s.keys.push_back({ItemKey(i), items[i]});
  return *this;
}

std::vector<std::string> DescriptionSpec::Items(std::string_view section) const {
  std::vector<std::string> items;
  while (std::optional<std::string> item = Get(section, ItemKey(items.size()))) {
    items.push_back(*item);
  }
  return items;
}

bool DescriptionSpec::WriteItemFiles(std::string_view section, const std::filesystem::path& dir,
                                     size_t size, uint8_t seed) const {
  for (const std::string& item : Items(section)) {
    const std::string name = item.substr(0, item.rfind(','));
    if (!WriteFile(Utf8FromPath(dir / PathFromUtf8(name)), PatternBytes(size, seed++)))
      return false;
  }
  return true;
}

DescriptionSpec& DescriptionSpec::SetItem(std::string_view section, size_t index,
                                          std::string_view text) {
  return Set(section, ItemKey(index), text);
}

DescriptionSpec& DescriptionSpec::AppendItem(std::string_view section, std::string_view text) {
  return SetItem(section, Items(section).size(), text);
}

std::string DescriptionSpec::ToText() const {
  std::string text = "; K7720X configuration description\r\n\r\n";
  for (const IniSection& s : sections) {
    text += "[" + s.name + "]\r\n";
    for (const IniKey& k : s.keys)
      text += k.key + "=" + k.value + "\r\n";
    text += "\r\n";
  }
  return text;
}

bool DescriptionSpec::Write(const std::string& file) const {
  return Write(PathFromUtf8(file));
}

bool DescriptionSpec::Write(const std::filesystem::path& file) const {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out)
    return false;
  out << ToText();
  out.flush();
  return static_cast<bool>(out);
}

DescriptionSpec RealisticDescription() {
  DescriptionSpec d;
  d.Set("CommonConfig", "NoVerifyingFirmwarePassword", 0)
      .Set("CommonConfig", "ShowChunkDetailEnable", 1)
      .Set("CommonConfig", "CustomerConfigEnable", 1)
      .Set("CommonConfig", "OsdLanguageConfigEnable", 1)
      .Set("CommonConfig", "OtaConfigEnable", 1)
      .Set("CommonConfig", "ConfigVersion", 2);
  // Boot loader, main code, logo, dynamic panel, default and user database, game emulator,
  // game ROM, tuner driver, common data.
  d.SetItems("ChunkId", {"0xE3000010", "0x01FE0101", "0x02FD0100", "0x02FDA101", "0x03FC0100",
                         "0x04FB0100", "0x06F90101", "0x06F90102", "0x06F90301", "0x10EF0100"});
  d.SetItems("SystemMode", {"Normal", "Hotel", "Shop demo"});
  // Name = the dynamic panel file of the bus type; value = its GPIO count.
  d.SetItems("GPIOBusType",
             {"panel_74hc164.bin,6", "panel_pt6964.bin,4", "panel_direct_gpio.bin,12"});
  d.SetItems("OffOnOption", {"Off", "On"});
  d.SetItems("OSDLanguageList", {"English", "French", "German", "Italian", "Spanish", "Portuguese",
                                 "Russian", "Turkish", "Arabic", "Persian", "Polish", "Greek"});
  d.Set("Palette", "MaxCount", 4);
  d.Set("LED", "MaxCount", 4);
  d.Set("Language", "MaxSupportCount", 8).Set("Language", "LanguagePosChangedEnable", 1);
  d.SetItems("AutoScanMode", {"All channels", "Free channels only"});
  d.SetItems("TpScanMode", {"Default", "Network search"});
  d.SetItems("ProgAudioMode", {"Stereo", "Left", "Right", "Mono"});
  d.SetItems("PresetProgAudio", {"Stereo", "Left", "Right"});
  d.SetItems("Transparence", {"0%", "25%", "50%", "75%"});
  d.SetItems("TVMode", {"PAL", "NTSC", "Auto"});
  d.SetItems("ProgramMode", {"4:3 Letter Box", "4:3 Pan Scan", "16:9"});
  // Name, video output code (0-4), number of DACs the output uses.
  d.SetItems("DACType", {"CVBS,0,1", "CVBS 2,1,1", "S-Video,2,2", "YUV,3,3", "RGB,4,3"});
  d.SetItems("DACIndex", {"DAC A,1", "DAC B,2", "DAC C,3", "DAC D,4"});
  d.SetItems("PauseKeyWindow", {"PAUSE", "RED", "YELLOW"});
  d.SetItems("PreviewKeyWindow", {"PREVIEW", "GREEN", "BLUE"});
  d.SetItems("DViewKeyWindow", {"DVIEW", "BLUE", "RED"});
  // Name, lowest and highest RF channel; entry 4 has the named cable channels 2-58.
  d.SetItems("RFMode", {"PAL B/G,21,69", "PAL I,21,69", "PAL D/K,13,57", "NTSC M,14,69",
                        "PAL B/G Cable,2,58"});
  d.SetItems("PanelIrpType", {"IRP 0", "IRP 1", "IRP 2"});
  // Usage ids below the bus type's GPIO count are pins, the others plain byte values.
  d.SetItems("GPIOUsage_0", {"Panel clock,0", "Panel data,1", "Key scan 1,2", "Key scan 2,3",
                             "LNB power,4", "Tuner reset,5", "Digit order,22", "Key debounce,23"});
  d.SetItems("GPIOUsage_1",
             {"Panel STB,0", "Panel CLK,1", "Panel DIO,2", "LNB power,3", "Display brightness,20"});
  d.SetItems("GPIOUsage_2", {"Segment A,0", "Segment B,1", "Segment C,2", "Segment D,3",
                             "Segment E,4", "Segment F,5", "Segment G,6", "Digit 1,7", "Digit 2,8",
                             "Digit 3,9", "Digit 4,10", "Key input,11", "Key debounce,23"});
  d.SetItems("PanelKey", {"Power,0", "Menu,1", "OK,2", "Channel up,3", "Channel down,4",
                          "Volume up,5", "Volume down,6", "Exit,7"});
  d.SetItems("IRKey",
             {"Power,0",  "Mute,1",      "Key 0,2",     "Key 1,3",     "Key 2,4",    "Key 3,5",
              "Key 4,6",  "Key 5,7",     "Key 6,8",     "Key 7,9",     "Key 8,10",   "Key 9,11",
              "Menu,12",  "Exit,13",     "OK,14",       "Up,15",       "Down,16",    "Left,17",
              "Right,18", "TV/Radio,19", "Recall,20",   "Favorite,21", "EPG,22",     "Info,23",
              "Audio,24", "Subtitle,25", "Teletext,26", "Red,27",      "Green,28",   "Yellow,29",
              "Blue,30",  "Pause,31",    "Preview,32",  "DView,33",    "Page up,34", "Page down,35",
              "Sat,36",   "Find,37",     "Sleep,38",    "Zoom,39"});
  d.SetItems("GPIOPolar", {"Low active", "High active"});
  d.SetItems("LEDDotCom", {"COM 1", "COM 2", "COM 3", "COM 4"});
  d.SetItems("SignalLedCom", {"COM 1", "COM 2", "COM 3", "COM 4", "COM 5"});
  d.SetItems("CPUClock", {"108 MHz", "121.5 MHz", "135 MHz", "148.5 MHz"});
  d.SetItems("MemClock", {"108 MHz", "121.5 MHz", "135 MHz", "148.5 MHz", "162 MHz"});
  d.SetItems("DataPadDrv", {"4 mA", "8 mA", "12 mA", "16 mA"});
  d.SetItems("CmdPadDrv", {"4 mA", "8 mA", "12 mA", "16 mA"});
  d.Set("Volume", "MinValue", 0).Set("Volume", "MaxValue", 100);
  d.Set("ClockTreeDly", "MinValue", 0).Set("ClockTreeDly", "MaxValue", 15);
  d.Set("ClockDlyChain", "MinValue", 0).Set("ClockDlyChain", "MaxValue", 7);
  d.Set("Password", "MaxLength", 5).Set("Password", "Limit", "0123456789");
  d.SetItems("TunerType", {"Sharp 7306,1", "Sharp 0184,2", "Philips 1216,3", "Zarlink 10039,4",
                           "Samsung 5119,5", "Sharp 0169,6"});
  d.SetItems("ExtTunerType", {"Sharp 7306,1", "Zarlink 10039,4", "Sharp 2091,7", "Philips 8262,8"});
  d.SetItems("ExtTunerDriver", {"tuner_sharp7306.bin,1", "tuner_zl10039.bin,4",
                                "tuner_sharp2091.bin,7", "tuner_tda8262.bin,8"});
  d.SetItems("Costdown", {"Disable", "Enable"});
  d.SetItems("DiffSingle", {"Differential", "Single ended"});
  d.SetItems("IQEnable", {"Disable", "Enable"});
  d.SetItems("IQSet", {"I/Q normal", "I/Q swapped"});
  d.SetItems("ISet", {"I+/I- normal", "I+/I- swapped"});
  d.SetItems("QSet", {"Q+/Q- normal", "Q+/Q- swapped"});
  d.SetItems("Polarity", {"Normal", "Inverted"});
  // The device catalogue: name, flash ID (manufacturer byte), BitOffset, sector structure.
  d.Set("FlashDevice", "Support", 1);
  d.SetItems("FlashDevice", {"MX25L1605D,0xC2,0,0", "W25X16,0xEF,0,0", "EN25F16,0x1C,1,2",
                             "S25FL016A,0x01,0,1", "SST25VF016B,0xBF,2,0", "A25L016,0x37,1,0"});
  d.SetItems("SectorStruct",
             {"Uniform 64KB sectors,0", "Boot sectors at top,1", "Boot sectors at bottom,2"});
  // Name, BitOffset, read command, address bytes.
  d.SetItems("FlashDeviceValue",
             {"Fast read,0,0x0B,0x03", "Normal read,1,0x03,0x03", "Dual output read,2,0x3B,0x03"});
  return d;
}

}  // namespace qtk::testdata
