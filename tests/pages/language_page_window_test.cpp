// The Language page as a user works it in the main window: a reserved language added with
// "<<" and with a double click, rows moved with "Up" and "Down", a row removed with ">>" and
// with a double click, "Enable" cells switched through their drop-down, the current language
// chosen, page switches in between, saved through "Save FW..." and read back.
#include <QTest>

#include "app/pages/language_page_view.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

QPoint RowPoint(QTreeWidget* list, int row, int column) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  return {list->columnViewportPosition(column) + list->columnWidth(column) / 2, rect.center().y()};
}

void ClickRow(EditableListControl* list, int row) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowPoint(list, row, 0));
}

// The events of a double click, in the order a mouse gives them: press, release, the double
// click itself, release.
void DoubleClick(QWidget* widget, QPoint at) {
  const QPointF local(at);
  const QPointF global(widget->mapToGlobal(at));
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                            QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
    const bool down = type != QEvent::MouseButtonRelease;
    QMouseEvent event(type, local, global, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }
  QCoreApplication::processEvents();
}

void DoubleClickRow(EditableListControl* list, int row) {
  DoubleClick(list->viewport(), RowPoint(list, row, 0));
}

QPoint ItemPoint(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  if (found.isEmpty())
    return {-1, -1};
  list->scrollToItem(found.front());
  return list->visualItemRect(found.front()).center();
}

bool ClickReserved(QListWidget* list, const QString& text) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, ItemPoint(list, text));
  return list->currentItem() != nullptr && list->currentItem()->text() == text;
}

// Clicks the "Enable" cell, which opens its drop-down, and picks the text with the keyboard.
bool PickEnable(EditableListControl* list, int row, const QString& text) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowPoint(list, row, 1));
  QComboBox* drop_down = list->ActiveDropDown();
  if (drop_down == nullptr)
    return false;
  drop_down->view()->setCurrentIndex(drop_down->model()->index(drop_down->findText(text), 0));
  QTest::keyClick(drop_down->view(), Qt::Key_Return);
  QCoreApplication::processEvents();
  return !list->IsEditing();
}

QStringList Column(QTreeWidget* list, int column) {
  QStringList out;
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    out << list->topLevelItem(i)->text(column);
  return out;
}

}  // namespace

class LanguagePageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryControlReachesTheSavedImage() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    auto* view = d.Open<LanguagePageView>(PageId::kLanguage);
    QVERIFY(view);
    QCOMPARE(Column(view->languages(), 0), (QStringList{"English", "French", "German"}));
    QCOMPARE(view->current()->currentText(), QStringLiteral("English"));
    for (QWidget* button :
         {view->add_button(), view->remove_button(), view->up_button(), view->down_button()})
      QVERIFY(!button->isEnabled());

    QVERIFY(ClickReserved(view->reserved(), "Arabic"));
    QVERIFY(view->add_button()->isEnabled());
    user::Click(view->add_button());
    QVERIFY(!view->add_button()->isEnabled());
    QCOMPARE(view->reserved()->findItems("Arabic", Qt::MatchExactly).size(), 0);
    DoubleClick(view->reserved()->viewport(), ItemPoint(view->reserved(), "Greek"));
    QCOMPARE(Column(view->languages(), 0),
             (QStringList{"English", "French", "German", "Arabic", "Greek"}));

    ClickRow(view->languages(), 0);
    QVERIFY(!view->up_button()->isEnabled());
    user::Click(view->down_button());  // French, English, German, Arabic, Greek
    QVERIFY(d.Screenshot("page_language.png"));
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<LanguagePageView>(PageId::kLanguage);
    QCOMPARE(view->languages()->currentItem()->text(0), QStringLiteral("English"));
    QVERIFY(view->up_button()->isEnabled());
    ClickRow(view->languages(), 2);
    user::Click(view->remove_button());  // German goes back to the reserved list
    QVERIFY(!view->remove_button()->isEnabled());
    QCOMPARE(view->reserved()->item(0)->text(), QStringLiteral("German"));
    DoubleClickRow(view->languages(), 3);  // Greek
    QCOMPARE(Column(view->languages(), 0), (QStringList{"French", "English", "Arabic"}));
    ClickRow(view->languages(), 2);
    user::Click(view->up_button());  // French, Arabic, English
    QVERIFY(PickEnable(view->languages(), 0, "Off"));
    QCOMPARE(Column(view->languages(), 1), (QStringList{"Off", "On", "On"}));
    QCOMPARE(view->current()->count(), 2);
    QVERIFY(user::Pick(view->current(), "Arabic"));
    QVERIFY(d.Open<PageView>(PageId::kTuner));
    view = d.Open<LanguagePageView>(PageId::kLanguage);
    QCOMPARE(view->current()->currentText(), QStringLiteral("Arabic"));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .U8(record::kLanguageCount, 3)
                                        .U8(record::kCurrentLanguage, 1)
                                        .U16(record::kLanguageEnableMask, 0b110)
                                        .U8(record::kLanguageTable, 2)
                                        .U8(record::kLanguageTable + 1, 9)
                                        .U8(record::kLanguageTable + 2, 1);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after), std::string());
  }

  void TheLastEnabledLanguageStaysEnabledWithTheMessage() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    auto* view = d.Open<LanguagePageView>(PageId::kLanguage);
    QVERIFY(view);
    QVERIFY(PickEnable(view->languages(), 0, "Off"));
    QVERIFY(PickEnable(view->languages(), 2, "Off"));
    QCOMPARE(view->current()->currentText(), QStringLiteral("French"));
    d.dialogs.messages.clear();
    QVERIFY(PickEnable(view->languages(), 1, "Off"));
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"Error: At lease one language should be enabled."});
    QCOMPARE(view->languages()->CellText(1, 1), QStringLiteral("On"));
    ClickRow(view->languages(), 0);
    QVERIFY(view->remove_button()->isEnabled());
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(RecordDifferences(ExpectedRecord(before.Record())
                                   .U8(record::kCurrentLanguage, 1)
                                   .U16(record::kLanguageEnableMask, 0b010)
                                   .bytes(),
                               after.Record()),
             std::string());
  }

  void WithoutTheSwitchesOnlyTheListAndTheCurrentLanguageShow() {
    ImageFolder folder({}, testdata::RealisticDescription()
                               .Set("CommonConfig", "OsdLanguageConfigEnable", 0)
                               .Set("Language", "LanguagePosChangedEnable", 0));
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<LanguagePageView>(PageId::kLanguage);
    QVERIFY(view);
    for (QWidget* w :
         {static_cast<QWidget*>(view->reserved()), static_cast<QWidget*>(view->reserved_label()),
          static_cast<QWidget*>(view->add_button()), static_cast<QWidget*>(view->remove_button()),
          static_cast<QWidget*>(view->up_button()), static_cast<QWidget*>(view->down_button())})
      QVERIFY(w->isHidden());
    DoubleClickRow(view->languages(), 1);  // removes nothing
    QCOMPARE(view->languages()->topLevelItemCount(), 3);
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::LanguagePageWindowTest)
#include "language_page_window_test.moc"
