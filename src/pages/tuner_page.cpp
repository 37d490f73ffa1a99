#include "pages/tuner_page.h"

#include <algorithm>
#include <array>

#include "common/utf8_path.h"
#include "pages/record_fields.h"
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
constexpr int kZoomShownForZero = 100;
constexpr int kFrequencyMin = 900;
constexpr int kFrequencyMax = 2250;
constexpr int kBandwidthMin = 15000;
constexpr int kBandwidthMax = 45000;
constexpr int kCrystalMax = 65535;
// Typed numbers are kept in an int; nothing the edits can hold comes near this.
constexpr long long kTypedMax = 1 << 30;

NamedValueList Cut(NamedValueList list) {
  if (list.names.size() > record::kTunerParameterEntries) {
    list.names.resize(record::kTunerParameterEntries);
    list.values.resize(record::kTunerParameterEntries);
  }
  return list;
}

uint16_t U16Of(int value) {
  return static_cast<uint16_t>(std::clamp(value, 0, 0xFFFF));
}

}  // namespace

void TunerPage::EditedNumber::Type(long long typed) {
  value = static_cast<int>(std::clamp<long long>(typed, 0, kTypedMax));
  changed = true;
}

NamedValueList TunerPage::ExtTypeList() const {
  return Cut(config().GetExtTunerType());
}

NamedValueList TunerPage::TypeList() const {
  return extended_ ? ExtTypeList() : Cut(config().GetTunerType());
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
    shared().had_tuner_driver_chunk = true;
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
  list_shown_ = config().switches.customer_config_enable != 0;

  iq_enable.Fill(config().GetIQEnable(), -1);
  single_crystal.Fill(config().GetCostdown(), -1);
  polarity.Fill(config().GetPolarity(), -1);
  q_set.Fill(config().GetQSet(), -1);
  i_set.Fill(config().GetISet(), -1);
  diff_single.Fill(config().GetDiffSingle(), -1);
  iq_set.Fill(config().GetIQSet(), -1);
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
    iq_enable.Select(GetBits(flags, kIqEnableBit, 1));
    single_crystal.Select(GetBits(flags, kCrystalBit, 1));
  }
  polarity.Select(GetBits(flags, kPolarityBit, 1));
  q_set.Select(GetBits(flags, kQBit, 1));
  i_set.Select(GetBits(flags, kIBit, 1));
  diff_single.Select(GetBits(flags, kDiffShift, 2));
  iq_set.Select(GetBits(flags, kIqBit, 1));
  user_crystal_ = s.U16(record::kUserCrystal);

  const uint8_t quality = s.U8(record::kSignalQualityZoom);
  const uint8_t intensity = s.U8(record::kSignalIntensityZoom);
  quality_zoom_.Put(quality == 0 ? kZoomShownForZero : quality * 10);
  intensity_zoom_.Put(intensity == 0 ? kZoomShownForZero : intensity * 10);
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
  // The entries now sit in description order, and their codes say so. Without them a save
  // of an image that has no tuner-driver chunk (whose store leaves these bytes alone) would
  // carry entries that the next load can match to no type and drops.
  WriteExtCodes(ext);
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
  polarity.Select(GetBits(flags, kPolarityBit, 1));
  q_set.Select(GetBits(flags, kQBit, 1));
  i_set.Select(GetBits(flags, kIBit, 1));
  iq_set.Select(GetBits(flags, kIqBit, 1));
  diff_single.Select(GetBits(flags, kDiffShift, 2));
  user_crystal_ = s.U16(at + entry::kUserCrystal);
  base_address = HexText(s.U8(at + entry::kBaseAddress), 2);
  frequency_low_.Put(s.U16(at + entry::kFrequencyLow));
  frequency_high_.Put(s.U16(at + entry::kFrequencyHigh));
  filter_bandwidth_.Put(s.U16(at + entry::kFilterBandwidth));
  agc_threshold1 = HexText(s.U8(at + entry::kAgcThreshold1), 2);
  agc_threshold2 = HexText(s.U8(at + entry::kAgcThreshold2), 2);
  qpsk_config = HexText(s.U16(at + entry::kQpskConfig), 4);
}

