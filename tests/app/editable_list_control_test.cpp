#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "app/widgets/editable_list_control.h"
#include "app/widgets/filtered_line_edit.h"

using qtk::EditableListControl;
using qtk::FilteredLineEdit;

namespace {

// A list of 4 rows x 3 columns of 80 pixels, cells named "r<row>c<column>".
std::unique_ptr<EditableListControl> MakeList() {
  auto list = std::make_unique<EditableListControl>();
  list->setColumnCount(3);
  list->setHeaderLabels({"Name", "Type", "Value"});
  for (int c = 0; c < 3; ++c)
    list->setColumnWidth(c, 80);
  for (int r = 0; r < 4; ++r) {
    list->AddRow({QString("r%1c0").arg(r), QString("r%1c1").arg(r), QString("r%1c2").arg(r)});
  }
  list->resize(320, 200);
  list->show();
  return list;
}

QPoint CellCentre(EditableListControl& list, int row, int column) {
  const QRect rect = list.visualItemRect(list.topLevelItem(row));
  return QPoint(list.columnViewportPosition(column) + list.columnWidth(column) / 2,
                rect.center().y());
}

void ClickCell(EditableListControl& list, int row, int column,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, CellCentre(list, row, column));
}

int RowHeight(EditableListControl& list) {
  return list.visualItemRect(list.topLevelItem(0)).height();
}

}  // namespace

class EditableListControlTest : public QObject {
  Q_OBJECT

 private slots:
  void ClickOnUnselectedRowSelectsAndOpensEditBox() {
    auto list = MakeList();
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    QSignalSpy starting(list.get(), &EditableListControl::EditStarting);
    QSignalSpy edited(list.get(), &EditableListControl::CellEdited);
    ClickCell(*list, 2, 2);
    QCOMPARE(list->currentItem(), list->topLevelItem(2));
    QVERIFY(list->topLevelItem(2)->isSelected());
    FilteredLineEdit* box = list->ActiveEditBox();
    QVERIFY(box != nullptr);
    QVERIFY(box->isVisible());
    QCOMPARE(box->text(), QString("r2c2"));
    QCOMPARE(box->selectedText(), QString("r2c2"));
    QCOMPARE(starting.count(), 1);
    QCOMPARE(starting.at(0).at(0).toInt(), 2);
    QCOMPARE(edited.count(), 0);
    QVERIFY(list->IsEditing());
  }

