#include "pages/common_page.h"

#include <algorithm>

#include "config/text_helpers.h"
#include "pages/record_fields.h"

namespace qtk {
namespace {

constexpr int kLogoDelayMax = 10;
constexpr uint8_t kNewProgramAudioBit7 = 0x80;

}  // namespace

bool CommonPage::IsDisplayCharacter(char c) {
  return c != '\0' && kDisplayCharacters.find(c) != std::string_view::npos;
}

std::string CommonPage::VersionCharacters() {
  std::string allowed;
  for (int c = 1; c <= kLastVersionCharacter; ++c)
    allowed += static_cast<char>(c);
  return allowed;
}

int CommonPage::PaletteMax() const {
  return std::max<int>(config().limits.palette_max_count, 1);
}

// The front panel has as many digits as the record says, at least [LED] MaxCount; the record
// fields hold 8 characters, so no text may grow past them.
int CommonPage::DigitCount() const {
  const int stored = settings().U8(record::kLedDigits) >> 4;
  const int digits = std::max<int>(stored, config().limits.led_max_count);
  return std::min<int>(digits, record::kPanelTextSize);
}

void CommonPage::FillPaletteStyles() {
  const int previous = osd_palette.selection;
  osd_palette.items.clear();
  for (int i = 1; i <= palette_count_; ++i)
    osd_palette.items.push_back("style " + std::to_string(i));
  osd_palette.selection = std::min(previous, osd_palette.Count() - 1);
}

void CommonPage::Load() {
  CustomerSettings& s = settings();

  palette_count_ = s.U8(record::kPaletteCount);
  osd_palette.Clear();
  FillPaletteStyles();
  osd_palette.Select(s.U8(record::kPaletteStyle));
  auto_scan_mode.Fill(config().GetAutoScanMode(), s.U8(record::kAutoScanMode));
  tp_scan_mode.Fill(config().GetTpScanMode(), s.U8(record::kTpScanMode));
  continue_key.Fill(config().GetOffOnOption(), s.U8(record::kContinueKey));
  system_mode.Fill(config().GetSystemMode(), s.U8(record::kSystemMode));
  transparence.Fill(config().GetTransparence(), s.U8(record::kTransparence));
  const uint8_t audio = s.U8(record::kNewProgramAudio);
  new_tv_audio.Fill(config().GetProgAudioMode(), GetBits(audio, 0, 3));
  new_radio_audio.Fill(config().GetProgAudioMode(), GetBits(audio, 3, 3));
  std::vector<std::string> delays = {"Off."};
  for (int i = 1; i <= kLogoDelayMax; ++i)
    delays.push_back(std::to_string(i) + " sec.");
  logo_show_delay.Fill(std::move(delays), s.U8(record::kLogoShowDelay));

  volume_min_ = config().limits.volume_min;
  volume_max_ = config().limits.volume_max;
  s.SetU8(record::kMaxVolume, config().limits.volume_max);
  palette_count_shown_ = config().switches.customer_config_enable != 0;
  version_text = ReadTextField(s, record::kVersionText, kMaxVersionLength);
  volume_ = s.U8(record::kDefaultVolume);
  digit_count_ = DigitCount();
  power_on_text = ReadTextField(s, record::kPowerOnText, record::kPanelTextSize);
  standby_text = ReadTextField(s, record::kStandbyText, record::kPanelTextSize);
  context().session->crc_rom_path.clear();
}

bool CommonPage::Store() {
  CustomerSettings& s = settings();
  if (shared().had_tuner_driver_chunk)
    s.SetU8(record::kConfigVersion, WithBits(s.U8(record::kConfigVersion), 0, 4, 2));
  s.SetU8(record::kTransparenceCount, static_cast<uint8_t>(transparence.Count()));
  s.SetU8(record::kTransparence, transparence.StoredByte());
  s.SetU8(record::kPaletteCount, static_cast<uint8_t>(palette_count_));
  s.SetU8(record::kPaletteStyle, osd_palette.StoredByte());
  s.SetU8(record::kDefaultVolume, static_cast<uint8_t>(volume_));
  s.SetU8(record::kAutoScanMode, auto_scan_mode.StoredByte());
  s.SetU8(record::kTpScanMode, tp_scan_mode.StoredByte());
  s.SetU8(record::kContinueKey, continue_key.StoredByte());
  s.SetU8(record::kSystemMode, system_mode.StoredByte());
  uint8_t audio = s.U8(record::kNewProgramAudio) & ~kNewProgramAudioBit7;
  audio = WithBits(audio, 0, 3, new_tv_audio.StoredByte());
  audio = WithBits(audio, 3, 3, new_radio_audio.StoredByte());
  s.SetU8(record::kNewProgramAudio, audio);
  s.SetU8(record::kLogoShowDelay, logo_show_delay.StoredByte());

  const std::string version = Trim(version_text, TrimMode::kBoth, " \t\r\n\v\f");
  if (std::any_of(version.begin(), version.end(),
                  [](char c) { return static_cast<unsigned char>(c) > kLastVersionCharacter; })) {
    dialogs().ShowMessage(common_messages::kVersionIllegal, MessageIcon::Error);
    return false;
  }
  WriteTextField(s, record::kVersionText, kMaxVersionLength, version);
  s.SetU8(record::kVersionText + kMaxVersionLength, 0);

  digit_count_ = DigitCount();
  const std::string power_on = PadWithSpaces(power_on_text, static_cast<size_t>(digit_count_));
  const std::string standby = PadWithSpaces(standby_text, static_cast<size_t>(digit_count_));
  if (!std::all_of(power_on.begin(), power_on.end(), IsDisplayCharacter)) {
    dialogs().ShowMessage(common_messages::kPowerOnIllegal, MessageIcon::Error);
    return false;
  }
  if (!std::all_of(standby.begin(), standby.end(), IsDisplayCharacter)) {
    dialogs().ShowMessage(common_messages::kStandbyIllegal, MessageIcon::Error);
    return false;
  }
  WriteTextField(s, record::kPowerOnText, record::kPanelTextSize, power_on);
  WriteTextField(s, record::kStandbyText, record::kPanelTextSize, standby);
  return true;
}

std::vector<PageField> CommonPage::Fields() {
  const std::string display(kDisplayCharacters);
  const auto digits = static_cast<size_t>(digit_count_);
  return {
      TextField(
          "Version", kMaxVersionLength, VersionCharacters(), [this] { return version_text; },
          [this](const std::string& text) { version_text = text; }),
      TextField(
          "Power on string", digits, display, [this] { return power_on_text; },
          [this](const std::string& text) { power_on_text = text; }),
      TextField(
          "Standby string", digits, display, [this] { return standby_text; },
          [this](const std::string& text) { standby_text = text; }),
      NumberField(
          "Palette count", kPaletteCountDigits, [this] { return palette_count_; },
          [this](long long value) { SetPaletteCount(value); })
          .ShownWhen([this] { return palette_count_shown_; }),
      ChoiceField("OSD Palette", osd_palette),
      ChoiceField("Transparence", transparence),
      NumberField(
          "Volume", kVolumeDigits, [this] { return volume_; },
          [this](long long value) { SetVolume(value); }),
      ChoiceField("Auto scan mode", auto_scan_mode),
      ChoiceField("TP scan mode", tp_scan_mode),
      ChoiceField("Continue key", continue_key),
      ChoiceField("System mode", system_mode),
      ChoiceField("New TV Prog audio", new_tv_audio),
      ChoiceField("New Radio Prog audio", new_radio_audio),
      ChoiceField("Logo show delay", logo_show_delay),
  };
}

void CommonPage::StepPaletteCount(int step) {
  const int max = PaletteMax();
  if (step > 0) {
    palette_count_ = palette_count_ + 1 > max ? 1 : palette_count_ + 1;
  } else if (step < 0) {
    palette_count_ = palette_count_ - 1 < 1 ? max : palette_count_ - 1;
  }
  FillPaletteStyles();
}

void CommonPage::SetPaletteCount(long long value) {
  palette_count_ =
      value <= 0 || value > config().limits.palette_max_count ? 1 : static_cast<int>(value);
  FillPaletteStyles();
}

void CommonPage::SetVolume(long long value) {
  volume_ = value < volume_min_ || value > volume_max_ ? volume_min_ : static_cast<int>(value);
}

void CommonPage::SetVolumeFromSlider(int position) {
  volume_ = std::clamp(position, volume_min_, std::max(volume_min_, volume_max_));
}

void CommonPage::BrowseCrcRom() {
  FileDialogRequest request;
  request.filter = kCrcRomFilter;
  request.must_exist = false;
  if (std::optional<std::string> path = dialogs().AskOpenFile(request))
    context().session->crc_rom_path = *path;
}

}  // namespace qtk
