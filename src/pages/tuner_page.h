#pragma once

#include <string>
#include <vector>

#include "pages/combo_state.h"
#include "pages/page_base.h"

namespace qtk {

namespace tuner_messages {
inline constexpr const char* kQualityZoomRange = "Signal quality zoom should be in 50 - 300!\n";
inline constexpr const char* kIntensityZoomRange = "Signal intensity zoom should be in 50 - 300!\n";
}  // namespace tuner_messages

// The characters the page's edit boxes accept: its hexadecimal fields and its numbers.
inline constexpr const char* kTunerHexCharacters = "0123456789abcdefABCDEF";

// The most characters each edit of the page takes.
namespace tuner_edit_lengths {
inline constexpr size_t kUserCrystal = 5;
inline constexpr size_t kZoom = 3;
inline constexpr size_t kFrequency = 4;
inline constexpr size_t kFilterBandwidth = 5;
inline constexpr size_t kByteHex = 2;
inline constexpr size_t kQpskConfig = 4;
}  // namespace tuner_edit_lengths

// The Tuner page: the tuner type, the I/Q interface bits of record byte 144, the offered tuner
// types, and (configuration version 2 and later) the per-type parameter entries at 1160 with
// the tuner-driver chunk that follows the chosen type.
class TunerPage : public PageModel<PageId::kTuner> {
 public:
  // One row of the tuner list: the type's name and its "Enable" text (an [OffOnOption] word).
  struct Row {
    std::string name;
    std::string enable;
    bool operator==(const Row&) const = default;
  };

  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  // Leaving the page ends the edit in progress; the page never refuses.
  bool Validate() override;
  // Runs the rule of every number edit the user changed and has not left yet, as leaving
  // the edit does. Values the user never touched keep what the record gave them.
  void FinishEditing() override;
  void ImportSettings(const CustomerSettings::Bytes& file) override;
  std::vector<PageField> Fields() override;

  // False after a Load that found fewer than two [OffOnOption] words; the page then stays
  // empty and its Store writes nothing.
  bool loaded() const { return loaded_; }
  bool extended() const { return extended_; }
  bool list_shown() const { return list_shown_; }
  int driver_chunk_index() const { return driver_chunk_index_; }
  int current_entry() const { return current_entry_; }

  // The combos, in the order the page shows them.
  ComboState tuner_type;
  ComboState polarity;
  ComboState single_crystal;
  ComboState iq_enable;
  ComboState q_set;
  ComboState iq_set;
  ComboState i_set;
  ComboState diff_single;

  // Hexadecimal fields, kept as typed; Store reads them (an empty or malformed text is 0).
  std::string base_address;
  std::string agc_threshold1;
  std::string agc_threshold2;
  std::string qpsk_config;

  // The number edits. Typing goes through the setters; the rule of an edit runs when the
  // edit loses the focus (Finish...), and only when the user changed it.
  int user_crystal() const { return user_crystal_; }
  int quality_zoom() const { return quality_zoom_.value; }
  int intensity_zoom() const { return intensity_zoom_.value; }
  int frequency_low() const { return frequency_low_.value; }
  int frequency_high() const { return frequency_high_.value; }
  int filter_bandwidth() const { return filter_bandwidth_.value; }

  // "User crystal " on every change: above 65535 becomes 65535.
  void SetUserCrystal(long long value);
  void SetQualityZoom(long long value);
  void SetIntensityZoom(long long value);
  void SetFrequencyLow(long long value);
  void SetFrequencyHigh(long long value);
  void SetFilterBandwidth(long long value);
  void FinishQualityZoom();
  void FinishIntensityZoom();
  void FinishFrequencyLow();
  void FinishFrequencyHigh();
  void FinishFilterBandwidth();

  const std::vector<Row>& rows() const { return rows_; }
  // The texts the "Enable" cell of a row offers.
  std::vector<std::string> EnableChoices(int row) const;
  // After an "Enable" cell changed: rebuilds "Tuner type" from the enabled rows and runs the
  // tuner type change.
  void SetRowEnable(int row, const std::string& text);

  // Selection change of "Tuner type".
  void SelectTunerType(int selection);
  // Selection change of "I/Q enable"; the dependent combos follow.
  void SelectIqEnable(int selection);
  // "Q+/Q-", "I+/I-", "I/Q" and "Diff/Single" are usable unless "I/Q enable" says off.
  bool IqControlsEnabled() const { return iq_enable.selection != 0; }

 private:
  // A number edit whose rule waits until the edit loses the focus.
  struct EditedNumber {
    int value = 0;
    bool changed = false;  // typed into since the edit was last left or filled
    void Put(int v) {
      value = v;
      changed = false;
    }
    void Type(long long typed);
  };

  // The tuner type list of the current format, cut to the 15 slots the record has.
  NamedValueList TypeList() const;
  NamedValueList ExtTypeList() const;
  void ReorderEntries(const NamedValueList& ext);
  void ShowEntry(int index);
  void WriteEntry(int index);
  void WriteExtCodes(const NamedValueList& ext);
  void ChooseDriverFile();
  void ApplyIqDependency();
  void TunerTypeChanged();
  std::optional<int> CodeOf(const std::string& name) const;
  void FinishZoom(EditedNumber& zoom, const char* message);
  static void FinishRange(EditedNumber& number, int min, int max);
  std::string SetRows(const std::vector<std::vector<std::string>>& rows);

  bool loaded_ = false;
  bool extended_ = false;
  bool list_shown_ = false;
  int driver_chunk_index_ = -1;
  int current_entry_ = 0;
  std::string off_word_;
  std::string on_word_;
  std::vector<Row> rows_;
  int user_crystal_ = 0;
  EditedNumber quality_zoom_{100};
  EditedNumber intensity_zoom_{100};
  EditedNumber frequency_low_;
  EditedNumber frequency_high_;
  EditedNumber filter_bandwidth_;
};

}  // namespace qtk
