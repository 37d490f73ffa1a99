#include "pages/ota_page.h"

#include <algorithm>

#include "pages/record_fields.h"
#include "settings/setting_file.h"

namespace qtk {
namespace {

const std::vector<std::string> kOffOn = {"OFF", "ON"};

// "%x": lower-case digits without leading zeros.
std::string ShownHex(unsigned value) {
  return HexText(value, 1);
}

}  // namespace

int OtaPage::Clamped(long long value) {
  return static_cast<int>(std::clamp<long long>(value, 0, kOtaNumberMax));
}

void OtaPage::Load() {
  const CustomerSettings& s = settings();
  frequency_ = s.U16(record::kOtaFrequency);
  symbol_rate_ = s.U16(record::kOtaSymbolRate);
  lnb_frequency_h_ = s.U16(record::kOtaLnbFrequencyH);
  lnb_frequency_v_ = s.U16(record::kOtaLnbFrequencyV);
  pid = ShownHex(s.U16(record::kOtaPid));
  oui = ShownHex(s.U32(record::kOtaSystemOui));
  hardware_model = ShownHex(s.U16(record::kOtaHardwareModel));
  hardware_version = ShownHex(s.U16(record::kOtaHardwareVersion));
  software_model = ShownHex(s.U16(record::kOtaSoftwareModel));
  software_version = ShownHex(s.U16(record::kOtaSoftwareVersion));
  polarity.Fill({"H", "V"}, s.U8(record::kOtaPolarity));
  lnb_type.Fill({"Standard", "User", "Universal"}, s.U8(record::kOtaLnbType));
  const bool diseqc_in_use = s.U8(record::kOtaDiseqcInUse) != 0;
  diseqc.Fill({"OFF", "LNB1", "LNB2", "LNB3", "LNB4"},
              diseqc_in_use ? s.U8(record::kOtaDiseqcPort) + 1 : 0);
  tone_22k.Fill(kOffOn, s.U8(record::kOta22kTone));
  ota_enable.Fill(kOffOn, s.U8(record::kOtaEnable));
}

bool OtaPage::Store() {
  CustomerSettings& s = settings();
  s.SetU16(record::kOtaFrequency, static_cast<uint16_t>(frequency_));
  s.SetU16(record::kOtaSymbolRate, static_cast<uint16_t>(symbol_rate_));
  s.SetU16(record::kOtaPid,
           pid.empty() ? kOtaDefaultPid : static_cast<uint16_t>(HexFieldValue(pid, 0xFFFF)));
  s.SetU16(record::kOtaLnbFrequencyH, static_cast<uint16_t>(lnb_frequency_h_));
  s.SetU32(record::kOtaSystemOui, HexFieldValue(oui, 0xFFFFFFFF));
  s.SetU16(record::kOtaHardwareModel, static_cast<uint16_t>(HexFieldValue(hardware_model, 0xFFFF)));
  s.SetU16(record::kOtaHardwareVersion,
           static_cast<uint16_t>(HexFieldValue(hardware_version, 0xFFFF)));
  s.SetU16(record::kOtaSoftwareModel, static_cast<uint16_t>(HexFieldValue(software_model, 0xFFFF)));
  s.SetU16(record::kOtaSoftwareVersion,
           static_cast<uint16_t>(HexFieldValue(software_version, 0xFFFF)));
  s.SetU16(record::kOtaLnbFrequencyV, static_cast<uint16_t>(lnb_frequency_v_));
  s.SetU8(record::kOtaPolarity, polarity.Value() == 1 ? 1 : 0);
  s.SetU8(record::kOtaLnbType, lnb_type.Value() == 1 ? 1 : 0);
  // A port is one of LNB1..LNB4; "OFF" and a typed text that names no entry both mean none.
  const int port = diseqc.Value();
  s.SetU8(record::kOtaDiseqcInUse, port >= 1 ? 2 : 0);
  s.SetU8(record::kOtaDiseqcPort, static_cast<uint8_t>(port >= 1 ? port - 1 : 0));
  s.SetU8(record::kOta22kTone, tone_22k.Value() == 1 ? 1 : 0);
  s.SetU8(record::kOtaEnable, ota_enable.Value() == 1 ? 1 : 0);
  s.SetU16(record::kOtaMarker, kOtaMarker);
  return true;
}

void OtaPage::ImportSettings(const CustomerSettings::Bytes& file) {
  ImportOtaSettings(settings(), file);
  Load();
}

std::vector<PageField> OtaPage::Fields() {
  namespace len = ota_edit_lengths;
  const std::string hex = kOtaHexCharacters;
  auto number = [](const char* name, const int& value, std::function<void(long long)> set) {
    return NumberField(
        name, len::kNumber, [&value] { return value; }, std::move(set));
  };
  auto hex_field = [&hex](const char* name, size_t digits, std::string& text) {
    return HexField(
        name, digits, hex, [&text] { return text; },
        [&text](const std::string& typed) { text = typed; });
  };
  auto choice = [](const char* name, EditableChoice& c) {
    return ChoiceField(name, c.combo, [&c](int index) { c.Pick(index); });
  };
  return {
      number("OTA Freq", frequency_, [this](long long v) { SetFrequency(v); }),
      number("OTA sym", symbol_rate_, [this](long long v) { SetSymbolRate(v); }),
      hex_field("OTA PID", len::kPid, pid),
      number("LNB Freq(H)", lnb_frequency_h_, [this](long long v) { SetLnbFrequencyH(v); }),
      number("LNB Freq(V)", lnb_frequency_v_, [this](long long v) { SetLnbFrequencyV(v); }),
      hex_field("Sys OUI", len::kOui, oui),
      hex_field("HW Modal", len::kModelOrVersion, hardware_model),
      hex_field("HW Ver", len::kModelOrVersion, hardware_version),
      hex_field("SW Modal", len::kModelOrVersion, software_model),
      hex_field("SW Ver", len::kModelOrVersion, software_version),
      choice("Polarity", polarity),
      choice("22K", tone_22k),
      choice("DiSEqc", diseqc),
      choice("OTA Enable", ota_enable),
      choice("LNB Type", lnb_type).ShownWhen([] { return false; }),
  };
}

}  // namespace qtk
