#pragma once

#include <string>
#include <vector>

#include "pages/combo_state.h"
#include "pages/page_base.h"

namespace qtk {

// The most characters each edit of the page takes.
namespace ota_edit_lengths {
inline constexpr size_t kNumber = 5;  // the 16-bit decimal fields
inline constexpr size_t kPid = 4;
inline constexpr size_t kOui = 6;
inline constexpr size_t kModelOrVersion = 4;
}  // namespace ota_edit_lengths

inline constexpr const char* kOtaHexCharacters = "0123456789abcdefABCDEF";
// The frequencies and the symbol rate are 16-bit record fields.
inline constexpr int kOtaNumberMax = 0xFFFF;
// The PID an empty "OTA PID" edit stores.
inline constexpr uint16_t kOtaDefaultPid = 0x100;
// Bytes 1450-1451 on every store: 'O', 'T'.
inline constexpr uint16_t kOtaMarker = 0x544F;

// A drop-down whose text the user may also type. The entries are fixed by the page; a typed
// text that names an entry selects it, any other text leaves the drop-down without a selection
// (stored as the first entry's value, 0).
struct EditableChoice {
  ComboState combo;
  std::string text;  // what the drop-down's edit shows

  void Fill(std::vector<std::string> entries, int stored_value) {
    combo.Fill(std::move(entries), stored_value);
    text = combo.SelectedText();
  }
  void Pick(int index) {
    combo.Select(index);
    text = combo.SelectedText();
  }
  void Type(std::string typed) {
    text = std::move(typed);
    combo.selection = combo.Find(text);
  }
  // The record byte: the selection, 0 for none.
  uint8_t Value() const { return combo.HasSelection() ? static_cast<uint8_t>(combo.selection) : 0; }
};

// The OTA set page: the satellite downlink and identity of over-the-air updates, record bytes
// 1416-1451.
class OtaPage : public PageModel<PageId::kOtaSet> {
 public:
  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  void ImportSettings(const CustomerSettings::Bytes& file) override;
  std::vector<PageField> Fields() override;

  int frequency() const { return frequency_; }
  int symbol_rate() const { return symbol_rate_; }
  int lnb_frequency_h() const { return lnb_frequency_h_; }
  int lnb_frequency_v() const { return lnb_frequency_v_; }
  // Typed numbers above 65535 become 65535 at once: the record has 16 bits for each, and a
  // frequency cut to its low bits would send the box to another transponder.
  void SetFrequency(long long value) { frequency_ = Clamped(value); }
  void SetSymbolRate(long long value) { symbol_rate_ = Clamped(value); }
  void SetLnbFrequencyH(long long value) { lnb_frequency_h_ = Clamped(value); }
  void SetLnbFrequencyV(long long value) { lnb_frequency_v_ = Clamped(value); }

  // The hexadecimal texts as typed; Store reads them.
  std::string pid;
  std::string oui;
  std::string hardware_model;
  std::string hardware_version;
  std::string software_model;
  std::string software_version;

  EditableChoice polarity;
  EditableChoice tone_22k;
  EditableChoice diseqc;
  EditableChoice ota_enable;
  EditableChoice lnb_type;  // hidden on the page, kept in the record

 private:
  static int Clamped(long long value);

  int frequency_ = 0;
  int symbol_rate_ = 0;
  int lnb_frequency_h_ = 0;
  int lnb_frequency_v_ = 0;
};

}  // namespace qtk
