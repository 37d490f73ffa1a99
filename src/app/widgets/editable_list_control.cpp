#include "app/widgets/editable_list_control.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <functional>
#include <utility>

#include "app/widgets/filtered_line_edit.h"

namespace qtk {
namespace {

// The drop-down editor. Closing its list ends the edit, the way picking an entry does in a
// list that is not itself a control; the list reports the close through a callback.
class InPlaceDropDown : public QComboBox {
 public:
  explicit InPlaceDropDown(QWidget* parent) : QComboBox(parent) {}

  std::function<void()> on_list_closed;

  void hidePopup() override {
    const bool was_open = view() != nullptr && view()->isVisible();
    QComboBox::hidePopup();
    if (was_open && on_list_closed)
      on_list_closed();
  }
};

}  // namespace

EditableListControl* EditableListControl::open_editor_owner_ = nullptr;

EditableListControl::EditableListControl(QWidget* parent) : QTreeWidget(parent) {
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  // The list runs its own in-place editors; the view's editing would bypass the page.
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  header()->setStretchLastSection(false);
  // Pages hide columns by giving them no width.
  header()->setMinimumSectionSize(0);
}

EditableListControl::~EditableListControl() {
  if (open_editor_owner_ == this)
    open_editor_owner_ = nullptr;
}

void EditableListControl::SetColumnReadOnly(int column, bool on) {
  if (on) {
    read_only_columns_.insert(column);
  } else {
    read_only_columns_.remove(column);
  }
}

void EditableListControl::SetColumnChoice(int column, bool on) {
  if (on) {
    choice_columns_.insert(column);
  } else {
    choice_columns_.remove(column);
  }
}

int EditableListControl::AddRow(const QStringList& cells) {
  auto* item = new QTreeWidgetItem(this, cells);
  return indexOfTopLevelItem(item);
}

QString EditableListControl::CellText(int row, int column) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item != nullptr ? item->text(column) : QString();
}

void EditableListControl::SetCellText(int row, int column, const QString& text) {
  if (QTreeWidgetItem* item = topLevelItem(row))
    item->setText(column, text);
}

FilteredLineEdit* EditableListControl::ActiveEditBox() const {
  return active_editor_ != nullptr && active_editor_ == edit_box_ ? edit_box_ : nullptr;
}

QComboBox* EditableListControl::ActiveDropDown() const {
  return active_editor_ != nullptr && active_editor_ == drop_down_ ? drop_down_ : nullptr;
}

int EditableListControl::DropDownListRows(int choices) {
  return choices < 10 ? choices + 10 : 11;
}

void EditableListControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QTreeWidget::mousePressEvent(event);
    return;
  }
  const QPoint pos = event->position().toPoint();
  QTreeWidgetItem* item = itemAt(pos);
  const int column = columnAt(pos.x());
  // A click beside every cell does nothing at all, not even a change of selection.
  if (item == nullptr || column < 0) {
    event->accept();
    return;
  }
  QTreeWidget::mousePressEvent(event);
  if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
    return;
  if (item != currentItem())
    return;
  BeginEdit(indexOfTopLevelItem(item), column);
}

bool EditableListControl::BeginEdit(int row, int column) {
  if (!editing_enabled_ || AnyEditorOpen())
    return false;
  QTreeWidgetItem* item = topLevelItem(row);
  if (item == nullptr || column < 0 || column >= columnCount())
    return false;
  if (IsColumnReadOnly(column))
    return false;
  if (currentItem() != item)
    setCurrentItem(item, column);

  ClaimEditor(row, column);
  if (IsColumnChoice(column)) {
    QStringList choices;
    emit ChoicesRequested(column, &choices);
    if (!OpenDropDown(item, column, choices)) {
      ReleaseEditor();
      return false;
    }
    return true;
  }
  emit EditStarting(column);
  OpenEditBox(item, column);
  return true;
}

void EditableListControl::ClaimEditor(int row, int column) {
  editing_ = true;
  open_editor_owner_ = this;
  edit_row_ = row;
  edit_column_ = column;
  start_text_ = CellText(row, column);
}

void EditableListControl::ReleaseEditor() {
  editing_ = false;
  if (open_editor_owner_ == this)
    open_editor_owner_ = nullptr;
}

QRect EditableListControl::CellRect(QTreeWidgetItem* item, int column) {
  const int width = columnWidth(column);
  const int client_width = viewport()->width();
  int left = columnViewportPosition(column);
  // Bring a column that is cut off at either side into view before covering it.
  QScrollBar* bar = horizontalScrollBar();
  if (left < 0) {
    bar->setValue(bar->value() + left);
  } else if (left + width > client_width && left > 0) {
    bar->setValue(bar->value() + std::min(left + width - client_width, left));
  }
  left = columnViewportPosition(column);
  const QRect row = visualItemRect(item);
  const int right = std::min(left + width, client_width);
  return QRect(left, row.top(), std::max(right - left, 0), row.height());
}

