#include "pages/av_set_page.h"

#include <algorithm>
#include <set>

#include "pages/record_fields.h"
#include "pages/rf_channel_names.h"
#include "settings/record_layout.h"

namespace qtk {
namespace {

namespace msg = av_set_messages;
namespace texts = av_set_texts;

constexpr int kEntrySize = 4;
constexpr int kLastOutputCode = static_cast<int>(record::kVideoOutputEntries) - 1;
// Record byte 37 keeps the RF mode in its low four bits.
constexpr int kRfModeBits = 4;
constexpr int kRfModeCount = 1 << kRfModeBits;
// Without a known RF mode the channel has no range to be held in: any byte value stands.
constexpr int kAnyChannelHigh = 255;

std::vector<std::string> FirstRfModes(std::vector<std::string> modes) {
  if (modes.size() > static_cast<size_t>(kRfModeCount))
    modes.resize(kRfModeCount);
  return modes;
}

// DAC column headers after a row is selected, by the row's output code.
constexpr std::array<std::array<const char*, 3>, 5> kHeadersByCode = {{
    {"1st DAC", "", ""},
    {"1st DAC", "", ""},
    {"-Y-", "-C-", ""},
    {"-Y-", "-U-", "-V-"},
    {"-R-", "-G-", "-B-"},
}};
constexpr std::array<const char*, 3> kHeadersBeforeSelection = {"1st DAC", "2nd DAC", "3th DAC"};

}  // namespace

size_t AvSetPage::EntryOffset(int code) const {
  return record::kVideoOutputTable +
         static_cast<size_t>(std::clamp(code, 0, kLastOutputCode)) * kEntrySize;
}

std::string AvSetPage::DacName(int value) const {
  const NamedValueList dacs = config().GetDACIndex();
  for (size_t i = 0; i < dacs.values.size(); ++i) {
    if (dacs.values[i] == value)
      return dacs.names[i];
  }
  return {};
}

void AvSetPage::SetRange(int index) {
  if (index < 0 || index >= rf_mode.Count()) {
    rf_low_ = 0;
    rf_high_ = kAnyChannelHigh;
    return;
  }
  const BytePair range = config().GetRFModeRange(index);
  rf_low_ = std::min(range.first, range.second);
  rf_high_ = std::max(range.first, range.second);
}

void AvSetPage::Load() {
  CustomerSettings& s = settings();
  program_mode.Fill(config().GetProgramMode(), s.U8(record::kProgramMode));
  const int mode = GetBits(s.U8(record::kRfMode), 0, kRfModeBits);
  rf_mode.Fill(FirstRfModes(config().GetRFMode()), mode);
  tv_mode.Fill(config().GetTVMode(), s.U8(record::kTvMode));

  SetRange(mode);
  const int stored = s.U8(record::kRfChannel);
  rf_channel_ = std::clamp(stored, rf_low_, rf_high_);
  s.SetU8(record::kRfChannel, static_cast<uint8_t>(rf_channel_));
  rf_channel_typed_ = false;

  rows_.clear();
  header_code_ = -1;
  list_filled_ = config().GetOffOnWords(off_word_, on_word_);
  if (!list_filled_)
    return;
  const std::vector<std::string> types = config().GetDACType();
  const NamedValueList dacs = config().GetDACIndex();
  for (size_t i = 0; i < types.size(); ++i) {
    const BytePair pair = config().GetDACTypePair(static_cast<int>(i));
    if (pair.first > kLastOutputCode)
      continue;
    Row row;
    row.name = types[i];
    row.code = pair.first;
    row.dac_count = pair.second;
    const size_t at = EntryOffset(row.code);
    row.cells[0] = row.name;
    row.cells[kEnableColumn] = s.U8(at) != 0 ? on_word_ : off_word_;
    for (int k = 1; k <= 3; ++k) {
      std::string& cell = row.cells[static_cast<size_t>(kFirstDacColumn + k - 1)];
      cell = DacName(s.U8(at + static_cast<size_t>(k)));
      if (!cell.empty())
        continue;
      // A signal the output uses needs a DAC: it gets the k-th one listed. A description
      // listing fewer DACs leaves the signal without one.
      if (row.dac_count < k || dacs.names.size() < static_cast<size_t>(k)) {
        cell = texts::kNoDac;
        continue;
      }
      cell = dacs.names[static_cast<size_t>(k - 1)];
      s.SetU8(at + static_cast<size_t>(k),
              static_cast<uint8_t>(dacs.values[static_cast<size_t>(k - 1)]));
    }
    rows_.push_back(std::move(row));
  }
}

bool AvSetPage::DacValueUnique(int value) {
  if (value == 0)
    return true;
  // Each output's entry once, whatever order the description lists the outputs in.
  std::set<int> codes;
  for (const Row& r : rows_)
    codes.insert(r.code);
  const CustomerSettings& s = settings();
  int seen = 0;
  for (int code : codes) {
    const size_t at = EntryOffset(code);
    if (s.U8(at) == 0)
      continue;
    for (size_t k = 1; k <= 3; ++k) {
      if (s.U8(at + k) == value)
        ++seen;
    }
  }
  if (seen < 2)
    return true;
  dialogs().ShowMessage(msg::kSameDac);
  return false;
}

bool AvSetPage::Store() {
  CustomerSettings& s = settings();
  // A list without rows (a description without outputs or without on and off words) leaves
  // the user nothing to enable; the check would refuse every save for good.
  if (!rows_.empty()) {
    const bool any_enabled = std::any_of(
        rows_.begin(), rows_.end(), [&](const Row& r) { return s.U8(EntryOffset(r.code)) != 0; });
    if (!any_enabled) {
      dialogs().ShowMessage(msg::kNoVideoOutput);
      return false;
    }
    for (const Row& r : rows_) {
      const size_t at = EntryOffset(r.code);
      if (s.U8(at) == 0)
        continue;
      for (size_t k = 1; k <= 3; ++k) {
        if (!DacValueUnique(s.U8(at + k)))
          return false;
      }
    }
  }
  s.SetU8(record::kProgramMode, program_mode.StoredByte());
  s.SetU8(record::kRfChannel, static_cast<uint8_t>(rf_channel_));
  // The high bits of the byte are not the RF mode's; they stay as the firmware has them.
  uint8_t mode = s.U8(record::kRfMode);
  PutSelectionBits(mode, 0, kRfModeBits, rf_mode);
  s.SetU8(record::kRfMode, mode);
  s.SetU8(record::kTvModeCount, static_cast<uint8_t>(tv_mode.Count()));
  s.SetU8(record::kTvMode, tv_mode.StoredByte());
  return true;
}

void AvSetPage::FinishEditing() {
  FinishRfChannel();
}

bool AvSetPage::Validate() {
  FinishEditing();
  return true;
}

void AvSetPage::SelectRfMode(int index) {
  if (index == rf_mode.selection)
    return;
  rf_mode.Select(index);
  SetRange(rf_mode.selection);
  rf_channel_ = rf_low_;
  rf_channel_typed_ = false;
}

std::string AvSetPage::rf_channel_name() const {
  return rf_mode.selection == texts::kNamedChannelMode ? RfChannelName(rf_channel_) : std::string();
}

void AvSetPage::StepRfChannel(int delta) {
  const bool inside = rf_channel_ >= rf_low_ && rf_channel_ <= rf_high_;
  if (!inside) {
    rf_channel_ = rf_low_;
  } else if (delta > 0 && rf_channel_ < rf_high_) {
    ++rf_channel_;
  } else if (delta < 0 && rf_channel_ > rf_low_) {
    --rf_channel_;
  }
  rf_channel_typed_ = false;
}

void AvSetPage::SetRfChannel(long long typed) {
  if (typed > rf_high_) {
    const bool inside = rf_channel_ >= rf_low_ && rf_channel_ <= rf_high_;
    if (!inside)
      rf_channel_ = rf_low_;
  } else {
    rf_channel_ = static_cast<int>(std::max(typed, 0LL));
  }
  rf_channel_typed_ = true;
}

void AvSetPage::FinishRfChannel() {
  if (!rf_channel_typed_)
    return;
  rf_channel_ = std::clamp(rf_channel_, rf_low_, rf_high_);
  rf_channel_typed_ = false;
}

std::vector<std::string> AvSetPage::CellChoices(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || column < kEnableColumn ||
      column > kFirstDacColumn + 2) {
    return {};
  }
  if (column == kEnableColumn)
    return config().GetOffOnOption();
  const int k = column - kFirstDacColumn + 1;
  if (rows_[static_cast<size_t>(row)].dac_count < k)
    return {texts::kNoDac};
  return config().GetDACIndex().names;
}

