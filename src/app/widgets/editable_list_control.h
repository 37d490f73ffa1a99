#pragma once

#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

class QComboBox;

namespace qtk {

class FilteredLineEdit;

// A report-style list whose cells the user edits in place: a click on a cell of the focused
// row opens a drop-down over choice columns and an edit box over free-text columns; read-only
// columns never edit. The page configures the columns and answers the signals; the control
// writes the result into the cell and tells the page.
//
// Only one in-place editor is open in the whole program at a time.
class EditableListControl : public QTreeWidget {
  Q_OBJECT

 public:
  // Columns narrower than this never open a drop-down: there would be nothing to read.
  static constexpr int kMinDropDownColumnWidth = 10;

  explicit EditableListControl(QWidget* parent = nullptr);
  ~EditableListControl() override;

  void SetColumnReadOnly(int column, bool on);
  void SetColumnChoice(int column, bool on);
  bool IsColumnReadOnly(int column) const { return read_only_columns_.contains(column); }
  bool IsColumnChoice(int column) const { return choice_columns_.contains(column); }

  // Characters the edit box accepts; empty accepts any.
  void SetAllowedCharacters(const QString& allowed) { allowed_ = allowed; }
  const QString& AllowedCharacters() const { return allowed_; }

  void SetDropDownVerticalScrollBar(bool on) { drop_down_scroll_bar_ = on; }

  // Without editing the list only selects, like a list without editable labels.
  void SetEditingEnabled(bool on) { editing_enabled_ = on; }

  // Row helpers for the pages.
  int AddRow(const QStringList& cells);
  int RowCount() const { return topLevelItemCount(); }
  QString CellText(int row, int column) const;
  void SetCellText(int row, int column, const QString& text);

  // Opens the editor for a cell as a click would, once the row has the focus. False when the
  // cell does not edit, an editor is already open anywhere, or a drop-down column is too
  // narrow.
  bool BeginEdit(int row, int column);

  // Closes the open editor of this list; `cancel` puts the starting text back.
  void EndEdit(bool cancel);

  bool IsEditing() const { return editing_; }
  static bool AnyEditorOpen() { return open_editor_owner_ != nullptr; }

  // The open editors, for the pages' keyboard shortcuts and for tests; null when closed.
  FilteredLineEdit* ActiveEditBox() const;
  QComboBox* ActiveDropDown() const;

  // The rectangle of the last opened drop-down in viewport coordinates: the cell with room
  // for its list below it.
  QRect LastDropDownRect() const { return last_drop_down_rect_; }
  int LastDropDownHeight() const { return last_drop_down_rect_.height(); }

  // The extra rows of cell height below the cell that a drop-down with `choices` entries
  // reserves for its list.
  static int DropDownListRows(int choices);

 signals:
  // Sent before a drop-down opens; the page fills `choices` for the current row.
  void ChoicesRequested(int column, QStringList* choices);
  // Sent after `text` has been written into the cell, also when the edit was cancelled.
  void CellEdited(int row, int column, const QString& text);
  // Sent before an edit box opens.
  void EditStarting(int column);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OpenEditBox(QTreeWidgetItem* item, int column);
  bool OpenDropDown(QTreeWidgetItem* item, int column, const QStringList& choices);
  QRect CellRect(QTreeWidgetItem* item, int column);
  void ClaimEditor(int row, int column);
  void ReleaseEditor();

  static EditableListControl* open_editor_owner_;

  QSet<int> read_only_columns_;
  QSet<int> choice_columns_;
  QString allowed_;
  bool drop_down_scroll_bar_ = false;
  bool editing_enabled_ = true;

  FilteredLineEdit* edit_box_ = nullptr;
  QComboBox* drop_down_ = nullptr;
  QWidget* active_editor_ = nullptr;
  bool editing_ = false;
  bool ending_ = false;
  int edit_row_ = -1;
  int edit_column_ = -1;
  QString start_text_;
  QRect last_drop_down_rect_;
};

}  // namespace qtk