void EditableListControl::OpenEditBox(QTreeWidgetItem* item, int column) {
  scrollToItem(item);
  if (edit_box_ == nullptr) {
    edit_box_ = new FilteredLineEdit(viewport());
    edit_box_->hide();
    edit_box_->installEventFilter(this);
  }
  edit_box_->SetAllowedCharacters(allowed_);
  edit_box_->setFont(font());
  edit_box_->setGeometry(CellRect(item, column));
  edit_box_->setText(start_text_);
  edit_box_->selectAll();
  active_editor_ = edit_box_;
  edit_box_->show();
  edit_box_->setFocus(Qt::OtherFocusReason);
}

bool EditableListControl::OpenDropDown(QTreeWidgetItem* item, int column,
                                       const QStringList& choices) {
  scrollToItem(item);
  if (columnWidth(column) < kMinDropDownColumnWidth)
    return false;
  const QRect cell = CellRect(item, column);
  QRect with_list = cell;
  with_list.setHeight(cell.height() * (1 + DropDownListRows(static_cast<int>(choices.size()))));
  last_drop_down_rect_ = with_list;

  if (drop_down_ == nullptr) {
    auto* drop_down = new InPlaceDropDown(viewport());
    drop_down->hide();
    drop_down->installEventFilter(this);
    // The entry is taken once the list has closed and the combo has settled on it.
    drop_down->on_list_closed = [this] {
      QMetaObject::invokeMethod(
          this,
          [this] {
            if (editing_ && active_editor_ == drop_down_ && !drop_down_->view()->isVisible()) {
              EndEdit(false);
            }
          },
          Qt::QueuedConnection);
    };
    drop_down_ = drop_down;
  }
  drop_down_->setFont(font());
  drop_down_->clear();
  drop_down_->addItems(choices);
  drop_down_->setMaxVisibleItems(DropDownListRows(static_cast<int>(choices.size())));
  drop_down_->view()->setVerticalScrollBarPolicy(drop_down_scroll_bar_ ? Qt::ScrollBarAlwaysOn
                                                                       : Qt::ScrollBarAlwaysOff);
  drop_down_->view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  drop_down_->setCurrentIndex(static_cast<int>(choices.indexOf(start_text_)));
  drop_down_->setGeometry(cell);
  active_editor_ = drop_down_;
  drop_down_->show();
  drop_down_->setFocus(Qt::OtherFocusReason);
  drop_down_->showPopup();
  return true;
}

void EditableListControl::EndEdit(bool cancel) {
  if (!editing_ || ending_)
    return;
  ending_ = true;
  QString text = start_text_;
  if (!cancel && active_editor_ == edit_box_ && edit_box_ != nullptr) {
    text = edit_box_->text();
  } else if (!cancel && active_editor_ == drop_down_ && drop_down_ != nullptr &&
             drop_down_->currentIndex() >= 0) {
    // Without a chosen entry the cell keeps its text rather than going blank.
    text = drop_down_->currentText();
  }
  QWidget* editor = std::exchange(active_editor_, nullptr);
  const int row = edit_row_;
  const int column = edit_column_;
  QTreeWidgetItem* item = topLevelItem(row);
  if (item != nullptr) {
    item->setText(column, text);
    emit CellEdited(row, column, text);
  }
  ReleaseEditor();
  if (editor != nullptr) {
    if (editor == drop_down_)
      drop_down_->hidePopup();
    if (editor->hasFocus())
      setFocus(Qt::OtherFocusReason);
    editor->hide();
  }
  ending_ = false;
}

void EditableListControl::scrollContentsBy(int dx, int dy) {
  QTreeWidget::scrollContentsBy(dx, dy);
  // The editor would no longer sit over its cell.
  if (editing_ && active_editor_ != nullptr)
    EndEdit(false);
}

bool EditableListControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched != active_editor_ || active_editor_ == nullptr) {
    return QTreeWidget::eventFilter(watched, event);
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      EndEdit(false);
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      EndEdit(true);
      return true;
    }
  } else if (event->type() == QEvent::FocusOut) {
    // Opening the drop-down's own list takes the focus only for a moment, and while that list
    // is open the focus belongs to it (Qt moves it there in two steps, the second one without
    // the popup reason); closing the list ends the edit instead.
    const bool own_list_open =
        active_editor_ == drop_down_ && drop_down_ != nullptr && drop_down_->view()->isVisible();
    if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && !own_list_open)
      EndEdit(false);
  }
  return QTreeWidget::eventFilter(watched, event);
}

}  // namespace qtk