void AvSetPage::SetCell(int row, int column, const std::string& text) {
  const std::vector<std::string> choices = CellChoices(row, column);
  if (std::find(choices.begin(), choices.end(), text) == choices.end())
    return;
  CustomerSettings& s = settings();
  Row& r = rows_[static_cast<size_t>(row)];
  const size_t at = EntryOffset(r.code);
  const NamedValueList dacs = config().GetDACIndex();
  auto dac_value = [&dacs](const std::string& name) -> std::optional<int> {
    for (size_t i = 0; i < dacs.names.size(); ++i) {
      if (dacs.names[i] == name)
        return dacs.values[i];
    }
    return std::nullopt;
  };

  if (column == kEnableColumn) {
    r.cells[kEnableColumn] = text;
    if (text == choices.front()) {
      s.SetU8(at, 0);
      return;
    }
    s.SetU8(at, 1);
    for (int k = 1; k <= 3; ++k) {
      const std::optional<int> value =
          dac_value(r.cells[static_cast<size_t>(kFirstDacColumn + k - 1)]);
      if (value && !DacValueUnique(*value)) {
        s.SetU8(at, 0);
        r.cells[kEnableColumn] = off_word_;
        return;
      }
    }
    return;
  }

  const std::optional<int> value = dac_value(text);
  if (!value)
    return;
  const size_t k = static_cast<size_t>(column - kFirstDacColumn + 1);
  const uint8_t previous = s.U8(at + k);
  s.SetU8(at + k, static_cast<uint8_t>(*value));
  r.cells[static_cast<size_t>(column)] = text;
  if (!DacValueUnique(*value)) {
    s.SetU8(at + k, previous);
    const std::string name = DacName(previous);
    r.cells[static_cast<size_t>(column)] = name.empty() ? texts::kNoDac : name;
  }
}

