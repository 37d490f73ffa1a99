#include "pages/tuner_page.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "config/text_helpers.h"
#include "settings/setting_file.h"

namespace qtk {
namespace {

namespace entry = record::tuner_entry;

// Bit positions of the I/Q interface byte (record byte 144 and entry byte 6).
constexpr int kQBit = 0;
constexpr int kIBit = 1;
constexpr int kIqBit = 2;
constexpr int kIqEnableBit = 3;
constexpr int kCrystalBit = 4;
constexpr int kPolarityBit = 5;
constexpr int kDiffShift = 6;

constexpr int kZoomMin = 50;
constexpr int kZoomMax = 300;
constexpr int kFrequencyMin = 900;
constexpr int kFrequencyMax = 2250;
constexpr int kBandwidthMin = 15000;
constexpr int kBandwidthMax = 45000;
constexpr int kCrystalMax = 65535;

int Bits(uint8_t byte, int shift, int width) {
  return (byte >> shift) & ((1 << width) - 1);
}

// Writes the combo's selection into the bits; a combo without a selection keeps them, since
// there is no value to write.
void PutBits(uint8_t& byte, int shift, int width, const ComboState& combo) {
  if (!combo.HasSelection())
    return;
  const int mask = ((1 << width) - 1) << shift;
  byte = static_cast<uint8_t>((byte & ~mask) | ((combo.selection << shift) & mask));
}

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%.*x", digits, value);
  return text;
}

// A hexadecimal field: an empty, malformed or too long text gives 0.
unsigned HexField(const std::string& text, unsigned max) {
  if (!IsHex(text, false))
    return 0;
  const std::optional<uint32_t> value = HexValue(text, false);
  return value && *value <= max ? *value : 0;
}

NamedValueList Cut(NamedValueList list) {
  if (list.names.size() > record::kTunerParameterEntries) {
    list.names.resize(record::kTunerParameterEntries);
    list.values.resize(record::kTunerParameterEntries);
  }
  return list;
}

}  // namespace

NamedValueList TunerPage::ExtTypeList() const {
  return Cut(project().config.GetExtTunerType());
}

NamedValueList TunerPage::TypeList() const {
  return extended_ ? ExtTypeList() : Cut(project().config.GetTunerType());
}

std::optional<int> TunerPage::CodeOf(const std::string& name) const {
  const NamedValueList list = TypeList();
  for (size_t i = 0; i < list.names.size(); ++i) {
    if (list.names[i] == name)
      return list.values[i];
  }
  return std::nullopt;
}

void TunerPage::Load() {
  CustomerSettings& s = settings();
  extended_ = s.ConfigVersion() >= 2;
  loaded_ = project().GetOffOnWords(off_word_, on_word_);
  if (!loaded_) {
    rows_.clear();
    for (ComboState* c : {&tuner_type, &polarity, &single_crystal, &iq_enable, &q_set, &iq_set,
                          &i_set, &diff_single}) {
      c->Clear();
    }
    return;
  }

  driver_chunk_index_ = -1;
  if (std::optional<int> index = project().chunks.FindLoaded(kTunerDriverChunkId)) {
    driver_chunk_index_ = *index;
    project().chunks.entries[static_cast<size_t>(*index)].replace = false;
    context_.shared->had_tuner_driver_chunk = true;
  }

  const NamedValueList ext = ExtTypeList();
  if (extended_)
    ReorderEntries(ext);

  // The tuner list and "Tuner type".
  const NamedValueList types = TypeList();
  const size_t offered_count =
      std::min<size_t>(s.U8(record::kOfferedTunerCount) + 1u, record::kOfferedTunerCodesSize);
  rows_.clear();
  tuner_type.Clear();
  for (size_t i = 0; i < types.names.size(); ++i) {
    bool offered = extended_;
    for (size_t k = 0; !offered && k < offered_count; ++k) {
      offered = s.U8(record::kOfferedTunerCodes + k) == types.values[i];
    }
    rows_.push_back({types.names[i], offered ? on_word_ : off_word_});
    if (offered)
      tuner_type.items.push_back(types.names[i]);
  }
  for (size_t i = 0; i < types.names.size(); ++i) {
    if (types.values[i] == s.U8(record::kTunerType)) {
      tuner_type.selection = tuner_type.Find(types.names[i]);
      break;
    }
  }
  list_shown_ = project().config.switches.customer_config_enable != 0;

  const ConfigDescription& config = project().config;
  iq_enable.Fill(config.GetIQEnable(), -1);
  single_crystal.Fill(config.GetCostdown(), -1);
  polarity.Fill(config.GetPolarity(), -1);
  q_set.Fill(config.GetQSet(), -1);
  i_set.Fill(config.GetISet(), -1);
  diff_single.Fill(config.GetDiffSingle(), -1);
  iq_set.Fill(config.GetIQSet(), -1);
  iq_enable.enabled = true;
  single_crystal.enabled = true;

  const uint8_t flags = s.U8(record::kTunerFlags);
  if (extended_) {
    const int index = std::max(tuner_type.selection, 0);
    s.SetU8(record::kExtTunerIndex, static_cast<uint8_t>(index));
    current_entry_ = index;
    ShowEntry(index);
    ChooseDriverFile();
  } else {
    iq_enable.Select(Bits(flags, kIqEnableBit, 1));
    single_crystal.Select(Bits(flags, kCrystalBit, 1));
  }
  polarity.Select(Bits(flags, kPolarityBit, 1));
  q_set.Select(Bits(flags, kQBit, 1));
  i_set.Select(Bits(flags, kIBit, 1));
  diff_single.Select(Bits(flags, kDiffShift, 2));
  iq_set.Select(Bits(flags, kIqBit, 1));
  user_crystal = s.U16(record::kUserCrystal);

  const uint8_t quality = s.U8(record::kSignalQualityZoom);
  const uint8_t intensity = s.U8(record::kSignalIntensityZoom);
  quality_zoom = quality == 0 ? 100 : quality * 10;
  intensity_zoom = intensity == 0 ? 100 : intensity * 10;
  ApplyIqDependency();
}

