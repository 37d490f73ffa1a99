#include "pages/gpio_usage_page.h"

#include <algorithm>

#include "common/utf8_path.h"
#include "config/text_helpers.h"
#include "firmware/image/chunk_ids.h"
#include "pages/record_fields.h"
#include "settings/setting_file.h"

namespace qtk {
namespace {

constexpr int kBusTypeShift = 2;
constexpr int kBusTypeWidth = 6;
constexpr int kGpioShift = 2;
constexpr int kGpioWidth = 6;
constexpr int kPolarBit = 0;
constexpr unsigned kMaxValue = 255;
// More digits than a GPIO number has: read as a number out of range.
constexpr size_t kGpioDigits = 3;

std::string TrimSpaces(const std::string& text) {
  return Trim(text, TrimMode::kBoth, " ");
}

}  // namespace

void GpioUsagePage::Load() {
  const CustomerSettings& s = settings();
  std::copy_n(s.bytes().begin() + record::kGpioUsageBlock, block_.size(), block_.begin());
  const std::vector<std::string> polar = config().GetGPIOPolar();
  for (size_t i = 0; i < polar_names_.size(); ++i)
    polar_names_[i] = i < polar.size() ? polar[i] : std::string();
  bus_type.Fill(config().GetGPIOBusType(),
                GetBits(s.U8(record::kGpioBusType), kBusTypeShift, kBusTypeWidth));
  FillList();
}

void GpioUsagePage::SelectBusType(int index) {
  if (index < 0 || index >= bus_type.Count())
    return;
  bus_type.Select(index);
  FillList();
}

void GpioUsagePage::FillList() {
  rows_.clear();
  gpio_count_ = 0;
  // A stored bus type outside the list has no usages and no panel file to choose.
  if (!bus_type.HasSelection())
    return;
  CustomerSettings& s = settings();
  const int index = bus_type.selection;
  s.SetU8(record::kGpioBusType,
          WithBits(s.U8(record::kGpioBusType), kBusTypeShift, kBusTypeWidth, index));
  const NamedValueList usages = config().GetGPIOUsage(index);
  gpio_count_ = config().GetGPIOBusTypeValue(index);
  for (size_t i = 0; i < usages.names.size(); ++i) {
    if (usages.values[i] < 0 || usages.values[i] >= static_cast<int>(block_.size())) {
      dialogs().ShowMessage(gpio_messages::kWrongUsageId);
      break;
    }
    Row row{usages.names[i], usages.values[i], {}, {}};
    ShowRow(row);
    rows_.push_back(std::move(row));
  }
  s.SetU8(record::kGpioUsageBlock + record::kGpioUsageBlockSize - 1,
          static_cast<uint8_t>(gpio_count_));
  if (std::optional<int> chunk = project().chunks.FindLoaded(kDynamicPanelChunkId)) {
    ChunkEntry& entry = project().chunks.entries[static_cast<size_t>(*chunk)];
    entry.replacement_path = Utf8FromPath(context().application_directory / PathFromUtf8(bus_type.SelectedText()));
    entry.replace = true;
  }
}

bool GpioUsagePage::IsGpioRow(int row) const {
  return row >= 0 && row < static_cast<int>(rows_.size()) &&
         rows_[static_cast<size_t>(row)].id < gpio_count_;
}

void GpioUsagePage::ShowRow(Row& row) const {
  const uint8_t byte = block_[static_cast<size_t>(row.id)];
  if (row.id < gpio_count_) {
    const int gpio = GetBits(byte, kGpioShift, kGpioWidth);
    row.gpio = std::to_string(gpio);
    row.polar = gpio >= kUnusedGpio
                    ? std::string()
                    : polar_names_[static_cast<size_t>(GetBits(byte, kPolarBit, 1))];
  } else {
    row.gpio = std::to_string(byte);
    row.polar.clear();
  }
}

void GpioUsagePage::EditGpioNumber(int row, const std::string& text) {
  if (row < 0 || row >= static_cast<int>(rows_.size()))
    return;
  Row& r = rows_[static_cast<size_t>(row)];
  uint8_t& byte = block_[static_cast<size_t>(r.id)];
  const std::string trimmed = TrimSpaces(text);
  if (r.id < gpio_count_) {
    int number = kUnusedGpio;
    if (trimmed.size() > kGpioDigits || (!trimmed.empty() && !IsDecimal(trimmed))) {
      number = kUnusedGpio + 1;
    } else if (!trimmed.empty()) {
      number = static_cast<int>(DecimalValue(trimmed).value_or(kUnusedGpio + 1));
    }
    if (number > kUnusedGpio) {
      dialogs().ShowMessage(gpio_messages::kGpioRange);
    } else {
      byte = WithBits(byte, kGpioShift, kGpioWidth, number);
    }
  } else if (trimmed.empty()) {
    byte = kMaxValue;
  } else if (IsDecimal(trimmed)) {
    // Longer than any 32-bit number still means "more than 255".
    byte = static_cast<uint8_t>(
        std::min<uint32_t>(DecimalValue(trimmed).value_or(kMaxValue), kMaxValue));
  }
  ShowRow(r);
}

std::vector<std::string> GpioUsagePage::PolarChoices(int row) const {
  if (!IsGpioRow(row) || rows_[static_cast<size_t>(row)].polar.empty())
    return {};
  return {polar_names_[0], polar_names_[1]};
}

void GpioUsagePage::EditPolar(int row, const std::string& text) {
  const std::vector<std::string> choices = PolarChoices(row);
  const auto at = std::find(choices.begin(), choices.end(), text);
  if (at == choices.end())
    return;
  Row& r = rows_[static_cast<size_t>(row)];
  uint8_t& byte = block_[static_cast<size_t>(r.id)];
  byte = WithBits(byte, kPolarBit, 1, static_cast<int>(at - choices.begin()));
  ShowRow(r);
}

bool GpioUsagePage::Store() {
  CustomerSettings& s = settings();
  s.SetU8(record::kLedDigits, WithBits(s.U8(record::kLedDigits), 0, 4, 0));
  s.SetU8(record::kGpioBusType, WithBits(s.U8(record::kGpioBusType), 0, 2, 0));
  std::copy(block_.begin(), block_.end(), s.bytes().begin() + record::kGpioUsageBlock);
  return true;
}

void GpioUsagePage::ImportSettings(const CustomerSettings::Bytes& file) {
  ImportPanelSettings(settings(), file);
  Load();
}

std::string GpioUsagePage::SetRows(const FieldRows& rows) {
  if (rows.size() != rows_.size())
    return "the list has " + std::to_string(rows_.size()) + " rows, not " +
           std::to_string(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].size() != 3 || rows[i][0] != rows_[i].usage)
      return "row " + std::to_string(i + 1) + " must be " + DescribeValue(rows_[i].usage) +
             ", its GPIO No. and its Polar";
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i);
    if (rows[i][1] != rows_[i].gpio)
      EditGpioNumber(row, rows[i][1]);
    if (rows[i][1] != rows_[i].gpio)
      return "row " + std::to_string(i + 1) + " keeps GPIO No. " + DescribeValue(rows_[i].gpio);
    if (rows[i][2] != rows_[i].polar)
      EditPolar(row, rows[i][2]);
    if (rows[i][2] != rows_[i].polar)
      return "row " + std::to_string(i + 1) + " keeps Polar " + DescribeValue(rows_[i].polar);
  }
  return {};
}

std::vector<PageField> GpioUsagePage::Fields() {
  return {
      ChoiceField("Bus type", bus_type, [this](int index) { SelectBusType(index); }),
      ListField(
          "Usage", {"Usage", "GPIO No.", "Polar"},
          [this] {
            FieldRows out;
            for (const Row& r : rows_)
              out.push_back({r.usage, r.gpio, r.polar});
            return out;
          },
          [this](const FieldRows& rows) { return SetRows(rows); })
          // One GPIO serves one use; 63 marks a use the board does not wire. Rows past the
          // bus type's GPIO count hold plain values, which may repeat.
          .DistinctColumns({1}, {"63"})
          .DistinctRowsWhere([this](size_t row) { return IsGpioRow(static_cast<int>(row)); }),
  };
}

}  // namespace qtk
