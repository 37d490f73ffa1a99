#pragma once

#include <string>

#include "pages/combo_state.h"
#include "pages/page_base.h"

namespace qtk {

namespace common_messages {
inline constexpr const char* kVersionIllegal = "the version string includes illegal chars!";
inline constexpr const char* kPowerOnIllegal = "the power on string includes illegal chars!";
inline constexpr const char* kStandbyIllegal = "the standby string includes illegal chars!";
}  // namespace common_messages

// The characters the front-panel display can show in the power-on and standby texts.
inline constexpr std::string_view kDisplayCharacters =
    "0123456789aAbBcCdDeEfFgGhHiIjJlLnNoOpPqQrRsStTuU-_ ";
// Version text characters are plain ASCII: codes up to this one.
inline constexpr unsigned char kLastVersionCharacter = 0x80;
inline constexpr size_t kMaxVersionLength = 23;
// The palette count box takes up to three digits.
inline constexpr size_t kPaletteCountDigits = 3;
inline constexpr size_t kVolumeDigits = 3;
inline constexpr const char* kCrcRomFilter = "rom Files(*.bin)|*.bin|All Files (*.*)|*.*||";

// The Common page: OSD palette and transparence, default volume, scan modes, continue key,
// system mode, new-program audio, logo delay, and the version, power-on and standby texts.
class CommonPage : public PageModel<PageId::kCommon> {
 public:
  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  std::vector<PageField> Fields() override;

  ComboState osd_palette;
  ComboState transparence;
  ComboState auto_scan_mode;
  ComboState tp_scan_mode;
  ComboState continue_key;
  ComboState system_mode;
  ComboState new_tv_audio;
  ComboState new_radio_audio;
  ComboState logo_show_delay;

  // The texts as typed, one byte per character; Store checks and writes them.
  std::string version_text;
  std::string power_on_text;
  std::string standby_text;

  int palette_count() const { return palette_count_; }
  int volume() const { return volume_; }
  int volume_min() const { return volume_min_; }
  int volume_max() const { return volume_max_; }
  bool palette_count_shown() const { return palette_count_shown_; }
  // How many characters the power-on and standby texts may hold.
  int digit_count() const { return digit_count_; }

  // The spin button beside "Palette count": +1 counts up, -1 down, wrapping between 1 and
  // [Palette] MaxCount.
  void StepPaletteCount(int step);
  // A number typed into "Palette count": 0 or more than [Palette] MaxCount becomes 1.
  void SetPaletteCount(long long value);
  // A number typed into the volume box: outside [Volume] MinValue..MaxValue becomes MinValue.
  void SetVolume(long long value);
  // The user moved the slider: the number follows it.
  void SetVolumeFromSlider(int position);

  static bool IsDisplayCharacter(char c);
  // Every character the version edit takes.
  static std::string VersionCharacters();

  // The CRC rom file the save puts into the user database chunk; Load empties it.
  const std::string& crc_rom_path() const { return context().session->crc_rom_path; }

  // The hidden "CRC rom" browse button: asks for the file the save puts into the user
  // database chunk.
  void BrowseCrcRom();

 private:
  int PaletteMax() const;
  int DigitCount() const;
  void FillPaletteStyles();

  int palette_count_ = 0;
  int volume_ = 0;
  int volume_min_ = 0;
  int volume_max_ = 0;
  int digit_count_ = 0;
  bool palette_count_shown_ = false;
};

}  // namespace qtk
