#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/combo_state.h"
#include "pages/page_base.h"

namespace qtk {

namespace panel_messages {
inline constexpr const char* kScopeRange = "the signal scope is in 0 - 100.";
inline constexpr const char* kScopeOrder = "%s value should large than %s";
inline constexpr const char* kScopeOrderTitle = "Error";
inline constexpr const char* kSameBit =
    "A same bit can not be assigned to different LED segments when the debug mode is turned off.";
inline constexpr const char* kRepeatFirstLow = "the key repeat first can not low than %d ms!";
inline constexpr const char* kRepeatNormalLow = "the key repeat normal can not low than %d ms!";
}  // namespace panel_messages

// The 7-segment font the character table is built from: a character and its pattern over the
// canonical segment bits H (the dot) = bit 0, G, F, E, D, C, B, A = bit 7, a 0 bit lit.
struct FontEntry {
  uint8_t character;
  uint8_t pattern;
};
inline constexpr size_t kFontSize = 60;
extern const std::array<FontEntry, kFontSize> kSegmentFont;

// Segment rows in list order: "Segment H" (canonical bit 0) to "Segment A" (bit 7).
inline constexpr size_t kSegmentCount = 8;
using SegmentBits = std::array<int, kSegmentCount>;
inline constexpr SegmentBits kCanonicalSegmentBits = {0, 1, 2, 3, 4, 5, 6, 7};

// The character table entries (character in the low byte, pattern in the high byte, as the
// record keeps them) for an assignment of the canonical segments to LED drive bits and the
// LED polarity (1: a lit segment is a 1 bit); `toggled_bit` (0-7, or -1 for none) is inverted
// in every pattern, for a dot wired with the other polarity.
std::array<uint16_t, kFontSize> BuildCharacterTable(const SegmentBits& assignment, int polarity,
                                                    int toggled_bit);

// What a character table tells about the wiring: the bit of each segment, the polarity and
// whether the dot is wired with the other polarity. A segment the table does not reveal keeps
// its bit from `start`.
struct SegmentReading {
  SegmentBits bits{};
  int polarity = 0;
  bool dot_inverted = false;
  bool operator==(const SegmentReading&) const = default;
};
SegmentReading ReadCharacterTable(const std::vector<uint16_t>& table, const SegmentBits& start);

// The Panel page: key scan, LED digits, the segment wiring of the LED drive byte with its
// polarity (read from and written as the character table), the decimal dot and the signal
// quality LED bar with its scopes.
class PanelPage : public PageModel<PageId::kPanel> {
 public:
  static constexpr size_t kSignalRows = 9;  // "Dark all", "Light segment 1" .. 8
  static constexpr int kKeyRepeatMin = 50;
  static constexpr int kKeyRepeatMax = 1000;

  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  bool Validate() override;
  void FinishEditing() override;
  // Takes offsets 164-395 of a setting file and reads the page again; the main window has the
  // Key map and GPIO usage pages read their parts again.
  void ImportSettings(const CustomerSettings::Bytes& file) override;
  std::vector<PageField> Fields() override;

  static std::string SignalRowName(size_t row);
  static std::string SegmentRowName(size_t row);
  static std::string BitText(int bit);

  ComboState scan_type;
  ComboState led_number;
  ComboState dot_enable;
  ComboState dot_com;
  ComboState dot_position;  // always disabled: follows "Segment H"
  ComboState dot_polarity;
  ComboState led_polarity;
  ComboState signal_com;
  ComboState signal_polarity;
  ComboState irp_type;  // hidden, but loaded and stored

  void SelectDotEnable(int index);
  bool signal_enabled() const { return signal_enabled_; }
  void SetSignalEnabled(bool on);

  int scope(size_t row) const { return signal_block_[kScopeStart + row]; }
  // Signal row 0 has no bit.
  int signal_bit(size_t row) const { return signal_bits_[row]; }
  const SegmentBits& segment_bits() const { return segment_bits_; }
  bool dot_inverted() const { return dot_inverted_; }

  // The end of a cell edit; a refused text leaves the cell as it was.
  void EditScope(size_t row, const std::string& text);
  void EditSignalBit(size_t row, const std::string& text);
  void EditSegmentBit(size_t row, const std::string& text);
  void ReverseDirection();

  int key_repeat_first() const { return repeat_first_.value; }
  int key_repeat_normal() const { return repeat_normal_.value; }
  void SetKeyRepeatFirst(long long value);
  void SetKeyRepeatNormal(long long value);
  // Leaving an edit: a value the user changed below 50 becomes 50, with a message. True when
  // the value stood.
  bool FinishKeyRepeatFirst();
  bool FinishKeyRepeatNormal();

 private:
  static constexpr size_t kPatternStart = 2;  // signal block offsets from record byte 340
  static constexpr size_t kScopeStart = 11;
  struct EditedNumber {
    int value = 0;
    bool changed = false;
  };
  bool FinishKeyRepeat(EditedNumber& number, const char* message);
  void ApplyEnabling();
  std::string SetSignalRows(const FieldRows& rows);
  std::string SetSegmentRows(const FieldRows& rows);

  std::array<uint8_t, 20> signal_block_{};
  bool signal_enabled_ = false;
  std::array<int, kSignalRows> signal_bits_{};
  SegmentBits segment_bits_ = kCanonicalSegmentBits;
  bool dot_inverted_ = false;
  EditedNumber repeat_first_;
  EditedNumber repeat_normal_;
};

}  // namespace qtk
