#pragma once

#include <string>
#include <vector>

#include "pages/page_base.h"
#include "pages/program_set_entries.h"

namespace qtk {

namespace program_set_messages {
inline constexpr const char* kFrequencyRange = "The range of TP frequency must be %d - %d!";
inline constexpr const char* kSymbolRateRange = "The range of TP symbol rate must be %d - %d!";
inline constexpr const char* kVideoPidRange = "The range of program video PID must be %d - %d!";
inline constexpr const char* kAudioPidRange = "The range of program audio PID must be %d - %d!";
inline constexpr const char* kTpExists = "The TP is already exists!";
inline constexpr const char* kForbiddenExists = "The forbidden program/TP is already exists!";
}  // namespace program_set_messages

namespace program_set_limits {
inline constexpr int kFrequencyMin = 3000;
inline constexpr int kFrequencyMax = 13450;
inline constexpr int kSymbolRateMin = 1000;
inline constexpr int kSymbolRateMax = 45000;
inline constexpr int kPidMin = 32;
inline constexpr int kPidMax = 8191;
inline constexpr int kMaxAutoscanTps = 10;
inline constexpr int kMaxForbidden = 15;
// The dialogs' edits: frequency and symbol rate take five digits, the PIDs four.
inline constexpr int kRateDigits = 5;
inline constexpr int kPidDigits = 4;
}  // namespace program_set_limits

// What the "Add TP" dialog holds: the polarity index ("H", "V") and the two numbers as typed.
struct AddTpValues {
  int polarity = kPolarityH;
  int frequency = 0;
  int symbol_rate = 0;
  bool operator==(const AddTpValues&) const = default;
};

// What the "Add forbidden program" dialog holds. With "Forbid TP" chosen the PIDs standing in
// the disabled edits are kept for the next opening but never reach the entry.
struct AddForbiddenValues {
  int polarity = kPolarityH;  // "H", "V", "H/V"
  int frequency = 0;
  int symbol_rate = 0;
  int video_pid = 0;
  int audio_pid = 0;
  bool forbid_tp = false;  // "Forbid TP"; false: "Forbid Program"
  bool operator==(const AddForbiddenValues&) const = default;
};

// Why a dialog's OK did not add its entry: the control the user has to correct.
enum class AddRefusal {
  kNone,
  kListFull,
  kFrequency,
  kSymbolRate,
  kVideoPid,
  kAudioPid,
  kDuplicate
};

// The Program set page: the transponders the automatic scan visits besides its own (at most
// 10) and the forbidden programs or whole transponders (at most 15). The lists are the working
// copy; the record changes only on Store.
class ProgramSetPage : public PageModel<PageId::kProgramSet> {
 public:
  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  std::vector<PageField> Fields() override;

  const std::vector<AutoscanTp>& autoscan_tps() const { return autoscan_; }
  const std::vector<ForbiddenEntry>& forbidden() const { return forbidden_; }

  // Row selection of the two lists; -1 for none.
  int selected_tp() const { return selected_tp_; }
  int selected_forbidden() const { return selected_forbidden_; }
  void SelectTp(int row);
  void SelectForbidden(int row);

  // "Add TP..." and "Add Prog/TP" while their list is below its limit; "Del TP" and
  // "Del Prog/TP" while a row of their list is selected.
  bool CanAddTp() const;
  bool CanDeleteTp() const { return selected_tp_ >= 0; }
  bool CanAddForbidden() const;
  bool CanDeleteForbidden() const { return selected_forbidden_ >= 0; }

  // What each dialog shows when it opens: the values of its last accepted OK in this run.
  const AddTpValues& tp_dialog_values() const { return tp_memory_; }
  const AddForbiddenValues& forbidden_dialog_values() const { return forbidden_memory_; }

  // The dialog's OK: checks the values (showing the message of the first fault, after which
  // the dialog stays open), then remembers them and appends the row.
  AddRefusal AcceptTp(const AddTpValues& values);
  AddRefusal AcceptForbidden(const AddForbiddenValues& values);

  // Removes the selected row; nothing is selected afterwards.
  void DeleteTp();
  void DeleteForbidden();

 private:
  AddRefusal CheckRates(int frequency, int symbol_rate);
  std::string SetAutoscanRows(const std::vector<std::vector<std::string>>& rows);
  std::string SetForbiddenRows(const std::vector<std::vector<std::string>>& rows);

  std::vector<AutoscanTp> autoscan_;
  std::vector<ForbiddenEntry> forbidden_;
  int selected_tp_ = -1;
  int selected_forbidden_ = -1;
  // The page lives as long as the main window, so the dialogs remember their values for the
  // whole run, whichever images are loaded in it.
  AddTpValues tp_memory_;
  AddForbiddenValues forbidden_memory_;
};

}  // namespace qtk