void TunerPage::WriteEntry(int index) {
  CustomerSettings& s = settings();
  const size_t at =
      record::kTunerParameters + static_cast<size_t>(index) * record::kTunerParameterSize;
  uint8_t flags = s.U8(at + entry::kFlags);
  PutSelectionBits(flags, kQBit, 1, q_set);
  PutSelectionBits(flags, kIBit, 1, i_set);
  PutSelectionBits(flags, kIqBit, 1, iq_set);
  PutSelectionBits(flags, kPolarityBit, 1, polarity);
  PutSelectionBits(flags, kDiffShift, 2, diff_single);
  s.SetU8(at + entry::kFlags, flags);
  s.SetU16(at + entry::kUserCrystal, U16Of(user_crystal_));
  s.SetU8(at + entry::kBaseAddress, static_cast<uint8_t>(HexFieldValue(base_address, 0xFF)));
  s.SetU16(at + entry::kFrequencyLow, U16Of(frequency_low_.value));
  s.SetU16(at + entry::kFrequencyHigh, U16Of(frequency_high_.value));
  s.SetU16(at + entry::kFilterBandwidth, U16Of(filter_bandwidth_.value));
  s.SetU8(at + entry::kAgcThreshold1, static_cast<uint8_t>(HexFieldValue(agc_threshold1, 0xFF)));
  s.SetU8(at + entry::kAgcThreshold2, static_cast<uint8_t>(HexFieldValue(agc_threshold2, 0xFF)));
  s.SetU16(at + entry::kQpskConfig, static_cast<uint16_t>(HexFieldValue(qpsk_config, 0xFFFF)));
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
    const NamedValueList drivers = config().GetExtTunerDriver();
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
  chunk.replacement_path = Utf8FromPath(context().application_directory / PathFromUtf8(file_name));
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
  // Choosing another control ends the edit in progress before its value goes into the entry.
  FinishEditing();
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
  const std::vector<std::string> words = config().GetOffOnOption();
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
  user_crystal_ = static_cast<int>(std::clamp<long long>(value, 0, kCrystalMax));
}
void TunerPage::SetQualityZoom(long long value) {
  quality_zoom_.Type(value);
}
void TunerPage::SetIntensityZoom(long long value) {
  intensity_zoom_.Type(value);
}
void TunerPage::SetFrequencyLow(long long value) {
  frequency_low_.Type(value);
}
void TunerPage::SetFrequencyHigh(long long value) {
  frequency_high_.Type(value);
}
void TunerPage::SetFilterBandwidth(long long value) {
  filter_bandwidth_.Type(value);
}

void TunerPage::FinishZoom(EditedNumber& zoom, const char* message) {
  if (!zoom.changed)
    return;
  int value = zoom.value / 10 * 10;
  if (value < kZoomMin || value > kZoomMax) {
    dialogs().ShowMessage(message, MessageIcon::Information);
    value = value < kZoomMin ? kZoomShownForZero : kZoomMax;
  }
  zoom.Put(value);
}

void TunerPage::FinishRange(EditedNumber& number, int min, int max) {
  if (number.changed)
    number.Put(std::clamp(number.value, min, max));
}

void TunerPage::FinishQualityZoom() {
  FinishZoom(quality_zoom_, tuner_messages::kQualityZoomRange);
}
void TunerPage::FinishIntensityZoom() {
  FinishZoom(intensity_zoom_, tuner_messages::kIntensityZoomRange);
}
void TunerPage::FinishFrequencyLow() {
  FinishRange(frequency_low_, kFrequencyMin, kFrequencyMax);
}
void TunerPage::FinishFrequencyHigh() {
  FinishRange(frequency_high_, kFrequencyMin, kFrequencyMax);
}
void TunerPage::FinishFilterBandwidth() {
  FinishRange(filter_bandwidth_, kBandwidthMin, kBandwidthMax);
}

void TunerPage::FinishEditing() {
  if (!loaded_)
    return;
  FinishQualityZoom();
  FinishIntensityZoom();
  if (extended_) {
    FinishFrequencyLow();
    FinishFrequencyHigh();
    FinishFilterBandwidth();
  }
}

