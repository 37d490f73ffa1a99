#include "pages/panel_page.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "config/text_helpers.h"
#include "pages/page_messages.h"
#include "pages/record_fields.h"
#include "settings/setting_file.h"

namespace qtk {

const std::array<FontEntry, kFontSize> kSegmentFont = {{
    {'.', 0xFE},  {'0', 0x03},  {'1', 0x9F},  {'2', 0x25},  {'3', 0x0D},  {'4', 0x99},
    {'5', 0x49},  {'6', 0x41},  {'7', 0x1F},  {'8', 0x01},  {'9', 0x09},  {'a', 0x11},
    {'A', 0x11},  {'b', 0xC1},  {'B', 0xC1},  {'c', 0x63},  {'C', 0x63},  {'d', 0x85},
    {'D', 0x85},  {'e', 0x61},  {'E', 0x61},  {'f', 0x71},  {'F', 0x71},  {'g', 0x09},
    {'G', 0x43},  {'h', 0x91},  {'H', 0x91},  {'i', 0xDF},  {'I', 0xF3},  {'j', 0x8F},
    {'J', 0x8F},  {'l', 0xE3},  {'L', 0xE3},  {'n', 0xD5},  {'N', 0x13},  {'o', 0xC5},
    {'O', 0x03},  {'p', 0x31},  {'P', 0x31},  {'q', 0x19},  {'Q', 0x19},  {'r', 0xF5},
    {'R', 0x11},  {'s', 0x49},  {'S', 0x49},  {'t', 0xE1},  {'T', 0x73},  {'u', 0x83},
    {'U', 0x83},  {':', 0x3F},  {'-', 0xFD},  {'_', 0xEF},  {' ', 0xFF},  {0x81, 0x7F},
    {0x82, 0xFB}, {0x83, 0xF7}, {0x84, 0xF3}, {0x85, 0xBF}, {0x86, 0xDF}, {0x87, 0x9F},
}};

namespace {

namespace msg = panel_messages;

// Canonical segment bits.
constexpr int kH = 0, kG = 1, kF = 2, kE = 3, kD = 4, kC = 5, kB = 6, kA = 7;
constexpr int kScanTypeBit = 2;
constexpr int kIrpShift = 4;
constexpr int kIrpWidth = 3;
constexpr int kDigitShift = 4;
constexpr int kDigitWidth = 4;
// The digit count is a 4-bit field.
constexpr int kMaxDigits = 15;
constexpr int kMaxScope = 100;
constexpr size_t kMaxScopeDigits = 3;
constexpr long long kTypedMax = 1 << 30;

std::optional<uint8_t> PatternOf(const std::vector<uint16_t>& table, uint8_t character) {
  for (uint16_t entry : table) {
    if ((entry & 0xFF) == character)
      return static_cast<uint8_t>(entry >> 8);
  }
  return std::nullopt;
}

std::optional<int> BitOfText(const std::string& text) {
  for (int bit = 0; bit < 8; ++bit) {
    if (text == PanelPage::BitText(bit))
      return bit;
  }
  return std::nullopt;
}

// Moves `bit` to `row`; the row that held it takes the edited row's old bit, so the
// assignment stays a permutation.
template <size_t N>
void SwapInBit(std::array<int, N>& bits, size_t first_row, size_t row, int bit) {
  const int old = bits[row];
  for (size_t r = first_row; r < N; ++r) {
    if (r != row && bits[r] == bit) {
      bits[r] = old;
      break;
    }
  }
  bits[row] = bit;
}

}  // namespace

std::array<uint16_t, kFontSize> BuildCharacterTable(const SegmentBits& assignment, int polarity,
                                                    int toggled_bit) {
  std::array<uint16_t, kFontSize> table{};
  for (size_t i = 0; i < kFontSize; ++i) {
    const FontEntry& font = kSegmentFont[i];
    unsigned out = 0;
    for (size_t s = 0; s < kSegmentCount; ++s) {
      const bool dark = (font.pattern >> s) & 1;
      if (dark != (polarity == 1))
        out |= 1u << (assignment[s] & 7);
    }
    if (toggled_bit >= 0 && toggled_bit < 8)
      out ^= 1u << toggled_bit;
    table[i] = static_cast<uint16_t>(font.character | (out & 0xFF) << 8);
  }
  return table;
}

SegmentReading ReadCharacterTable(const std::vector<uint16_t>& table, const SegmentBits& start) {
  auto pattern = [&table](char c) { return PatternOf(table, static_cast<uint8_t>(c)); };
  // Two characters that differ in one segment reveal its bit; a missing one reveals nothing.
  auto differ = [&pattern](char a, char b) -> unsigned {
    const auto pa = pattern(a), pb = pattern(b);
    return pa && pb ? static_cast<unsigned>(*pa ^ *pb) : 0u;
  };
  std::array<unsigned, kSegmentCount> masks{};
  masks[kA] = differ('1', '7');
  masks[kB] = differ('6', '8');
  masks[kE] = differ('5', '6');
  masks[kG] = differ('0', '8');
  masks[kH] = differ(' ', '.');
  if (masks[kH] == 0)
    masks[kH] = 1;

  SegmentReading reading;
  const auto seven = pattern('7');
  reading.polarity = seven && (*seven & masks[kA]) != 0 ? 1 : 0;
  if (const auto space = pattern(' ')) {
    const bool dot_bit_set = (*space & masks[kH]) != 0;
    reading.dot_inverted = reading.polarity == 1 ? dot_bit_set : !dot_bit_set;
  }
  // The segments a character lights besides the known ones: the known segments as they are
  // drawn, the dot included when it is wired the other way.
  auto extra = [&](char c, unsigned known) -> unsigned {
    const auto p = pattern(c);
    if (!p)
      return 0;
    if (reading.dot_inverted)
      known |= masks[kH];
    if (reading.polarity == 0)
      known = ~known & 0xFF;
    return (*p ^ known) & 0xFF;
  };
  masks[kD] = extra('2', masks[kA] | masks[kB] | masks[kE] | masks[kG]);
  masks[kC] = extra('3', masks[kA] | masks[kB] | masks[kD] | masks[kG]);
  masks[kF] = extra('4', masks[kB] | masks[kC] | masks[kG]);
  for (size_t s = 0; s < kSegmentCount; ++s) {
    reading.bits[s] = masks[s] != 0 ? std::countr_zero(masks[s]) : start[s];
  }
  return reading;
}

std::string PanelPage::SignalRowName(size_t row) {
  return row == 0 ? "Dark all" : "Light segment " + std::to_string(row);
}

std::string PanelPage::SegmentRowName(size_t row) {
  return std::string("Segment ") + "HGFEDCBA"[row % kSegmentCount];
}

std::string PanelPage::BitText(int bit) {
  return "Bit " + std::to_string(bit);
}

void PanelPage::Load() {
  const CustomerSettings& s = settings();
  std::copy_n(s.bytes().begin() + record::kSignalLedEnable, signal_block_.size(),
              signal_block_.begin());

  const uint8_t scan = s.U8(record::kPanelScanType);
  irp_type.Fill(config().GetPanelIrpType(), GetBits(scan, kIrpShift, kIrpWidth));
  scan_type.Fill({"Slot Scan", "Shadow Scan"}, GetBits(scan, kScanTypeBit, 1));
  const int digits = GetBits(s.U8(record::kLedDigits), kDigitShift, kDigitWidth);
  std::vector<std::string> counts;
  for (int n = 1; n <= std::min(kMaxDigits, std::max<int>(config().limits.led_max_count, digits));
       ++n) {
    counts.push_back(std::to_string(n));
  }
  led_number.Fill(counts, digits - 1);
  repeat_first_ = {static_cast<int>(std::min<uint32_t>(s.U32(record::kKeyRepeatFirst), kTypedMax)),
                   false};
  repeat_normal_ = {
      static_cast<int>(std::min<uint32_t>(s.U32(record::kKeyRepeatNormal), kTypedMax)), false};

  std::vector<std::string> bits;
  for (int bit = 0; bit < 8; ++bit)
    bits.push_back(BitText(bit));
  dot_enable.Fill(config().GetOffOnOption(), s.U8(record::kLedDotEnable));
  dot_com.Fill(config().GetLEDDotCom(), s.U8(record::kLedDotCom));
  dot_position.Fill(bits, s.U8(record::kLedDotPosition));
  dot_polarity.Fill(config().GetGPIOPolar(), s.U8(record::kLedDotPolarity));
  signal_enabled_ = signal_block_[0] != 0;
  signal_polarity.Fill(config().GetGPIOPolar(), signal_block_[kPatternStart] != 0 ? 0 : 1);
  signal_com.Fill(config().GetSignalLedCom(), signal_block_[1]);

  signal_bits_[0] = -1;
  for (size_t k = 1; k < kSignalRows; ++k) {
    const unsigned changed =
        signal_block_[kPatternStart + k] ^ signal_block_[kPatternStart + k - 1];
    signal_bits_[k] = changed != 0 ? std::countr_zero(changed) : static_cast<int>(k - 1);
  }

  const SegmentReading reading = ReadCharacterTable(s.character_table(), kCanonicalSegmentBits);
  segment_bits_ = reading.bits;
  dot_inverted_ = reading.dot_inverted;
  led_polarity.Fill(config().GetGPIOPolar(), reading.polarity);
  ApplyEnabling();
}

void PanelPage::ApplyEnabling() {
  const bool dot = dot_enable.selection > 0;
  dot_com.enabled = dot;
  dot_polarity.enabled = dot;
  dot_position.enabled = false;
  signal_com.enabled = signal_enabled_;
  signal_polarity.enabled = signal_enabled_;
}

void PanelPage::SelectDotEnable(int index) {
  dot_enable.Select(index);
  ApplyEnabling();
}

void PanelPage::SetSignalEnabled(bool on) {
  signal_enabled_ = on;
  ApplyEnabling();
}

void PanelPage::EditScope(size_t row, const std::string& text) {
  if (row >= kSignalRows)
    return;
  const std::string trimmed = Trim(text, TrimMode::kBoth, " ");
  const std::optional<uint32_t> value =
      trimmed.size() <= kMaxScopeDigits ? DecimalValue(trimmed) : std::nullopt;
  if (!value || *value > kMaxScope) {
    dialogs().ShowMessage(msg::kScopeRange, MessageIcon::Error);
    return;
  }
  signal_block_[kScopeStart + row] = static_cast<uint8_t>(*value);
}

void PanelPage::EditSignalBit(size_t row, const std::string& text) {
  const std::optional<int> bit = BitOfText(text);
  if (row == 0 || row >= kSignalRows || !bit)
    return;
  SwapInBit(signal_bits_, 1, row, *bit);
}

void PanelPage::EditSegmentBit(size_t row, const std::string& text) {
  const std::optional<int> bit = BitOfText(text);
  if (row >= kSegmentCount || !bit)
    return;
  SwapInBit(segment_bits_, 0, row, *bit);
  if (row == kH)
    dot_position.Select(*bit);
}

void PanelPage::ReverseDirection() {
  for (size_t k = 1; k <= 4; ++k)
    std::swap(signal_bits_[k], signal_bits_[kSignalRows - k]);
}

void PanelPage::SetKeyRepeatFirst(long long value) {
  repeat_first_ = {static_cast<int>(std::clamp<long long>(value, 0, kKeyRepeatMax)), true};
}

void PanelPage::SetKeyRepeatNormal(long long value) {
  repeat_normal_ = {static_cast<int>(std::clamp<long long>(value, 0, kKeyRepeatMax)), true};
}

bool PanelPage::FinishKeyRepeat(EditedNumber& number, const char* message) {
  if (!number.changed)
    return true;
  number.changed = false;
  if (number.value >= kKeyRepeatMin)
    return true;
  dialogs().ShowMessage(FormatCountMessage(message, kKeyRepeatMin));
  number.value = kKeyRepeatMin;
  return false;
}

bool PanelPage::FinishKeyRepeatFirst() {
  return FinishKeyRepeat(repeat_first_, msg::kRepeatFirstLow);
}

bool PanelPage::FinishKeyRepeatNormal() {
  return FinishKeyRepeat(repeat_normal_, msg::kRepeatNormalLow);
}

void PanelPage::FinishEditing() {
  FinishKeyRepeatFirst();
  FinishKeyRepeatNormal();
}

bool PanelPage::Validate() {
  FinishEditing();
  return true;
}

bool PanelPage::Store() {
  CustomerSettings& s = settings();
  if (signal_enabled_) {
    for (size_t i = kSignalRows - 1; i >= 1; --i) {
      for (size_t j = 0; j < i; ++j) {
        if (scope(i) < scope(j)) {
          dialogs().ShowTitledMessage(
              msg::kScopeOrderTitle,
              FormatPairMessage(msg::kScopeOrder, SignalRowName(i), SignalRowName(j)),
              MessageIcon::Error);
          return false;
        }
      }
    }
  }
  // Outside the debug mode (the first system mode) every segment needs its own drive bit.
  if (s.U8(record::kSystemMode) == 0) {
    SegmentBits sorted = segment_bits_;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
      dialogs().ShowMessage(msg::kSameBit, MessageIcon::Error);
      return false;
    }
  }

