#pragma once

#include <array>
#include <string>
#include <vector>

#include "pages/combo_state.h"
#include "pages/page_base.h"

namespace qtk {

namespace av_set_messages {
inline constexpr const char* kSameDac = "Can not select the same DAC twice!";
inline constexpr const char* kNoVideoOutput = "At least ENABLE opening one video output in AV set!";
}  // namespace av_set_messages

namespace av_set_texts {
inline constexpr const char* kNoDac = "N/A";
// The RF mode whose channels have names.
inline constexpr int kNamedChannelMode = 4;
inline constexpr size_t kRfChannelDigits = 3;
}  // namespace av_set_texts

// The AV set page: TV mode, program mode, the RF modulator's mode and channel, and the video
// output table (record bytes 124-143), one entry per output code: enabled, and the DAC values
// that drive the output's first, second and third signal. Edits of the output list go into
// the table as they are made; the other controls are written by Store.
class AvSetPage : public PageModel<PageId::kAvSet> {
 public:
  // One row of the video output list: a [DACType] entry whose output code is 0 to 4. Cells
  // are "Video output", "Enable", and the three DAC columns.
  struct Row {
    std::string name;
    int code = 0;       // the table entry the row edits
    int dac_count = 0;  // how many DACs the output uses
    std::array<std::string, 5> cells;
    bool operator==(const Row&) const = default;
  };
  static constexpr int kEnableColumn = 1;
  static constexpr int kFirstDacColumn = 2;

  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  bool Validate() override;
  void FinishEditing() override;
  std::vector<PageField> Fields() override;

  ComboState tv_mode;
  ComboState program_mode;
  ComboState rf_mode;

  // The RF mode choice: the channel becomes the new mode's lowest channel.
  void SelectRfMode(int index);

  int rf_channel() const { return rf_channel_; }
  int rf_channel_low() const { return rf_low_; }
  int rf_channel_high() const { return rf_high_; }
  // The text beside the channel: its name in the RF mode that names its channels.
  std::string rf_channel_name() const;
  // The spin button: +1 up, -1 down, held at the ends of the range; a channel outside the
  // range goes to the lowest channel.
  void StepRfChannel(int delta);
  // Typing: a number above the highest channel gives the previous channel back (the lowest
  // one when the previous was outside the range); lower numbers wait for the edit to be left.
  void SetRfChannel(long long typed);
  // Leaving the channel box after typing: the channel is held within the range.
  void FinishRfChannel();

  const std::vector<Row>& rows() const { return rows_; }
  // The texts a cell's drop-down offers; nothing for the read-only "Video output" column.
  std::vector<std::string> CellChoices(int row, int column) const;
  // A choice made in a cell; a text the cell does not offer changes nothing.
  void SetCell(int row, int column, const std::string& text);
  // Selecting a row names the DAC columns after the signals of its output.
  void SelectRow(int row);
  std::array<std::string, 3> DacHeaders() const;

 private:
  size_t EntryOffset(int code) const;
  bool DacValueUnique(int value);
  std::string DacName(int value) const;
  void SetRange(int index);
  std::string SetRows(const std::vector<std::vector<std::string>>& rows);

  bool list_filled_ = false;
  std::string off_word_;
  std::string on_word_;
  std::vector<Row> rows_;
  int header_code_ = -1;  // output code of the selected row; -1 before any selection
  int rf_channel_ = 0;
  int rf_low_ = 0;
  int rf_high_ = 0;
  bool rf_channel_typed_ = false;
};

}  // namespace qtk