  void ADropDownStaysOpenInTheActiveWindowUntilAnEntryIsPicked() {
    auto list = MakeList();
    list->SetColumnChoice(1, true);
    connect(list.get(), &EditableListControl::ChoicesRequested, this,
            [](int, QStringList* choices) {
              *choices = {"Off", "On"};
            });
    QSignalSpy edited(list.get(), &EditableListControl::CellEdited);
    list->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(list.get()));
    // Its list takes the focus when it opens; that is no reason to end the edit.
    ClickCell(*list, 1, 1);
    QComboBox* drop_down = list->ActiveDropDown();
    QVERIFY(drop_down != nullptr);
    QVERIFY(drop_down->view()->isVisible());
    QVERIFY(list->IsEditing());
    QCOMPARE(edited.count(), 0);
    drop_down->view()->setCurrentIndex(drop_down->model()->index(1, 0));
    QTest::keyClick(drop_down->view(), Qt::Key_Return);
    QTRY_VERIFY(!list->IsEditing());
    QCOMPARE(edited.count(), 1);
    QCOMPARE(list->CellText(1, 1), QString("On"));
  }

  void EnterWritesCellThenNotifies() {
    auto list = MakeList();
    QString text_in_cell_at_signal;
    connect(list.get(), &EditableListControl::CellEdited, this,
            [&](int row, int column, const QString&) {
              text_in_cell_at_signal = list->CellText(row, column);
              // Still busy while the page hears about the edit.
              QVERIFY(EditableListControl::AnyEditorOpen());
            });
    QSignalSpy edited(list.get(), &EditableListControl::CellEdited);
    ClickCell(*list, 1, 0);
    FilteredLineEdit* box = list->ActiveEditBox();
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, "Tuner A");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(edited.count(), 1);
    QCOMPARE(edited.at(0).at(0).toInt(), 1);
    QCOMPARE(edited.at(0).at(1).toInt(), 0);
    QCOMPARE(edited.at(0).at(2).toString(), QString("Tuner A"));
    QCOMPARE(list->CellText(1, 0), QString("Tuner A"));
    QCOMPARE(text_in_cell_at_signal, QString("Tuner A"));
    QVERIFY(!list->IsEditing());
    QVERIFY(!EditableListControl::AnyEditorOpen());
    QVERIFY(!box->isVisible());
    QVERIFY(list->ActiveEditBox() == nullptr);
  }

  void EscapeRestoresTextAndStillNotifies() {
    auto list = MakeList();
    QSignalSpy edited(list.get(), &EditableListControl::CellEdited);
    ClickCell(*list, 3, 2);
    FilteredLineEdit* box = list->ActiveEditBox();
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, "changed");
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(list->CellText(3, 2), QString("r3c2"));
    QCOMPARE(edited.count(), 1);
    QCOMPARE(edited.at(0).at(2).toString(), QString("r3c2"));
    QVERIFY(!list->IsEditing());
  }

  void ChoiceColumnAsksPageThenOpensDropDown() {
    auto list = MakeList();
    list->SetColumnChoice(1, true);
    QVERIFY(list->IsColumnChoice(1));
    int asked_column = -1;
    bool drop_down_open_when_asked = true;
    connect(list.get(), &EditableListControl::ChoicesRequested, this,
            [&](int column, QStringList* choices) {
              asked_column = column;
              drop_down_open_when_asked = list->ActiveDropDown() != nullptr;
              *choices = {"r0c0", "r0c1", "QPSK"};
            });
    QSignalSpy starting(list.get(), &EditableListControl::EditStarting);
    QSignalSpy edited(list.get(), &EditableListControl::CellEdited);
    ClickCell(*list, 0, 1);
    QCOMPARE(asked_column, 1);
    QVERIFY(!drop_down_open_when_asked);
    QCOMPARE(starting.count(), 0);
    QComboBox* drop_down = list->ActiveDropDown();
    QVERIFY(drop_down != nullptr);
    QCOMPARE(drop_down->count(), 3);
    QCOMPARE(drop_down->itemText(2), QString("QPSK"));
    // The entry equal to the cell's text starts selected.
    QCOMPARE(drop_down->currentIndex(), 1);
    QCOMPARE(drop_down->font(), list->font());
    // 3 choices: the cell plus 13 cell heights.
    QCOMPARE(list->LastDropDownHeight(), 14 * RowHeight(*list));
    QCOMPARE(list->LastDropDownRect().left(), list->columnViewportPosition(1));
    QCOMPARE(list->LastDropDownRect().width(), 80);
    drop_down->hidePopup();
    QCoreApplication::processEvents();
    // Closing the list without a new choice keeps the cell as it was.
    QCOMPARE(edited.count(), 1);
    QCOMPARE(edited.at(0).at(2).toString(), QString("r0c1"));

    QVERIFY(list->BeginEdit(0, 1));
    drop_down = list->ActiveDropDown();
    QVERIFY(drop_down != nullptr);
    drop_down->hidePopup();
    drop_down->setCurrentIndex(2);
    QTest::keyClick(drop_down, Qt::Key_Enter);
    QCOMPARE(edited.count(), 2);
    QCOMPARE(edited.at(1).at(0).toInt(), 0);
    QCOMPARE(edited.at(1).at(1).toInt(), 1);
    QCOMPARE(edited.at(1).at(2).toString(), QString("QPSK"));
    QCOMPARE(list->CellText(0, 1), QString("QPSK"));
    QVERIFY(!list->IsEditing());
  }

  void DropDownEscapeAndUnknownCellText() {
    auto list = MakeList();
    list->SetColumnChoice(2, true);
    connect(list.get(), &EditableListControl::ChoicesRequested, this,
            [](int, QStringList* choices) {
              *choices = {"On", "Off"};
            });
    QSignalSpy edited(list.get(), &EditableListControl::CellEdited);
    QVERIFY(list->BeginEdit(1, 2));
    QComboBox* drop_down = list->ActiveDropDown();
    QVERIFY(drop_down != nullptr);
    QCOMPARE(drop_down->currentIndex(), -1);
    drop_down->hidePopup();
    drop_down->setCurrentIndex(0);
    QTest::keyClick(drop_down, Qt::Key_Escape);
    QCOMPARE(list->CellText(1, 2), QString("r1c2"));
    QCOMPARE(edited.count(), 1);
    QCOMPARE(edited.at(0).at(2).toString(), QString("r1c2"));
  }

  void DropDownHeightRule() {
    QCOMPARE(EditableListControl::DropDownListRows(0), 10);
    QCOMPARE(EditableListControl::DropDownListRows(3), 13);
    QCOMPARE(EditableListControl::DropDownListRows(9), 19);
    QCOMPARE(EditableListControl::DropDownListRows(10), 11);
    QCOMPARE(EditableListControl::DropDownListRows(12), 11);

    auto list = MakeList();
    list->SetColumnChoice(1, true);
    list->SetDropDownVerticalScrollBar(true);
    connect(list.get(), &EditableListControl::ChoicesRequested, this,
            [](int, QStringList* choices) {
              for (int i = 0; i < 12; ++i)
                choices->append(QString::number(i));
            });
    QVERIFY(list->BeginEdit(2, 1));
    QCOMPARE(list->LastDropDownHeight(), 12 * RowHeight(*list));
    QComboBox* drop_down = list->ActiveDropDown();
    QVERIFY(drop_down != nullptr);
    QCOMPARE(drop_down->maxVisibleItems(), 11);
    QCOMPARE(drop_down->view()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    list->EndEdit(true);
  }

  void NarrowColumnNeverOpensDropDown() {
    auto list = MakeList();
    list->SetColumnChoice(1, true);
    connect(list.get(), &EditableListControl::ChoicesRequested, this,
            [](int, QStringList* choices) {
              *choices = {"A", "B"};
            });
    QSignalSpy edited(list.get(), &EditableListControl::CellEdited);
    list->setColumnWidth(1, 9);
    ClickCell(*list, 1, 1);
    QVERIFY(list->ActiveDropDown() == nullptr);
    QVERIFY(!list->IsEditing());
    QVERIFY(!EditableListControl::AnyEditorOpen());
    QCOMPARE(edited.count(), 0);

    list->setColumnWidth(1, 10);
    QVERIFY(list->BeginEdit(1, 1));
    QVERIFY(list->ActiveDropDown() != nullptr);
    list->EndEdit(true);
  }

  void ReadOnlyColumnNeverEdits() {
    auto list = MakeList();
    list->SetColumnReadOnly(0, true);
    QVERIFY(list->IsColumnReadOnly(0));
    QSignalSpy starting(list.get(), &EditableListControl::EditStarting);
    QSignalSpy edited(list.get(), &EditableListControl::CellEdited);
    ClickCell(*list, 2, 0);
    QCOMPARE(list->currentItem(), list->topLevelItem(2));
    QVERIFY(!list->IsEditing());
    QVERIFY(!list->BeginEdit(2, 0));
    QCOMPARE(starting.count(), 0);
    QCOMPARE(edited.count(), 0);

    list->SetColumnReadOnly(0, false);
    QVERIFY(!list->IsColumnReadOnly(0));
    QVERIFY(list->BeginEdit(2, 0));
    list->EndEdit(true);
  }

  void ShiftOrCtrlClickOnlySelects() {
    auto list = MakeList();
    ClickCell(*list, 0, 2, Qt::ControlModifier);
    QVERIFY(list->topLevelItem(0)->isSelected());
    QVERIFY(!list->IsEditing());
    ClickCell(*list, 2, 2, Qt::ShiftModifier);
    QVERIFY(list->topLevelItem(1)->isSelected());
    QVERIFY(list->topLevelItem(2)->isSelected());
    QVERIFY(!list->IsEditing());
  }

  void ClickBesideEveryCellIsIgnored() {
    auto list = MakeList();
    list->setCurrentItem(list->topLevelItem(1));
    // Right of the last column.
    const QPoint beside(3 * 80 + 20, CellCentre(*list, 3, 0).y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, beside);
    QCOMPARE(list->currentItem(), list->topLevelItem(1));
    QVERIFY(!list->IsEditing());
    // Below the last row.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 190));
    QCOMPARE(list->currentItem(), list->topLevelItem(1));
    QVERIFY(!list->IsEditing());
  }

  void OneEditorAtATimeInTheWholeProgram() {
    auto list = MakeList();
    auto other = MakeList();
    QVERIFY(list->BeginEdit(0, 2));
    QVERIFY(!list->BeginEdit(1, 2));
    QVERIFY(!other->BeginEdit(1, 2));
    QVERIFY(!other->IsEditing());
    QCOMPARE(list->ActiveEditBox()->text(), QString("r0c2"));
    list->EndEdit(false);
    QVERIFY(other->BeginEdit(1, 2));
    other->EndEdit(false);
    // Disabled editing behaves like a list without editable labels.
    list->SetEditingEnabled(false);
    QVERIFY(!list->BeginEdit(0, 2));
  }

  void ScrollingClosesTheEditor() {
    auto list = MakeList();
    for (int r = 4; r < 40; ++r)
      list->AddRow({"a", "b", "c"});
    QSignalSpy edited(list.get(), &EditableListControl::CellEdited);
    QVERIFY(list->BeginEdit(0, 2));
    QTest::keyClicks(list->ActiveEditBox(), "7");
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->value() + 5);
    QVERIFY(!list->IsEditing());
    QCOMPARE(edited.count(), 1);
    QCOMPARE(list->CellText(0, 2), QString("7"));
  }

  void EditBoxRefusesCharactersOutsideTheSet() {
    auto list = MakeList();
    list->SetAllowedCharacters("0123456789");
    QVERIFY(list->BeginEdit(1, 2));
    FilteredLineEdit* box = list->ActiveEditBox();
    QVERIFY(box != nullptr);
    QCOMPARE(box->AllowedCharacters(), QString("0123456789"));
    QTest::keyClicks(box, "1a2 b");
    QCOMPARE(box->text(), QString("12"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QString("1"));

    QGuiApplication::clipboard()->setText("12a");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->text(), QString("1"));
    QGuiApplication::clipboard()->setText("34");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->text(), QString("134"));
    // Copy and cut still work on allowed text.
    box->selectAll();
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(box->text(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("134"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(list->CellText(1, 2), QString());
  }

  void FilteredLineEditSharesTheRules() {
    FilteredLineEdit edit;
    QTest::keyClicks(&edit, "Any text!");
    QCOMPARE(edit.text(), QString("Any text!"));
    edit.clear();
    edit.SetAllowedCharacters("0123456789ABCDEFabcdef");
    QTest::keyClicks(&edit, "0x1F");
    QCOMPARE(edit.text(), QString("01F"));
    QGuiApplication::clipboard()->setText("AB G");
    QVERIFY(!edit.PasteFiltered());
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(edit.text(), QString("01F"));
    QGuiApplication::clipboard()->setText("ab");
    QVERIFY(edit.PasteFiltered());
    QCOMPARE(edit.text(), QString("01Fab"));
    edit.setReadOnly(true);
    QVERIFY(!edit.PasteFiltered());
  }
};

QTEST_MAIN(EditableListControlTest)
#include "editable_list_control_test.moc"