  const int polarity = std::max(led_polarity.selection, 0);
  const bool dot_on = dot_enable.selection > 0;
  const int toggled =
      dot_on && led_polarity.selection != dot_polarity.selection ? dot_position.selection : -1;
  const std::array<uint16_t, kFontSize> table =
      BuildCharacterTable(segment_bits_, polarity, toggled);
  for (size_t i = 0; i < table.size(); ++i)
    s.SetU16(record::kCharacterTable + 2 * i, table[i]);
  s.SetU32(record::kCharacterTableCount, kFontSize);
  s.character_table().assign(table.begin(), table.end());

  uint8_t scan = s.U8(record::kPanelScanType);
  PutSelectionBits(scan, kIrpShift, kIrpWidth, irp_type);
  PutSelectionBits(scan, kScanTypeBit, 1, scan_type);
  s.SetU8(record::kPanelScanType, scan);
  if (led_number.HasSelection()) {
    s.SetU8(record::kLedDigits,
            WithBits(s.U8(record::kLedDigits), kDigitShift, kDigitWidth, led_number.selection + 1));
  }
  s.SetU32(record::kKeyRepeatFirst, static_cast<uint32_t>(repeat_first_.value));
  s.SetU32(record::kKeyRepeatNormal, static_cast<uint32_t>(repeat_normal_.value));

