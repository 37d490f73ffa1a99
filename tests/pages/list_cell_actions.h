#pragma once

// What a user does to the cells of an editable list: a click on the cell opens its editor,
// then the user types and presses Return, or picks an entry of the drop-down.
#include <QComboBox>
#include <QCoreApplication>
#include <QTest>

#include "app/widgets/editable_list_control.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk::user {

inline void ClickCell(EditableListControl* list, int row, int column) {
  QTreeWidgetItem* item = list->topLevelItem(row);
  list->scrollToItem(item);
  const QRect rect = list->visualItemRect(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    QPoint(list->columnViewportPosition(column) + list->columnWidth(column) / 2,
                           rect.center().y()));
}

// Types `text` over the cell's text and presses Return; false when no edit box opened.
inline bool TypeInCell(EditableListControl* list, int row, int column, const QString& text) {
  ClickCell(list, row, column);
  FilteredLineEdit* edit = list->ActiveEditBox();
  if (edit == nullptr)
    return false;
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  if (text.isEmpty())
    QTest::keyClick(edit, Qt::Key_Delete);
  else
    QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
  QCoreApplication::processEvents();
  return !list->IsEditing();
}

// Opens the cell's drop-down and picks the entry with the keyboard.
inline bool PickInCell(EditableListControl* list, int row, int column, const QString& text) {
  ClickCell(list, row, column);
  QComboBox* drop_down = list->ActiveDropDown();
  if (drop_down == nullptr)
    return false;
  const int index = drop_down->findText(text);
  if (index < 0)
    return false;
  drop_down->view()->setCurrentIndex(drop_down->model()->index(index, 0));
  QTest::keyClick(drop_down->view(), Qt::Key_Return);
  QCoreApplication::processEvents();
  return !list->IsEditing();
}

}  // namespace qtk::user
