// The Program set page as a user works it in the main window: both lists, the "Add TP" and
// "Add forbidden program" dialogs with their messages, memories and radio buttons, the add and
// delete buttons with their limits, page switches in between, saved through "Save FW...".
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "app/pages/program_set_page_view.h"
#include "app/widgets/filtered_line_edit.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

size_t Tp(size_t i) {
  return record::kAutoscanTps + 4 * i;
}
size_t Forbidden(size_t i) {
  return record::kForbiddenEntries + 8 * i;
}

void Put16(std::vector<uint8_t>& record, size_t at, uint16_t value) {
  record[at] = static_cast<uint8_t>(value);
  record[at + 1] = static_cast<uint8_t>(value >> 8);
}

// A standard image whose record lists `tps` autoscan TPs (3000, 3001, ... H, 27500) and one
// forbidden program.
std::vector<testdata::ChunkSpec> ChunksWithTps(int tps) {
  std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
  std::vector<uint8_t>& record = chunks.back().data;
  for (int i = 0; i < tps; ++i) {
    Put16(record, Tp(static_cast<size_t>(i)), static_cast<uint16_t>((3000 + i) * 2));
    Put16(record, Tp(static_cast<size_t>(i)) + 2, 27500);
  }
  Put16(record, Forbidden(0), 12000 * 2 + 1);
  Put16(record, Forbidden(0) + 2, 30000);
  Put16(record, Forbidden(0) + 4, 0x0100);
  Put16(record, Forbidden(0) + 6, 0x0101);
  return chunks;
}

QStringList Row(const QTreeWidget* list, int row) {
  QStringList cells;
  const QTreeWidgetItem* item = list->topLevelItem(row);
  for (int c = 0; item != nullptr && c < list->columnCount(); ++c)
    cells << item->text(c);
  return cells;
}

void ClickRow(QTreeWidget* list, int row) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

}  // namespace

class ProgramSetPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void BothListsWorkedThroughTheirDialogsReachTheSavedImage() {
    const std::vector<testdata::ChunkSpec> chunks = ChunksWithTps(1);
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    d.dialogs.messages.clear();
    auto* view = d.Open<ProgramSetPageView>(PageId::kProgramSet);
    QVERIFY(view);
    QCOMPARE(Row(view->tp_list(), 0), (QStringList{"H", "03000", "27500"}));
    QCOMPARE(Row(view->forbidden_list(), 0), (QStringList{"V", "12000", "30000", "0256", "0257"}));
    QVERIFY(!view->delete_tp()->isEnabled());
    QVERIFY(!view->delete_forbidden()->isEnabled());

