#pragma once

#include <string>
#include <vector>

#include "pages/combo_state.h"
#include "pages/settings_page.h"

namespace qtk {

namespace tuner_messages {
inline constexpr const char* kQualityZoomRange = "Signal quality zoom should be in 50 - 300!\n";
inline constexpr const char* kIntensityZoomRange = "Signal intensity zoom should be in 50 - 300!\n";
}  // namespace tuner_messages

// The characters the page's edit boxes accept: its hexadecimal fields and its numbers.
inline constexpr const char* kTunerHexCharacters = "0123456789abcdefABCDEF";

// The Tuner page: the tuner type, the I/Q interface bits of record byte 144, the offered tuner
// types, and (configuration version 2 and later) the per-type parameter entries at 1160 with
// the tuner-driver chunk that follows the chosen type.
class TunerPage : public SettingsPage {
 public:
  // One row of the tuner list: the type's name and its "Enable" text (an [OffOnOption] word).
  struct Row {
    std::string name;
    std::string enable;
    bool operator==(const Row&) const = default;
  };

  explicit TunerPage(const PageContext& context) : context_(context) {}

  PageId Id() const override { return PageId::kTuner; }
  void Load() override;
  bool Store() override;
  // Applies every single-edit rule, as leaving each edit would.
  bool Validate() override;
  void ImportSettings(const CustomerSettings::Bytes& file) override;

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

  // Values behind the edits. Hexadecimal fields are kept as typed.
  int user_crystal = 0;
  int quality_zoom = 100;
  int intensity_zoom = 100;
  int frequency_low = 0;
  int frequency_high = 0;
  int filter_bandwidth = 0;
  std::string base_address;
  std::string agc_threshold1;
  std::string agc_threshold2;
  std::string qpsk_config;

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

  // "User crystal " on every change: above 65535 becomes 65535.
  void SetUserCrystal(long long value);
  // The rules applied when an edit loses the focus.
  void FinishQualityZoom();
  void FinishIntensityZoom();
  void FinishFrequencyLow();
  void FinishFrequencyHigh();
  void FinishFilterBandwidth();

 private:
  FirmwareProject& project() const { return *context_.project; }
  CustomerSettings& settings() const { return context_.project->settings; }
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
  int FinishZoom(int value, const char* message);

  PageContext context_;
  bool loaded_ = false;
  bool extended_ = false;
  bool list_shown_ = false;
  int driver_chunk_index_ = -1;
  int current_entry_ = 0;
  std::string off_word_;
  std::string on_word_;
  std::vector<Row> rows_;
};

}  // namespace qtk
