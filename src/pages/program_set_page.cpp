#include "pages/program_set_page.h"

#include <algorithm>
#include <cstdio>

#include "settings/record_layout.h"

namespace qtk {
namespace {

namespace msg = program_set_messages;
namespace lim = program_set_limits;

std::string RangeMessage(const char* pattern, int low, int high) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, low, high);
  return text;
}

bool Within(int value, int low, int high) {
  return value >= low && value <= high;
}

// The rows a list is to hold, as the user gets there: the listed rows that stay (in their
// order, the others deleted), then new rows added one by one through the dialog. `kept` is
// the number of leading requested rows that are listed rows.
template <class Entry>
std::vector<Entry> KeptRows(const std::vector<Entry>& listed,
                            const std::vector<std::vector<std::string>>& requested, size_t& kept) {
  std::vector<Entry> rows;
  size_t from = 0;
  kept = 0;
  for (const auto& cells : requested) {
    size_t at = from;
    while (at < listed.size() && RowCells(listed[at]) != cells)
      ++at;
    if (at == listed.size())
      break;
    rows.push_back(listed[at]);
    from = at + 1;
    ++kept;
  }
  return rows;
}

std::string RowName(size_t index) {
  return "row " + std::to_string(index + 1);
}

std::vector<std::vector<std::string>> CellsOf(const auto& entries) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& e : entries)
    rows.push_back(RowCells(e));
  return rows;
}

}  // namespace

void ProgramSetPage::Load() {
  const CustomerSettings& s = settings();
  autoscan_.clear();
  forbidden_.clear();
  selected_tp_ = -1;
  selected_forbidden_ = -1;
  for (size_t i = 0; i < record::kAutoscanTpEntries; ++i) {
    if (std::optional<AutoscanTp> tp = ReadAutoscanTp(s, i))
      autoscan_.push_back(*tp);
  }
  for (size_t i = 0; i < record::kForbiddenEntryCount; ++i) {
    if (std::optional<ForbiddenEntry> entry = ReadForbiddenEntry(s, i))
      forbidden_.push_back(*entry);
  }
}

bool ProgramSetPage::Store() {
  CustomerSettings& s = settings();
  for (size_t i = 0; i < record::kAutoscanTpEntries * 4; ++i)
    s.SetU8(record::kAutoscanTps + i, 0);
  for (size_t i = 0; i < record::kForbiddenEntryCount * 8; ++i)
    s.SetU8(record::kForbiddenEntries + i, 0);
  const size_t tps = std::min(autoscan_.size(), record::kAutoscanTpEntries);
  s.SetU8(record::kAutoscanTpCount, static_cast<uint8_t>(tps));
  for (size_t i = 0; i < tps; ++i)
    WriteAutoscanTp(s, i, autoscan_[i]);
  const size_t entries = std::min(forbidden_.size(), record::kForbiddenEntryCount);
  s.SetU8(record::kForbiddenCount, static_cast<uint8_t>(entries));
  for (size_t i = 0; i < entries; ++i)
    WriteForbiddenEntry(s, i, forbidden_[i]);
  return true;
}

void ProgramSetPage::SelectTp(int row) {
  selected_tp_ = row >= 0 && row < static_cast<int>(autoscan_.size()) ? row : -1;
}

void ProgramSetPage::SelectForbidden(int row) {
  selected_forbidden_ = row >= 0 && row < static_cast<int>(forbidden_.size()) ? row : -1;
}

bool ProgramSetPage::CanAddTp() const {
  return static_cast<int>(autoscan_.size()) < lim::kMaxAutoscanTps;
}

bool ProgramSetPage::CanAddForbidden() const {
  return static_cast<int>(forbidden_.size()) < lim::kMaxForbidden;
}

AddRefusal ProgramSetPage::CheckRates(int frequency, int symbol_rate) {
  if (!Within(frequency, lim::kFrequencyMin, lim::kFrequencyMax)) {
    dialogs().ShowMessage(
        RangeMessage(msg::kFrequencyRange, lim::kFrequencyMin, lim::kFrequencyMax));
    return AddRefusal::kFrequency;
  }
  if (!Within(symbol_rate, lim::kSymbolRateMin, lim::kSymbolRateMax)) {
    dialogs().ShowMessage(
        RangeMessage(msg::kSymbolRateRange, lim::kSymbolRateMin, lim::kSymbolRateMax));
    return AddRefusal::kSymbolRate;
  }
  return AddRefusal::kNone;
}

AddRefusal ProgramSetPage::AcceptTp(const AddTpValues& values) {
  // The button that opens the dialog is disabled on a full list.
  if (!CanAddTp())
    return AddRefusal::kListFull;
  if (AddRefusal refusal = CheckRates(values.frequency, values.symbol_rate);
      refusal != AddRefusal::kNone) {
    return refusal;
  }
  const AutoscanTp tp{values.polarity == kPolarityV ? kPolarityV : kPolarityH, values.frequency,
                      values.symbol_rate};
  if (std::find(autoscan_.begin(), autoscan_.end(), tp) != autoscan_.end()) {
    dialogs().ShowMessage(msg::kTpExists);
    return AddRefusal::kDuplicate;
  }
  tp_memory_ = values;
  autoscan_.push_back(tp);
  return AddRefusal::kNone;
}