  if (dot_enable.HasSelection())
    s.SetU8(record::kLedDotEnable, dot_enable.StoredByte());
  if (dot_enable.selection == 1) {
    if (dot_com.HasSelection())
      s.SetU8(record::kLedDotCom, dot_com.StoredByte());
    if (dot_position.HasSelection())
      s.SetU8(record::kLedDotPosition, dot_position.StoredByte());
    if (dot_polarity.HasSelection())
      s.SetU8(record::kLedDotPolarity, dot_polarity.StoredByte());
  }

  if (!signal_enabled_) {
    s.SetU8(record::kSignalLedEnable, 0);
    return true;
  }
  signal_block_[0] = 1;
  if (signal_com.HasSelection())
    signal_block_[1] = signal_com.StoredByte();
  const bool lit_is_zero = signal_polarity.selection == 0;
  uint8_t pattern = lit_is_zero ? 0xFF : 0x00;
  signal_block_[kPatternStart] = pattern;
  for (size_t k = 1; k < kSignalRows; ++k) {
    const auto bit = static_cast<uint8_t>(1u << (signal_bits_[k] & 7));
    pattern =
        lit_is_zero ? static_cast<uint8_t>(pattern & ~bit) : static_cast<uint8_t>(pattern | bit);
    signal_block_[kPatternStart + k] = pattern;
  }
  std::copy(signal_block_.begin(), signal_block_.end(),
            s.bytes().begin() + record::kSignalLedEnable);
  return true;
}