    // Add TP: a frequency out of range keeps the dialog open with its message.
    user::Click(view->add_tp());
    AddTpDialog* tp = view->tp_dialog();
    QVERIFY(tp && tp->isVisible());
    QCOMPARE(tp->windowTitle(), QStringLiteral("Add TP"));
    QCOMPARE(tp->polarity()->currentText(), QStringLiteral("H"));
    QCOMPARE(tp->frequency()->text(), QStringLiteral("0"));
    QCOMPARE(tp->symbol_rate()->text(), QStringLiteral("0"));
    user::TypeOver(tp->frequency(), "2999x");
    QCOMPARE(tp->frequency()->text(), QStringLiteral("2999"));  // digits only
    user::TypeOver(tp->symbol_rate(), "275001");
    QCOMPARE(tp->symbol_rate()->text(), QStringLiteral("27500"));  // five at most
    user::Click(tp->ok_button());
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"The range of TP frequency must be 3000 - 13450!"});
    QVERIFY(tp->isVisible());
    QCOMPARE(tp->focusWidget(), tp->frequency());
    user::TypeOver(tp->frequency(), "11000");
    user::Click(tp->ok_button());
    QTRY_VERIFY(!view->tp_dialog());
    QCOMPARE(Row(view->tp_list(), 1), (QStringList{"H", "11000", "27500"}));

    // The dialog comes back with those values; the same TP again is refused.
    user::Click(view->add_tp());
    tp = view->tp_dialog();
    QVERIFY(tp);
    QCOMPARE(tp->frequency()->text(), QStringLiteral("11000"));
    QCOMPARE(tp->symbol_rate()->text(), QStringLiteral("27500"));
    user::Click(tp->ok_button());
    QCOMPARE(d.dialogs.LastText(), std::string("The TP is already exists!"));
    QCOMPARE(tp->focusWidget(), tp->frequency());
    QVERIFY(user::Pick(tp->polarity(), "V"));
    user::Click(tp->ok_button());
    QTRY_VERIFY(!view->tp_dialog());
    QCOMPARE(view->tp_list()->topLevelItemCount(), 3);

    // Cancel adds nothing and forgets what was typed.
    user::Click(view->add_tp());
    user::TypeOver(view->tp_dialog()->frequency(), "5000");
    user::Click(view->tp_dialog()->cancel_button());
    QTRY_VERIFY(!view->tp_dialog());
    QCOMPARE(view->tp_list()->topLevelItemCount(), 3);

    // Delete the first row; the page switch keeps the lists.
    ClickRow(view->tp_list(), 0);
    QVERIFY(view->delete_tp()->isEnabled());
    user::Click(view->delete_tp());
    QVERIFY(!view->delete_tp()->isEnabled());
    QCOMPARE(d.window->focusWidget(), view->tp_list());
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<ProgramSetPageView>(PageId::kProgramSet);
    QCOMPARE(view->tp_list()->topLevelItemCount(), 2);
    QCOMPARE(Row(view->tp_list(), 1), (QStringList{"V", "11000", "27500"}));

    // A whole TP on both polarities: "Forbid TP" disables the PIDs.
    user::Click(view->add_forbidden());
    AddForbiddenDialog* forbidden = view->forbidden_dialog();
    QVERIFY(forbidden);
    QCOMPARE(forbidden->windowTitle(), QStringLiteral("Add forbidden program"));
    QVERIFY(forbidden->forbid_program()->isChecked());
    QVERIFY(forbidden->video_pid()->isEnabled());
    user::Click(forbidden->forbid_tp());
    QVERIFY(!forbidden->video_pid()->isEnabled());
    QVERIFY(!forbidden->audio_pid()->isEnabled());
    QVERIFY(user::Pick(forbidden->polarity(), "H/V"));
    user::TypeOver(forbidden->frequency(), "11000");
    user::TypeOver(forbidden->symbol_rate(), "27500");
    user::Click(forbidden->ok_button());
    QTRY_VERIFY(!view->forbidden_dialog());
    QCOMPARE(Row(view->forbidden_list(), 1),
             (QStringList{"H/V", "11000", "27500", "****", "****"}));

    // A program: a PID out of range, then the same whole TP refused as already listed.
    user::Click(view->add_forbidden());
    forbidden = view->forbidden_dialog();
    QVERIFY(forbidden->forbid_tp()->isChecked());  // remembered
    QCOMPARE(forbidden->polarity()->currentText(), QStringLiteral("H/V"));
    user::Click(forbidden->ok_button());
    QCOMPARE(d.dialogs.LastText(), std::string("The forbidden program/TP is already exists!"));
    user::Click(forbidden->forbid_program());
    QVERIFY(forbidden->audio_pid()->isEnabled());
    QVERIFY(user::Pick(forbidden->polarity(), "V"));
    user::TypeOver(forbidden->video_pid(), "31");
    user::TypeOver(forbidden->audio_pid(), "8191");
    user::Click(forbidden->ok_button());
    QCOMPARE(d.dialogs.LastText(),
             std::string("The range of program video PID must be 32 - 8191!"));
    QCOMPARE(forbidden->focusWidget(), forbidden->video_pid());
    user::TypeOver(forbidden->video_pid(), "512");
    user::Click(forbidden->ok_button());
    QTRY_VERIFY(!view->forbidden_dialog());
    QCOMPARE(Row(view->forbidden_list(), 2), (QStringList{"V", "11000", "27500", "0512", "8191"}));
    QVERIFY(d.Open<PageView>(PageId::kTuner));
    view = d.Open<ProgramSetPageView>(PageId::kProgramSet);
    QVERIFY(d.Screenshot("page_program_set.png"));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .U8(record::kAutoscanTpCount, 2)
                                        .U16(Tp(0), 22000)
                                        .U16(Tp(0) + 2, 27500)
                                        .U16(Tp(1), 22001)
                                        .U16(Tp(1) + 2, 27500)
                                        .U8(record::kForbiddenCount, 3)
                                        .U16(Forbidden(1), 22000)
                                        .U16(Forbidden(1) + 2, 27500)
                                        .U16(Forbidden(1) + 4, 0xC000)
                                        .U16(Forbidden(2), 22001)
                                        .U16(Forbidden(2) + 2, 27500)
                                        .U16(Forbidden(2) + 4, 512)
                                        .U16(Forbidden(2) + 6, 8191);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after), std::string());
  }

  void AddButtonsFollowTheLimitsAndEnterPressesAButton() {
    const std::vector<testdata::ChunkSpec> chunks = ChunksWithTps(9);
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<ProgramSetPageView>(PageId::kProgramSet);
    QVERIFY(view);
    QVERIFY(view->add_tp()->isEnabled());
    view->add_tp()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(view->add_tp(), Qt::Key_Return);
    QVERIFY(view->tp_dialog());
    user::TypeOver(view->tp_dialog()->frequency(), "13450");
    user::TypeOver(view->tp_dialog()->symbol_rate(), "45000");
    user::Click(view->tp_dialog()->ok_button());
    QTRY_VERIFY(!view->tp_dialog());
    QCOMPARE(view->tp_list()->topLevelItemCount(), 10);
    QVERIFY(!view->add_tp()->isEnabled());
    ClickRow(view->tp_list(), 9);
    user::Click(view->delete_tp());
    QVERIFY(view->add_tp()->isEnabled());
    // Escape on the page closes nothing.
    QTest::keyClick(view->tp_list(), Qt::Key_Escape);
    QVERIFY(d.window->isVisible());
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::ProgramSetPageWindowTest)
#include "program_set_page_window_test.moc"
