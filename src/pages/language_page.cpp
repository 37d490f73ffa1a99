#include "pages/language_page.h"

#include <algorithm>

namespace qtk {
namespace {

// The record's language table and enable mask have room for this many rows.
constexpr int kTableRows = static_cast<int>(record::kLanguageTableSize);

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace

int LanguagePage::MaxRows() const {
  return std::min<int>(config().limits.language_max_support_count, kTableRows);
}

void LanguagePage::Load() {
  rows_.clear();
  reserved_.clear();
  current.Clear();
  current_id_ = -1;
  selected_row_ = -1;
  selected_reserved_ = -1;
  add_enabled_ = remove_enabled_ = up_enabled_ = down_enabled_ = false;
  adding_shown_ = config().switches.osd_language_config_enable != 0;
  moving_shown_ = config().switches.language_pos_changed_enable != 0;
  loaded_ = project().GetOffOnWords(off_word_, on_word_);
  if (!loaded_)
    return;

  const CustomerSettings& s = settings();
  mask_ = s.U16(record::kLanguageEnableMask);
  const std::vector<std::string> names = config().GetOSDLanguageList();
  // A count beyond the table would read the fields that follow it as languages.
  const int count = std::min<int>(s.U8(record::kLanguageCount), kTableRows);
  for (int r = 0; r < count; ++r) {
    const size_t stored = s.U8(record::kLanguageTable + static_cast<size_t>(r));
    // A number past the end of the list names no language, like 0.
    std::string name = stored >= 1 && stored <= names.size() ? names[stored - 1]
                                                             : "language " + std::to_string(r + 1);
    rows_.push_back({std::move(name), (mask_ >> r) & 1 ? on_word_ : off_word_, next_id_++});
  }
  RebuildReserved();

  // The combo shows the language of the stored row when that row is enabled, so a load and a
  // store keep the current language; otherwise the stored number counts enabled rows.
  const int stored_row = s.U8(record::kCurrentLanguage);
  RefreshCurrent();
  if (stored_row < count && ((mask_ >> stored_row) & 1)) {
    int entry = 0;
    for (int r = 0; r < stored_row; ++r)
      entry += (mask_ >> r) & 1;
    SelectCurrent(entry);
  } else if (current.Count() > 0) {
    SelectCurrent(std::min(stored_row, current.Count() - 1));
  }
}

void LanguagePage::RebuildReserved() {
  reserved_.clear();
  for (const std::string& name : config().GetOSDLanguageList()) {
    const bool listed = std::any_of(rows_.begin(), rows_.end(),
                                    [&name](const Row& row) { return row.name == name; });
    if (!listed)
      reserved_.push_back(name);
  }
}

// The combo follows the enabled rows. It keeps the language the user chose while that
// language stays enabled; otherwise the stored current language decides: its position when
// it is still among the entries, else the last entry.
void LanguagePage::RefreshCurrent() {
  const int previous = current.selection;
  std::vector<int> ids;
  current.items.clear();
  for (size_t r = 0; r < rows_.size(); ++r) {
    if ((mask_ >> r) & 1) {
      current.items.push_back(rows_[r].name);
      ids.push_back(rows_[r].id);
    }
  }
  const int count = current.Count();
  int selection = -1;
  const auto kept = std::find(ids.begin(), ids.end(), current_id_);
  if (current_id_ >= 0 && kept != ids.end()) {
    selection = static_cast<int>(kept - ids.begin());
  } else if (count > 0) {
    const int stored = settings().U8(record::kCurrentLanguage);
    if (stored >= count)
      selection = count - 1;
    else
      selection = previous >= 0 ? std::min(previous, count - 1) : stored;
  }
  current.selection = selection;
  current_id_ = selection >= 0 ? ids[static_cast<size_t>(selection)] : -1;
}

void LanguagePage::SelectCurrent(int index) {
  current.Select(index);
  current_id_ = -1;
  int entry = 0;
  for (size_t r = 0; r < rows_.size() && current.HasSelection(); ++r) {
    if (((mask_ >> r) & 1) && entry++ == current.selection) {
      current_id_ = rows_[r].id;
      break;
    }
  }
}

int LanguagePage::RowOfCurrent() const {
  for (size_t r = 0; r < rows_.size(); ++r) {
    if (rows_[r].id == current_id_)
      return static_cast<int>(r);
  }
  return -1;
}

void LanguagePage::FollowRowSelection() {
  const int count = static_cast<int>(rows_.size());
  const bool row = selected_row_ >= 0 && selected_row_ < count && count >= 2;
  remove_enabled_ = adding_shown_ && row;
  add_enabled_ = adding_shown_ && count < MaxRows() && selected_reserved_ >= 0;
  up_enabled_ = moving_shown_ && row && selected_row_ > 0;
  down_enabled_ = moving_shown_ && row && selected_row_ < count - 1;
}

void LanguagePage::SelectRow(int row) {
  selected_row_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
  FollowRowSelection();
}

void LanguagePage::SelectReserved(int index) {
  selected_reserved_ = index >= 0 && index < static_cast<int>(reserved_.size()) ? index : -1;
  FollowRowSelection();
}

void LanguagePage::Add() {
  if (!loaded_ || !adding_shown_ || selected_reserved_ < 0 ||
      static_cast<int>(rows_.size()) >= MaxRows()) {
    return;
  }
  const std::string name = reserved_[static_cast<size_t>(selected_reserved_)];
  mask_ = static_cast<uint16_t>(mask_ | (1u << rows_.size()));
  rows_.push_back({name, on_word_, next_id_++});
  RebuildReserved();
  selected_reserved_ = -1;
  RefreshCurrent();
  FollowRowSelection();
}

void LanguagePage::Remove() {
  if (!loaded_ || !adding_shown_ || selected_row_ < 0 || rows_.size() < 2)
    return;
  const std::string reserved_name =
      selected_reserved_ >= 0 ? reserved_[static_cast<size_t>(selected_reserved_)] : "";
  rows_.erase(rows_.begin() + selected_row_);
  RebuildReserved();
  mask_ = 0;
  for (size_t r = 0; r < rows_.size(); ++r) {
    if (IsEnabledText(rows_[r].enable))
      mask_ = static_cast<uint16_t>(mask_ | (1u << r));
  }
  const auto again = std::find(reserved_.begin(), reserved_.end(), reserved_name);
  selected_reserved_ =
      reserved_name.empty() || again == reserved_.end() ? -1 : int(again - reserved_.begin());
  RefreshCurrent();
  selected_row_ = -1;
  FollowRowSelection();
}

void LanguagePage::Move(int by) {
  const int target = selected_row_ + by;
  if (!loaded_ || !moving_shown_ || selected_row_ < 0 || target < 0 ||
      target >= static_cast<int>(rows_.size())) {
    return;
  }
  std::swap(rows_[static_cast<size_t>(selected_row_)], rows_[static_cast<size_t>(target)]);
  const bool a = (mask_ >> selected_row_) & 1;
  const bool b = (mask_ >> target) & 1;
  mask_ = static_cast<uint16_t>(mask_ & ~((1u << selected_row_) | (1u << target)));
  mask_ = static_cast<uint16_t>(mask_ | (unsigned(b) << selected_row_) | (unsigned(a) << target));
  selected_row_ = target;
  RefreshCurrent();
  FollowRowSelection();
}

void LanguagePage::MoveUp() {
  Move(-1);
}

void LanguagePage::MoveDown() {
  Move(+1);
}

void LanguagePage::SetRowEnable(int row, const std::string& text) {
  if (!loaded_ || row < 0 || row >= static_cast<int>(rows_.size()) ||
      !Contains(EnableChoices(), text)) {
    return;
  }
  Row& changed = rows_[static_cast<size_t>(row)];
  const uint16_t bit = static_cast<uint16_t>(1u << row);
  if (!IsEnabledText(text)) {
    const uint16_t rows_mask = static_cast<uint16_t>((1u << rows_.size()) - 1);
    if ((mask_ & rows_mask & ~bit) == 0) {
      dialogs().ShowMessage(language_messages::kOneEnabled, MessageIcon::Warning);
      // The cell shows the enabled word again, and the row is enabled as it shows.
      changed.enable = on_word_;
      mask_ = static_cast<uint16_t>(mask_ | bit);
    } else {
      changed.enable = text;
      mask_ = static_cast<uint16_t>(mask_ & ~bit);
    }
  } else {
    changed.enable = text;
    mask_ = static_cast<uint16_t>(mask_ | bit);
  }
  RefreshCurrent();
}

bool LanguagePage::Store() {
  // Nothing was loaded, or there is no language to choose from: the record keeps its fields.
  if (!loaded_ || rows_.empty())
    return true;
  if (!current.HasSelection()) {
    dialogs().ShowMessage(language_messages::kOneEnabled, MessageIcon::Warning);
    return false;
  }
  CustomerSettings& s = settings();
  s.SetU8(record::kCurrentLanguage, static_cast<uint8_t>(std::max(RowOfCurrent(), 0)));
  s.SetU8(record::kLanguageCount, static_cast<uint8_t>(rows_.size()));
  const std::vector<std::string> names = config().GetOSDLanguageList();
  for (size_t r = 0; r < rows_.size(); ++r) {
    const auto at = std::find(names.begin(), names.end(), rows_[r].name);
    s.SetU8(record::kLanguageTable + r,
            at == names.end() ? 0 : static_cast<uint8_t>(at - names.begin() + 1));
  }
  s.SetU16(record::kLanguageEnableMask, mask_);
  return true;
}

std::string LanguagePage::SetRows(const FieldRows& wanted) {
  if (!loaded_)
    return "the page has no languages for this firmware";
  std::vector<std::string> names;
  for (size_t i = 0; i < wanted.size(); ++i) {
    const std::string row = "row " + std::to_string(i + 1);
    if (wanted[i].size() != 2)
      return row + " needs two cells, \"Language\" and \"Enable\"";
    const std::string& name = wanted[i][0];
    const bool listed =
        std::any_of(rows_.begin(), rows_.end(), [&name](const Row& r) { return r.name == name; });
    if (!listed && !Contains(reserved_, name))
      return row + ": " + DescribeValue(name) + " is neither listed nor a reserved language";
    if (Contains(names, name))
      return row + ": " + DescribeValue(name) + " is listed twice";
    if (!Contains(EnableChoices(), wanted[i][1]))
      return row + " \"Enable\" takes one of the [OffOnOption] words, not " +
             DescribeValue(wanted[i][1]);
    names.push_back(name);
  }
  std::vector<std::string> added;
  std::vector<std::string> removed;
  for (const std::string& name : names) {
    if (std::none_of(rows_.begin(), rows_.end(), [&name](const Row& r) { return r.name == name; }))
      added.push_back(name);
  }
  for (const Row& r : rows_) {
    if (!Contains(names, r.name))
      removed.push_back(r.name);
  }
  if ((!added.empty() || !removed.empty()) && !adding_shown_)
    return "languages are added and removed only with OsdLanguageConfigEnable";
  if (names.empty())
    return "the list keeps at least one language";
  if (static_cast<int>(names.size()) > MaxRows())
    return "the list takes at most " + std::to_string(MaxRows()) + " languages";
  // Without moving, the kept languages stay in their order and new ones join at the end.
  std::vector<std::string> unmoved;
  for (const Row& r : rows_) {
    if (Contains(names, r.name))
      unmoved.push_back(r.name);
  }
  unmoved.insert(unmoved.end(), added.begin(), added.end());
  if (unmoved != names && !moving_shown_)
    return "languages are reordered only with LanguagePosChangedEnable";

  // The user's own steps: add and remove (never below one row or above the limit), move each
  // language to its place, then switch the "Enable" cells, enabling before disabling.
  auto find_row = [this](const std::string& name) {
    for (size_t r = 0; r < rows_.size(); ++r) {
      if (rows_[r].name == name)
        return static_cast<int>(r);
    }
    return -1;
  };
  while (!added.empty() || !removed.empty()) {
    if (!removed.empty() && rows_.size() >= 2) {
      SelectRow(find_row(removed.back()));
      Remove();
      removed.pop_back();
    } else if (!added.empty() && static_cast<int>(rows_.size()) < MaxRows()) {
      SelectReserved(static_cast<int>(std::find(reserved_.begin(), reserved_.end(), added.front()) -
                                      reserved_.begin()));
      Add();
      added.erase(added.begin());
    } else {
      return "the languages can not be exchanged within the limit of " + std::to_string(MaxRows());
    }
  }
  for (size_t target = 0; target < names.size(); ++target) {
    SelectRow(find_row(names[target]));
    while (selected_row_ > static_cast<int>(target) && up_enabled_)
      MoveUp();
  }
  SelectRow(-1);
  for (bool enabling : {true, false}) {
    for (size_t r = 0; r < wanted.size(); ++r) {
      if (IsEnabledText(wanted[r][1]) == enabling && rows_[r].enable != wanted[r][1])
        SetRowEnable(static_cast<int>(r), wanted[r][1]);
    }
  }
  return {};
}

std::vector<PageField> LanguagePage::Fields() {
  return {
      ListField(
          "Language list", {"Language", "Enable"},
          [this] {
            FieldRows out;
            for (const Row& r : rows_)
              out.push_back({r.name, r.enable});
            return out;
          },
          [this](const FieldRows& rows) { return SetRows(rows); }),
      ChoiceField("Current Languages", current, [this](int index) { SelectCurrent(index); }),
  };
}

}  // namespace qtk
