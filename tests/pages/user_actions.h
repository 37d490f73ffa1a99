#pragma once

// What a user does to the controls of a page, done through real input events so that the
// widgets emit exactly the signals a user causes (textEdited, activated, actionTriggered,
// clicked) and nothing else.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

namespace qtk::user {

// Selects the whole text of the edit and types `text` over it, key by key; an empty text
// deletes the selection.
inline void TypeOver(QLineEdit* edit, const QString& text) {
  edit->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  if (text.isEmpty())
    QTest::keyClick(edit, Qt::Key_Delete);
  else
    QTest::keyClicks(edit, text);
}

// Leaves the edit for the next control, as Tab does; an edit checks its value when it loses
// the focus.
inline void Leave(QWidget* widget) {
  QTest::keyClick(widget, Qt::Key_Tab);
}

// Opens the combo's list and chooses the entry with the keyboard, as a user picks it.
inline bool Pick(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  if (index < 0)
    return false;
  combo->setFocus(Qt::MouseFocusReason);
  combo->showPopup();
  QAbstractItemView* list = combo->view();
  list->setCurrentIndex(combo->model()->index(index, combo->modelColumn()));
  QTest::keyClick(list, Qt::Key_Return);
  return combo->currentIndex() == index;
}

inline void Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton);
}

// Moves the slider with the keyboard: each key is one of the slider's own actions.
inline void Slide(QAbstractSlider* slider, Qt::Key key, int times = 1) {
  slider->setFocus(Qt::MouseFocusReason);
  for (int i = 0; i < times; ++i)
    QTest::keyClick(slider, key);
}

// Clicks the tree item of a page, as the user switches pages.
inline void ClickItem(QTreeWidget* tree, QTreeWidgetItem* item) {
  tree->scrollToItem(item);
  // Near the left end of the row: a wide row may reach beyond the visible part of the list.
  const QRect row = tree->visualItemRect(item);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                    QPoint(std::max(row.left(), 0) + 8, row.center().y()));
}

}  // namespace qtk::user
