#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pages/combo_state.h"
#include "pages/page_base.h"

namespace qtk {

namespace language_messages {
inline constexpr const char* kOneEnabled = "Error: At lease one language should be enabled.";
}  // namespace language_messages

// The "Language" page: which OSD languages the firmware offers, in which order, which of them
// are enabled and which one is current. The record keeps one byte per row (the language's
// position in [OSDLanguageList] plus 1) and a 16-bit enable mask, so a list holds 16 rows at
// most whatever [Language] MaxSupportCount says.
class LanguagePage : public PageModel<PageId::kLanguage> {
 public:
  struct Row {
    std::string name;
    std::string enable;  // an [OffOnOption] word
    int id = 0;          // stays with the language through moves
    bool operator==(const Row&) const = default;
  };

  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  std::vector<PageField> Fields() override;

  // False after a Load that found fewer than two [OffOnOption] words: the page stays empty
  // and its Store writes nothing.
  bool loaded() const { return loaded_; }
  // The reserved list with "<<" and ">>" (OsdLanguageConfigEnable), "Up" and "Down"
  // (LanguagePosChangedEnable).
  bool adding_shown() const { return adding_shown_; }
  bool moving_shown() const { return moving_shown_; }

  const std::vector<Row>& rows() const { return rows_; }
  uint16_t enable_mask() const { return mask_; }
  const std::vector<std::string>& reserved() const { return reserved_; }
  int selected_row() const { return selected_row_; }
  int selected_reserved() const { return selected_reserved_; }
  // The combo beside "Current Languages:": the enabled rows in row order.
  ComboState current;

  bool add_enabled() const { return add_enabled_; }
  bool remove_enabled() const { return remove_enabled_; }
  bool up_enabled() const { return up_enabled_; }
  bool down_enabled() const { return down_enabled_; }

  // The most rows the list takes.
  int MaxRows() const;
  // The choices of an "Enable" cell: every [OffOnOption] item.
  std::vector<std::string> EnableChoices() const { return config().GetOffOnOption(); }

  void SelectRow(int row);
  void SelectReserved(int index);
  void SelectCurrent(int index);
  // "<<" or a double click in the reserved list.
  void Add();
  // ">>" or a double click in the language list.
  void Remove();
  void MoveUp();
  void MoveDown();
  // The user chose a text in the "Enable" cell of a row. Disabling the last enabled row is
  // refused with the message and the cell shows the enabled word again.
  void SetRowEnable(int row, const std::string& text);

 private:
  void RebuildReserved();
  void RefreshCurrent();
  void FollowRowSelection();
  void Move(int by);
  bool IsEnabledText(const std::string& text) const { return text != off_word_; }
  int RowOfCurrent() const;
  std::string SetRows(const FieldRows& rows);

  bool loaded_ = false;
  bool adding_shown_ = false;
  bool moving_shown_ = false;
  std::string off_word_;
  std::string on_word_;
  std::vector<Row> rows_;
  uint16_t mask_ = 0;
  std::vector<std::string> reserved_;
  int selected_row_ = -1;
  int selected_reserved_ = -1;
  bool add_enabled_ = false;
  bool remove_enabled_ = false;
  bool up_enabled_ = false;
  bool down_enabled_ = false;
  int next_id_ = 0;
  // The row id of the language the combo shows, -1 for none.
  int current_id_ = -1;
};

}  // namespace qtk
