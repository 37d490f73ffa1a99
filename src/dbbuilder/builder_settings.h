#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace qtk::dbbuilder {

inline constexpr const char* kSettingsFileName = "dfv_k7720x.ini";
inline constexpr const char* kDefaultListFileName = "program_list.txt";
// The INI text values are read into 256-character buffers: at most 255 characters.
inline constexpr size_t kMaxFileNameLength = 255;

// The builder settings of dfv_k7720x.ini. Integer keys keep their low byte.
struct BuilderSettings {
  uint8_t load_domestic = 0;           // [config] LoadDomestic: 0 all, 1 domestic, else none
  uint8_t fixed_order = 0;             // [config] FixedOrder: read, no effect
  uint8_t remove_program = 0;          // [config] RemoveProgram: non-zero writes no programs
  uint8_t tv_radio_audio_channel = 0;  // [config] TVRadioAudioChannel: override, col12 flag 1
  uint8_t radio_audio_channel = 0;     // [config] RadioAudioChannel: override, col12 flag 0
  uint8_t load_default_4in1 = 0;       // [config] LoadDefault4IN1: read, no effect
  std::string list_file_name = kDefaultListFileName;  // [File0] File
  std::string binary_file_name;                       // [File1] File; empty: no update step
};

// Reads the settings through the private-profile INI layer; a missing file or key gives the
// defaults.
BuilderSettings ReadBuilderSettings(const std::filesystem::path& ini_file);

}  // namespace qtk::dbbuilder