bool TunerPage::Validate() {
  FinishEditing();
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
  if (config().switches.customer_config_enable != 0) {
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
  PutSelectionBits(flags, kPolarityBit, 1, polarity);
  const bool iq_bits = extended_ || iq_enable.selection == 1;
  if (!extended_) {
    PutSelectionBits(flags, kCrystalBit, 1, single_crystal);
    PutSelectionBits(flags, kIqEnableBit, 1, iq_enable);
  }
  if (iq_bits) {
    PutSelectionBits(flags, kQBit, 1, q_set);
    PutSelectionBits(flags, kIBit, 1, i_set);
    PutSelectionBits(flags, kDiffShift, 2, diff_single);
    PutSelectionBits(flags, kIqBit, 1, iq_set);
  }
  s.SetU8(record::kTunerFlags, flags);

  s.SetU16(record::kUserCrystal, U16Of(user_crystal_));
  s.SetU8(record::kSignalQualityZoom,
          static_cast<uint8_t>(std::clamp(quality_zoom_.value / 10, 0, 255)));
  s.SetU8(record::kSignalIntensityZoom,
          static_cast<uint8_t>(std::clamp(intensity_zoom_.value / 10, 0, 255)));

  // The codes and the chosen index follow the tuner-driver chunk whatever the format: a basic
  // record is raised to the extended format by the Common page's store in the same save, and
  // must not go out with stale codes. Only the entry itself belongs to the extended format.
  if (shared().had_tuner_driver_chunk) {
    const NamedValueList ext = ExtTypeList();
    if (extended_)
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

std::string TunerPage::SetRows(const std::vector<std::vector<std::string>>& rows) {
  if (rows.size() != rows_.size())
    return "the list has " + std::to_string(rows_.size()) + " rows, not " +
           std::to_string(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string row = "row " + std::to_string(i + 1);
    if (rows[i].size() != 2)
      return row + " needs two cells, \"Tuner\" and \"Enable\"";
    if (rows[i][0] != rows_[i].name)
      return row + " is " + DescribeValue(rows_[i].name) + ", not " + DescribeValue(rows[i][0]);
    // A cell the user leaves alone needs no choice of its own: a basic record may show its
    // first type off, which no drop-down offers.
    const std::vector<std::string> choices = EnableChoices(static_cast<int>(i));
    if (rows[i][1] != rows_[i].enable &&
        std::find(choices.begin(), choices.end(), rows[i][1]) == choices.end()) {
      std::string offered;
      for (const std::string& c : choices)
        offered += (offered.empty() ? "" : ", ") + DescribeValue(c);
      return row + " \"Enable\" takes one of: " + offered;
    }
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i][1] != rows_[i].enable)
      SetRowEnable(static_cast<int>(i), rows[i][1]);
  }
  return {};
}

std::vector<PageField> TunerPage::Fields() {
  namespace len = tuner_edit_lengths;
  const std::string hex = kTunerHexCharacters;
  auto is_extended = [this] { return extended_; };
  auto hex_field = [&hex, &is_extended](const char* name, size_t digits, std::string& text) {
    return HexField(
               name, digits, hex, [&text] { return text; },
               [&text](const std::string& typed) { text = typed; })
        .ShownWhen(is_extended);
  };
  // An edit whose rule runs when it is left: the user types the number and leaves the edit.
  auto left_number = [](const char* name, size_t digits, std::function<long long()> get,
                        std::function<void(long long)> type, std::function<void()> leave) {
    return NumberField(name, digits, std::move(get),
                       [type = std::move(type), leave = std::move(leave)](long long value) {
                         type(value);
                         leave();
                       });
  };
  std::vector<PageField> fields = {
      ListField(
          "Tuner list", {"Tuner", "Enable"},
          [this] {
            FieldRows out;
            for (const Row& r : rows_)
              out.push_back({r.name, r.enable});
            return out;
          },
          [this](const FieldRows& rows) { return SetRows(rows); })
          .ShownWhen([this] { return list_shown_; }),
      ChoiceField("Tuner type", tuner_type, [this](int index) { SelectTunerType(index); }),
      ChoiceField("Polarity", polarity),
      ChoiceField("Single crystal", single_crystal),
      NumberField(
          "User crystal", len::kUserCrystal, [this] { return user_crystal_; },
          [this](long long value) { SetUserCrystal(value); }),
      left_number(
          "Signal quality zoom", len::kZoom, [this] { return quality_zoom_.value; },
          [this](long long v) { SetQualityZoom(v); }, [this] { FinishQualityZoom(); }),
      left_number(
          "Signal intensity zoom", len::kZoom, [this] { return intensity_zoom_.value; },
          [this](long long v) { SetIntensityZoom(v); }, [this] { FinishIntensityZoom(); }),
      ChoiceField("I/Q enable", iq_enable, [this](int index) { SelectIqEnable(index); }),
      ChoiceField("Q+/Q-", q_set),
      ChoiceField("I/Q", iq_set),
      ChoiceField("I+/I-", i_set),
      ChoiceField("Diff/Single", diff_single),
      hex_field("Base address", len::kByteHex, base_address),
      left_number(
          "Frequency low", len::kFrequency, [this] { return frequency_low_.value; },
          [this](long long v) { SetFrequencyLow(v); }, [this] { FinishFrequencyLow(); })
          .ShownWhen(is_extended),
      left_number(
          "Frequency high", len::kFrequency, [this] { return frequency_high_.value; },
          [this](long long v) { SetFrequencyHigh(v); }, [this] { FinishFrequencyHigh(); })
          .ShownWhen(is_extended),
      left_number(
          "Filter BW", len::kFilterBandwidth, [this] { return filter_bandwidth_.value; },
          [this](long long v) { SetFilterBandwidth(v); }, [this] { FinishFilterBandwidth(); })
          .ShownWhen(is_extended),
      hex_field("AGC Threshold 1", len::kByteHex, agc_threshold1),
      hex_field("AGC Threshold 2", len::kByteHex, agc_threshold2),
      hex_field("QPSK config", len::kQpskConfig, qpsk_config),
  };
  return fields;
}

}  // namespace qtk