void AvSetPage::SelectRow(int row) {
  if (row >= 0 && row < static_cast<int>(rows_.size()))
    header_code_ = rows_[static_cast<size_t>(row)].code;
}

std::array<std::string, 3> AvSetPage::DacHeaders() const {
  const std::array<const char*, 3>& h = header_code_ < 0
                                            ? kHeadersBeforeSelection
                                            : kHeadersByCode[static_cast<size_t>(header_code_)];
  return {h[0], h[1], h[2]};
}

std::string AvSetPage::SetRows(const std::vector<std::vector<std::string>>& rows) {
  if (rows.size() != rows_.size())
    return "the list has " + std::to_string(rows_.size()) + " rows, not " +
           std::to_string(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string row = "row " + std::to_string(i + 1);
    if (rows[i].size() != rows_[i].cells.size())
      return row + " needs five cells";
    if (rows[i][0] != rows_[i].name)
      return row + " is " + DescribeValue(rows_[i].name) + ", not " + DescribeValue(rows[i][0]);
    for (int column = kEnableColumn; column < 5; ++column) {
      const std::string& wanted = rows[i][static_cast<size_t>(column)];
      if (wanted == rows_[i].cells[static_cast<size_t>(column)])
        continue;
      const std::vector<std::string> choices = CellChoices(static_cast<int>(i), column);
      if (std::find(choices.begin(), choices.end(), wanted) == choices.end())
        return row + " cell " + std::to_string(column + 1) + " takes none but its choices, not " +
               DescribeValue(wanted);
    }
  }
  if (rows.empty())
    return {};
  // As a user gets there without a needless refusal: outputs switched off first, then the
  // DACs chosen, then outputs switched on.
  const std::string off = config().GetOffOnOption().front();
  auto apply = [&](auto wanted_column) {
    for (size_t i = 0; i < rows.size(); ++i) {
      for (int column = kEnableColumn; column < 5; ++column) {
        if (wanted_column(column, rows[i][static_cast<size_t>(column)]) &&
            rows[i][static_cast<size_t>(column)] != rows_[i].cells[static_cast<size_t>(column)]) {
          SetCell(static_cast<int>(i), column, rows[i][static_cast<size_t>(column)]);
        }
      }
    }
  };
  apply(
      [&](int column, const std::string& text) { return column == kEnableColumn && text == off; });
  apply([](int column, const std::string&) { return column != kEnableColumn; });
  apply(
      [&](int column, const std::string& text) { return column == kEnableColumn && text != off; });
  return {};
}

std::vector<PageField> AvSetPage::Fields() {
  return {
      ChoiceField("TV mode", tv_mode),
      ChoiceField("Program mode", program_mode),
      ChoiceField("RF mode", rf_mode, [this](int index) { SelectRfMode(index); }),
      NumberField(
          "RF channel", texts::kRfChannelDigits, [this] { return rf_channel_; },
          [this](long long value) {
            SetRfChannel(value);
            FinishRfChannel();
          }),
      ListField(
          "Video output list", {"Video output", "Enable", "1st DAC", "2nd DAC", "3th DAC"},
          [this] {
            FieldRows out;
            for (const Row& r : rows_)
              out.emplace_back(r.cells.begin(), r.cells.end());
            return out;
          },
          [this](const FieldRows& rows) { return SetRows(rows); })
          .ShownWhen([this] { return list_filled_; }),
  };
}

}  // namespace qtk