void PanelPage::ImportSettings(const CustomerSettings::Bytes& file) {
  ImportPanelSettings(settings(), file);
  Load();
}

std::string PanelPage::SetSignalRows(const FieldRows& rows) {
  if (rows.size() != kSignalRows)
    return "the list has " + std::to_string(kSignalRows) + " rows, not " +
           std::to_string(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].size() != 3 || rows[i][0] != SignalRowName(i))
      return "row " + std::to_string(i + 1) + " must be " + DescribeValue(SignalRowName(i)) +
             ", its scope and its bit";
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i][1] != std::to_string(scope(i)))
      EditScope(i, rows[i][1]);
    if (rows[i][1] != std::to_string(scope(i)))
      return "row " + std::to_string(i + 1) + " keeps the scope " + std::to_string(scope(i));
    if (i > 0 && rows[i][2] != BitText(signal_bits_[i]))
      EditSignalBit(i, rows[i][2]);
  }
  return {};
}

std::string PanelPage::SetSegmentRows(const FieldRows& rows) {
  if (rows.size() != kSegmentCount)
    return "the list has " + std::to_string(kSegmentCount) + " rows, not " +
           std::to_string(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].size() != 2 || rows[i][0] != SegmentRowName(i))
      return "row " + std::to_string(i + 1) + " must be " + DescribeValue(SegmentRowName(i)) +
             " and its bit";
  }
  // Bits are swapped in, so a whole new assignment is taken row by row in list order.
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i][1] != BitText(segment_bits_[i]))
      EditSegmentBit(i, rows[i][1]);
  }
  return {};
}