void TunerPage::ReorderEntries(const NamedValueList& ext) {
  CustomerSettings& s = settings();
  std::array<uint8_t, record::kOfferedTunerCodesSize> expected{};
  for (size_t i = 0; i < ext.values.size(); ++i)
    expected[i] = static_cast<uint8_t>(ext.values[i]);
  bool same = true;
  for (size_t i = 0; i < expected.size(); ++i) {
    same = same && s.U8(record::kExtTunerCodes + i) == expected[i];
  }
  if (same)
    return;

  // Entries follow their tuner type's code; types no longer described lose their entry.
  auto& bytes = s.bytes();
  const auto first = bytes.begin() + record::kTunerParameters;
  std::array<uint8_t, record::kTunerParameterEntries * record::kTunerParameterSize> old{};
  std::copy_n(first, old.size(), old.begin());
  std::fill_n(first, old.size(), 0);
  for (size_t i = 0; i < ext.values.size(); ++i) {
    for (size_t j = 0; j < record::kTunerParameterEntries; ++j) {
      if (s.U8(record::kExtTunerCodes + j) == ext.values[i]) {
        std::copy_n(old.begin() + j * record::kTunerParameterSize, record::kTunerParameterSize,
                    first + i * record::kTunerParameterSize);
        break;
      }
    }
  }
  std::fill_n(bytes.begin() + record::kExtTunerCodes, record::kTunerParameterEntries, 0);
}

void TunerPage::ShowEntry(int index) {
  const CustomerSettings& s = settings();
  const size_t at =
      record::kTunerParameters + static_cast<size_t>(index) * record::kTunerParameterSize;
  iq_enable.Clear();
  iq_enable.enabled = false;
  single_crystal.Clear();
  single_crystal.enabled = false;
  const uint8_t flags = s.U8(at + entry::kFlags);
  polarity.Select(Bits(flags, kPolarityBit, 1));
  q_set.Select(Bits(flags, kQBit, 1));
  i_set.Select(Bits(flags, kIBit, 1));
  iq_set.Select(Bits(flags, kIqBit, 1));
  diff_single.Select(Bits(flags, kDiffShift, 2));
  user_crystal = s.U16(at + entry::kUserCrystal);
  base_address = Hex(s.U8(at + entry::kBaseAddress), 2);
  frequency_low = s.U16(at + entry::kFrequencyLow);
  frequency_high = s.U16(at + entry::kFrequencyHigh);
  filter_bandwidth = s.U16(at + entry::kFilterBandwidth);
  agc_threshold1 = Hex(s.U8(at + entry::kAgcThreshold1), 2);
  agc_threshold2 = Hex(s.U8(at + entry::kAgcThreshold2), 2);
  qpsk_config = Hex(s.U16(at + entry::kQpskConfig), 4);
}