AddRefusal ProgramSetPage::AcceptForbidden(const AddForbiddenValues& values) {
  if (!CanAddForbidden())
    return AddRefusal::kListFull;
  if (AddRefusal refusal = CheckRates(values.frequency, values.symbol_rate);
      refusal != AddRefusal::kNone) {
    return refusal;
  }
  if (!values.forbid_tp) {
    if (!Within(values.video_pid, lim::kPidMin, lim::kPidMax)) {
      dialogs().ShowMessage(RangeMessage(msg::kVideoPidRange, lim::kPidMin, lim::kPidMax));
      return AddRefusal::kVideoPid;
    }
    if (!Within(values.audio_pid, lim::kPidMin, lim::kPidMax)) {
      dialogs().ShowMessage(RangeMessage(msg::kAudioPidRange, lim::kPidMin, lim::kPidMax));
      return AddRefusal::kAudioPid;
    }
  }
  ForbiddenEntry entry;
  entry.polarity = std::clamp(values.polarity, 0, 2);
  entry.frequency = values.frequency;
  entry.symbol_rate = values.symbol_rate;
  entry.whole_tp = values.forbid_tp;
  if (!entry.whole_tp) {
    entry.video_pid = values.video_pid;
    entry.audio_pid = values.audio_pid;
  }
  // Entries compare as they are stored: a whole TP carries no PIDs.
  if (std::find(forbidden_.begin(), forbidden_.end(), entry) != forbidden_.end()) {
    dialogs().ShowMessage(msg::kForbiddenExists);
    return AddRefusal::kDuplicate;
  }
  forbidden_memory_ = values;
  forbidden_.push_back(entry);
  return AddRefusal::kNone;
}

void ProgramSetPage::DeleteTp() {
  if (!CanDeleteTp())
    return;
  autoscan_.erase(autoscan_.begin() + selected_tp_);
  selected_tp_ = -1;
}

void ProgramSetPage::DeleteForbidden() {
  if (!CanDeleteForbidden())
    return;
  forbidden_.erase(forbidden_.begin() + selected_forbidden_);
  selected_forbidden_ = -1;
}

std::string ProgramSetPage::SetAutoscanRows(const std::vector<std::vector<std::string>>& rows) {
  size_t kept = 0;
  std::vector<AutoscanTp> staying = KeptRows(autoscan_, rows, kept);
  std::vector<AddTpValues> added;
  for (size_t i = kept; i < rows.size(); ++i) {
    std::string why;
    const std::optional<AutoscanTp> tp = ParseAutoscanRow(rows[i], why);
    if (!tp)
      return RowName(i) + ": " + why;
    added.push_back({tp->polarity, tp->frequency, tp->symbol_rate});
  }
  autoscan_ = std::move(staying);
  selected_tp_ = -1;
  for (size_t i = 0; i < added.size(); ++i) {
    if (!CanAddTp())
      return "the list takes at most " + std::to_string(lim::kMaxAutoscanTps) + " rows";
    if (AcceptTp(added[i]) != AddRefusal::kNone)
      return RowName(kept + i) + " is refused by the \"Add TP\" dialog";
  }
  return {};
}

std::string ProgramSetPage::SetForbiddenRows(const std::vector<std::vector<std::string>>& rows) {
  size_t kept = 0;
  std::vector<ForbiddenEntry> staying = KeptRows(forbidden_, rows, kept);
  std::vector<AddForbiddenValues> added;
  for (size_t i = kept; i < rows.size(); ++i) {
    std::string why;
    const std::optional<ForbiddenEntry> e = ParseForbiddenRow(rows[i], why);
    if (!e)
      return RowName(i) + ": " + why;
    added.push_back(
        {e->polarity, e->frequency, e->symbol_rate, e->video_pid, e->audio_pid, e->whole_tp});
  }
  forbidden_ = std::move(staying);
  selected_forbidden_ = -1;
  for (size_t i = 0; i < added.size(); ++i) {
    if (!CanAddForbidden())
      return "the list takes at most " + std::to_string(lim::kMaxForbidden) + " rows";
    if (AcceptForbidden(added[i]) != AddRefusal::kNone)
      return RowName(kept + i) + " is refused by the \"Add forbidden program\" dialog";
  }
  return {};
}

std::vector<PageField> ProgramSetPage::Fields() {
  return {
      ListField(
          "Autoscan more TPs", {"Polarity", "Frequency", "Symbol rate"},
          [this] { return CellsOf(autoscan_); },
          [this](const FieldRows& rows) { return SetAutoscanRows(rows); }),
      ListField(
          "Forbidden programs/TP",
          {"Polarity", "Frequency", "Symbol rate", "Video PID", "Audio PID"},
          [this] { return CellsOf(forbidden_); },
          [this](const FieldRows& rows) { return SetForbiddenRows(rows); }),
  };
}

}  // namespace qtk
