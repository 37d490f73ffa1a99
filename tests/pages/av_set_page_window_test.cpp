// The AV set page as a user works it in the main window: the three combos, the RF channel
// with its spin and typing rules and its name, the video output list with its drop-downs,
// header names and DAC check, page switches in between, saved through "Save FW...".
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "app/pages/av_set_page_view.h"
#include "app/widgets/editable_list_control.h"
#include "app/widgets/filtered_line_edit.h"
#include "common/utf8_path.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

size_t Entry(int code) {
  return record::kVideoOutputTable + 4 * static_cast<size_t>(code);
}

// Clicks the cell, which opens its drop-down, and picks the text with the keyboard. False
// when the drop-down does not offer it.
bool PickCell(EditableListControl* list, int row, int column, const QString& text) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    QPoint(list->columnViewportPosition(column) + list->columnWidth(column) / 2,
                           rect.center().y()));
  QComboBox* drop_down = list->ActiveDropDown();
  if (drop_down == nullptr)
    return false;
  const int index = drop_down->findText(text);
  if (index < 0) {
    list->EndEdit(true);
    return false;
  }
  drop_down->view()->setCurrentIndex(drop_down->model()->index(index, 0));
  QTest::keyClick(drop_down->view(), Qt::Key_Return);
  QCoreApplication::processEvents();
  return !list->IsEditing();
}

QStringList DacHeaders(const EditableListControl* list) {
  return {list->headerItem()->text(2), list->headerItem()->text(3), list->headerItem()->text(4)};
}

}  // namespace

class AvSetPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryControlReachesTheSavedImage() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    auto* view = d.Open<AvSetPageView>(PageId::kAvSet);
    QVERIFY(view);
    EditableListControl* list = view->output_list();
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("21"));
    QCOMPARE(list->CellText(0, 1), QStringLiteral("On"));
    QCOMPARE(DacHeaders(list), (QStringList{"1st DAC", "2nd DAC", "3th DAC"}));

    QVERIFY(user::Pick(view->tv_mode(), "NTSC"));
    QVERIFY(user::Pick(view->program_mode(), "16:9"));
    QVERIFY(user::Pick(view->rf_mode(), "PAL B/G Cable"));
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("2"));
    QCOMPARE(view->rf_channel_name()->text(), QStringLiteral("V-2"));
    for (int i = 0; i < 3; ++i)
      user::Click(view->rf_up());
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("5"));
    QCOMPARE(view->rf_channel_name()->text(), QStringLiteral("X"));
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<AvSetPageView>(PageId::kAvSet);
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("5"));
    QCOMPARE(view->rf_channel_name()->text(), QStringLiteral("X"));

    // S-Video on with DAC D on its second signal; CVBS off; the YUV row names its headers.
    QVERIFY(PickCell(list, 2, 1, "On"));
    QCOMPARE(DacHeaders(list), (QStringList{"-Y-", "-C-", ""}));
    QVERIFY(PickCell(list, 2, 3, "DAC D"));
    QVERIFY(!PickCell(list, 2, 4, "DAC A"));  // S-Video has no third signal
    QVERIFY(PickCell(list, 0, 1, "Off"));
    QVERIFY(PickCell(list, 3, 2, "DAC A"));
    QCOMPARE(DacHeaders(list), (QStringList{"-Y-", "-U-", "-V-"}));
    QVERIFY(d.Open<PageView>(PageId::kTuner));
    view = d.Open<AvSetPageView>(PageId::kAvSet);
    list = view->output_list();
    QCOMPARE(list->CellText(2, 3), QStringLiteral("DAC D"));
    QCOMPARE(list->CellText(0, 1), QStringLiteral("Off"));

    // The channel typed: the name follows, and leaving keeps a channel inside the range.
    user::TypeOver(view->rf_channel(), "28");
    QCOMPARE(view->rf_channel_name()->text(), QStringLiteral("S-11"));
    user::Leave(view->rf_channel());
    QVERIFY(d.Screenshot("page_av_set.png"));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .U8(record::kTvMode, 1)
                                        .U8(record::kProgramMode, 2)
                                        .U8(record::kRfMode, 4)
                                        .U8(record::kRfChannel, 28)
                                        .U8(Entry(0), 0)
                                        .U8(Entry(2), 1)
                                        .U8(Entry(2) + 2, 4)
                                        .U8(Entry(3) + 1, 1);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after), std::string());
  }

  void ChannelSpinAndTypingHoldTheRange() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<AvSetPageView>(PageId::kAvSet);
    QVERIFY(view);
    // PAL B/G: 21-69. Below the range the box keeps the number until it is left.
    user::TypeOver(view->rf_channel(), "5");
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("5"));
    user::Leave(view->rf_channel());
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("21"));
    user::TypeOver(view->rf_channel(), "68");
    QTest::keyClick(view->rf_channel(), Qt::Key_End);
    QTest::keyClicks(view->rf_channel(), "9");  // 689: the previous channel comes back
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("68"));
    user::Click(view->rf_up());
    user::Click(view->rf_up());
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("69"));  // the top holds
    user::TypeOver(view->rf_channel(), "99");  // 9, then 99 after a channel below the range
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("21"));
    user::TypeOver(view->rf_channel(), "3");
    user::Click(view->rf_down());  // from outside: the lowest channel
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("21"));
    user::Click(view->rf_down());
    QCOMPARE(view->rf_channel()->text(), QStringLiteral("21"));
    QCOMPARE(view->rf_channel_name()->text(), QString());
    user::TypeOver(view->rf_channel(), "7");  // typed and not left before the save
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(int(after.Record()[record::kRfChannel]), 21);
  }

  void TheDacCheckAndTheEnabledOutputRefuseWhatTheFirmwareCannotUse() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<AvSetPageView>(PageId::kAvSet);
    QVERIFY(view);
    EditableListControl* list = view->output_list();
    QVERIFY(PickCell(list, 2, 1, "On"));  // S-Video: DAC B, DAC C
    QVERIFY(PickCell(list, 3, 1, "On"));  // YUV shares them
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Can not select the same DAC twice!"});
    QCOMPARE(list->CellText(3, 1), QStringLiteral("Off"));
    QVERIFY(PickCell(list, 2, 2, "DAC A"));  // CVBS has it
    QCOMPARE(d.dialogs.messages.size(), size_t(2));
    QCOMPARE(list->CellText(2, 2), QStringLiteral("DAC B"));

    QVERIFY(PickCell(list, 0, 1, "Off"));
    QVERIFY(PickCell(list, 2, 1, "Off"));
    d.dialogs.chosen_paths.push_back(folder.dir.File("refused.bin"));
    d.dialogs.messages.clear();
    user::Click(d.window->SaveFirmwareButton());
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"At least ENABLE opening one video output in AV set!"});
    QVERIFY(!std::filesystem::exists(folder.dir.path() / "refused.bin"));
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::AvSetPageWindowTest)
#include "av_set_page_window_test.moc"