void TunerPage::WriteEntry(int index) {
  CustomerSettings& s = settings();
  const size_t at =
      record::kTunerParameters + static_cast<size_t>(index) * record::kTunerParameterSize;
  uint8_t flags = s.U8(at + entry::kFlags);
  PutBits(flags, kQBit, 1, q_set);
  PutBits(flags, kIBit, 1, i_set);
  PutBits(flags, kIqBit, 1, iq_set);
  PutBits(flags, kPolarityBit, 1, polarity);
  PutBits(flags, kDiffShift, 2, diff_single);
  s.SetU8(at + entry::kFlags, flags);
  s.SetU16(at + entry::kUserCrystal,
           static_cast<uint16_t>(std::clamp(user_crystal, 0, kCrystalMax)));
  s.SetU8(at + entry::kBaseAddress, static_cast<uint8_t>(HexField(base_address, 0xFF)));
  s.SetU16(at + entry::kFrequencyLow, static_cast<uint16_t>(std::clamp(frequency_low, 0, 0xFFFF)));
  s.SetU16(at + entry::kFrequencyHigh,
           static_cast<uint16_t>(std::clamp(frequency_high, 0, 0xFFFF)));
  s.SetU16(at + entry::kFilterBandwidth,
           static_cast<uint16_t>(std::clamp(filter_bandwidth, 0, 0xFFFF)));
  s.SetU8(at + entry::kAgcThreshold1, static_cast<uint8_t>(HexField(agc_threshold1, 0xFF)));
  s.SetU8(at + entry::kAgcThreshold2, static_cast<uint8_t>(HexField(agc_threshold2, 0xFF)));
  s.SetU16(at + entry::kQpskConfig, static_cast<uint16_t>(HexField(qpsk_config, 0xFFFF)));
  s.SetU8(at + entry::kDiffSingle, static_cast<uint8_t>(flags >> kDiffShift));
}

void TunerPage::WriteExtCodes(const NamedValueList& ext) {
  CustomerSettings& s = settings();
  for (size_t i = 0; i < record::kTunerParameterEntries; ++i) {
    s.SetU8(record::kExtTunerCodes + i,
            i < ext.values.size() ? static_cast<uint8_t>(ext.values[i]) : 0);
  }
}

void TunerPage::ChooseDriverFile() {
  if (driver_chunk_index_ < 0)
    return;
  std::string file_name;
  if (std::optional<int> code = CodeOf(tuner_type.SelectedText());
      code && tuner_type.HasSelection()) {
    const NamedValueList drivers = project().config.GetExtTunerDriver();
    for (size_t i = 0; i < drivers.names.size(); ++i) {
      if (drivers.values[i] == *code) {
        file_name = drivers.names[i];
        break;
      }
    }
  }
  // Without a driver for the type the path names the directory itself, which the save
  // refuses to open: the image never leaves with a driver that belongs to another type.
  ChunkEntry& chunk = project().chunks.entries[static_cast<size_t>(driver_chunk_index_)];
  chunk.replacement_path = (context_.application_directory / file_name).string();
  chunk.replace = true;
}

void TunerPage::ApplyIqDependency() {
  const bool on = IqControlsEnabled();
  for (ComboState* c : {&q_set, &i_set, &iq_set, &diff_single})
    c->enabled = on;
}

void TunerPage::SelectIqEnable(int selection) {
  iq_enable.Select(selection);
  ApplyIqDependency();
}

void TunerPage::SelectTunerType(int selection) {
  tuner_type.Select(selection);
  TunerTypeChanged();
}

void TunerPage::TunerTypeChanged() {
  if (!extended_ || !loaded_)
    return;
  CustomerSettings& s = settings();
  const NamedValueList ext = ExtTypeList();
  WriteEntry(current_entry_);
  WriteExtCodes(ext);
  int index = 0;
  if (std::optional<int> code = CodeOf(tuner_type.SelectedText());
      code && tuner_type.HasSelection()) {
    for (size_t j = 0; j < record::kTunerParameterEntries; ++j) {
      if (s.U8(record::kExtTunerCodes + j) == *code) {
        index = static_cast<int>(j);
        break;
      }
    }
  }
  current_entry_ = index;
  ShowEntry(index);
  ChooseDriverFile();
  ApplyIqDependency();
}

std::vector<std::string> TunerPage::EnableChoices(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size()))
    return {};
  if (!list_shown_)
    return {rows_[static_cast<size_t>(row)].enable};
  // The first type is always offered in the basic format, and every type in the extended one.
  if (extended_ || row == 0)
    return {on_word_};
  return {off_word_, on_word_};
}

void TunerPage::SetRowEnable(int row, const std::string& text) {
  const std::vector<std::string> choices = EnableChoices(row);
  if (std::find(choices.begin(), choices.end(), text) == choices.end())
    return;
  rows_[static_cast<size_t>(row)].enable = text;
  const std::vector<std::string> words = project().config.GetOffOnOption();
  const int previous = tuner_type.selection;
  tuner_type.items.clear();
  for (const Row& r : rows_) {
    const auto at = std::find(words.begin(), words.end(), r.enable);
    if (at != words.end() && at != words.begin())
      tuner_type.items.push_back(r.name);
  }
  tuner_type.selection = std::min(previous, tuner_type.Count() - 1);
  TunerTypeChanged();
}