std::vector<PageField> PanelPage::Fields() {
  PageField signal;
  signal.name = "Signal quality LED enable";
  signal.kind = FieldKind::kChoice;
  signal.choices = [] { return std::vector<std::string>{"Off", "On"}; };
  signal.get = [this] { return FieldValue(std::string(signal_enabled_ ? "On" : "Off")); };
  signal.set = [this](const FieldValue& value) {
    SetSignalEnabled(std::get<std::string>(value) == "On");
    return std::string();
  };
  auto hidden = [] { return false; };
  auto signal_on = [this] { return signal_enabled_; };
  return {
      ChoiceField("Scan type", scan_type),
      ChoiceField("LED number", led_number),
      ChoiceField("LED Dot Enable", dot_enable, [this](int index) { SelectDotEnable(index); }),
      ChoiceField("Dot COM port", dot_com),
      ChoiceField("LED Dot position", dot_position),
      ChoiceField("Dot polariry", dot_polarity),
      ChoiceField("LED polarity", led_polarity),
      std::move(signal),
      ChoiceField("COM port", signal_com),
      ChoiceField("Polarity", signal_polarity),
      ListField(
          "Signal list", {"LED segment", "Scope", "Bit"},
          [this] {
            FieldRows out;
            for (size_t i = 0; i < kSignalRows; ++i)
              out.push_back({SignalRowName(i), std::to_string(scope(i)),
                             i == 0 ? "N/A" : BitText(signal_bits_[i])});
            return out;
          },
          [this](const FieldRows& rows) { return SetSignalRows(rows); })
          .EnabledWhen(signal_on),
      ListField(
          "Segment list", {"LED segment", "Bit"},
          [this] {
            FieldRows out;
            for (size_t i = 0; i < kSegmentCount; ++i)
              out.push_back({SegmentRowName(i), BitText(segment_bits_[i])});
            return out;
          },
          [this](const FieldRows& rows) { return SetSegmentRows(rows); }),
      ChoiceField("IRP type", irp_type).ShownWhen(hidden),
      NumberField(
          "Key repeat first", 4, [this] { return repeat_first_.value; },
          [this](long long v) {
            SetKeyRepeatFirst(v);
            FinishKeyRepeatFirst();
          })
          .ShownWhen(hidden),
      NumberField(
          "Key repeat normal", 4, [this] { return repeat_normal_.value; },
          [this](long long v) {
            SetKeyRepeatNormal(v);
            FinishKeyRepeatNormal();
          })
          .ShownWhen(hidden),
  };
}

}  // namespace qtk