void TunerPage::SetUserCrystal(long long value) {
  user_crystal = static_cast<int>(std::clamp<long long>(value, 0, kCrystalMax));
}

int TunerPage::FinishZoom(int value, const char* message) {
  value = value / 10 * 10;
  if (value < kZoomMin || value > kZoomMax) {
    context_.dialogs->ShowMessage(message, MessageIcon::Information);
    value = value < kZoomMin ? 100 : kZoomMax;
  }
  return value;
}

void TunerPage::FinishQualityZoom() {
  quality_zoom = FinishZoom(quality_zoom, tuner_messages::kQualityZoomRange);
}
void TunerPage::FinishIntensityZoom() {
  intensity_zoom = FinishZoom(intensity_zoom, tuner_messages::kIntensityZoomRange);
}
void TunerPage::FinishFrequencyLow() {
  frequency_low = std::clamp(frequency_low, kFrequencyMin, kFrequencyMax);
}
void TunerPage::FinishFrequencyHigh() {
  frequency_high = std::clamp(frequency_high, kFrequencyMin, kFrequencyMax);
}
void TunerPage::FinishFilterBandwidth() {
  filter_bandwidth = std::clamp(filter_bandwidth, kBandwidthMin, kBandwidthMax);
}

bool TunerPage::Validate() {
  if (!loaded_)
    return true;
  FinishQualityZoom();
  FinishIntensityZoom();
  if (extended_) {
    FinishFrequencyLow();
    FinishFrequencyHigh();
    FinishFilterBandwidth();
  }
  return true;
}

bool TunerPage::Store() {
  // A page that could not load has nothing to write; its empty lists must not reach the
  // record as offered types or interface bits.
  if (!loaded_)
    return true;
  CustomerSettings& s = settings();
  if (std::optional<int> code = CodeOf(tuner_type.SelectedText());
      code && tuner_type.HasSelection()) {
    s.SetU8(record::kTunerType, static_cast<uint8_t>(*code));
  }
  if (project().config.switches.customer_config_enable != 0) {
    const int count = std::min<int>(tuner_type.Count(), record::kOfferedTunerCodesSize);
    s.SetU8(record::kOfferedTunerCount,
            static_cast<uint8_t>(extended_ ? count : std::max(count - 1, 0)));
    for (size_t i = 0; i < record::kOfferedTunerCodesSize; ++i) {
      s.SetU8(record::kOfferedTunerCodes + i, 0);
    }
    for (int i = 0; i < count; ++i) {
      s.SetU8(record::kOfferedTunerCodes + static_cast<size_t>(i),
              static_cast<uint8_t>(CodeOf(tuner_type.items[static_cast<size_t>(i)]).value_or(0)));
    }
  }

  uint8_t flags = s.U8(record::kTunerFlags);
  PutBits(flags, kPolarityBit, 1, polarity);
  const bool iq_bits = extended_ || iq_enable.selection == 1;
  if (!extended_) {
    PutBits(flags, kCrystalBit, 1, single_crystal);
    PutBits(flags, kIqEnableBit, 1, iq_enable);
  }
  if (iq_bits) {
    PutBits(flags, kQBit, 1, q_set);
    PutBits(flags, kIBit, 1, i_set);
    PutBits(flags, kDiffShift, 2, diff_single);
    PutBits(flags, kIqBit, 1, iq_set);
  }
  s.SetU8(record::kTunerFlags, flags);

  s.SetU16(record::kUserCrystal, static_cast<uint16_t>(std::clamp(user_crystal, 0, kCrystalMax)));
  s.SetU8(record::kSignalQualityZoom, static_cast<uint8_t>(std::clamp(quality_zoom / 10, 0, 255)));
  s.SetU8(record::kSignalIntensityZoom,
          static_cast<uint8_t>(std::clamp(intensity_zoom / 10, 0, 255)));

  // The parameter entries and their codes belong to the extended format.
  if (context_.shared->had_tuner_driver_chunk && extended_) {
    const NamedValueList ext = ExtTypeList();
    WriteEntry(current_entry_);
    WriteExtCodes(ext);
    const int last = std::max(static_cast<int>(ext.values.size()) - 1, 0);
    s.SetU8(record::kExtTunerIndex,
            static_cast<uint8_t>(std::clamp(tuner_type.selection, 0, last)));
  }
  return true;
}

void TunerPage::ImportSettings(const CustomerSettings::Bytes& file) {
  ImportTunerSettings(settings(), file);
  Load();
}

}  // namespace qtk
