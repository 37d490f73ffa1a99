// The Key map page as a user works it in the main window: the window-key combos, both user
// codes, panel and IR cells, with page switches in between, saved through "Save FW..." and
// read back byte for byte.
#include <QTest>

#include "app/pages/key_map_page_view.h"
#include "list_cell_actions.h"
#include "main_window_driver.h"
#include "pages/record_fields.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

// A key table entry at `at`: scan code, key code, mark.
void PutEntry(ExpectedRecord& expected, size_t at, uint16_t scan, uint8_t key, uint8_t mark) {
  expected.U16(at, scan).U8(at + 2, key).U8(at + 3, mark);
}

}  // namespace

class KeyMapPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryControlReachesTheSavedImage() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    d.dialogs.messages.clear();
    auto* view = d.Open<KeyMapPageView>(PageId::kKeyMap);
    QVERIFY(view);
    QVERIFY(d.Screenshot("page_key_map.png"));

    QVERIFY(user::Pick(view->pause_window(), "RED"));
    QVERIFY(!user::Pick(view->dview_window(), "RED"));  // taken by the pause window
    QCOMPARE(view->dview_window()->currentText(), QStringLiteral("DVIEW"));
    QVERIFY(user::Pick(view->preview_window(), "BLUE"));
    user::TypeOver(view->user_code(0), "1fh");
    QTest::keyClick(view->user_code(0), Qt::Key_G);  // refused: the edit keeps its text
    QCOMPARE(view->user_code(0)->text(), QStringLiteral("1fh"));
    user::TypeOver(view->user_code(1), "c3");

    // The all-zero tables of the image showed "0000" for the Power key; the user clears it.
    EditableListControl* panel = view->panel_list();
    EditableListControl* ir = view->ir_list();
    QCOMPARE(panel->CellText(0, 1), QStringLiteral("0000"));
    QVERIFY(user::TypeInCell(panel, 0, 1, ""));
    QVERIFY(user::TypeInCell(panel, 3, 1, "a1"));
    QVERIFY(user::TypeInCell(panel, 6, 1, "A1"));  // duplicate of "Channel up"
    QCOMPARE(panel->CellText(6, 1), QString());
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<KeyMapPageView>(PageId::kKeyMap);
    QCOMPARE(view->panel_list()->CellText(3, 1), QStringLiteral("a1"));
    QVERIFY(user::TypeInCell(ir, 0, 1, ""));
    QVERIFY(user::TypeInCell(ir, 0, 2, ""));
    QVERIFY(user::TypeInCell(ir, 1, 1, "11"));
    QVERIFY(user::TypeInCell(ir, 1, 2, "11"));     // the second user code's own column
    QVERIFY(user::TypeInCell(ir, 4, 2, "ABCDE"));  // too long
    QVERIFY(user::TypeInCell(ir, 4, 2, "3c"));
    QCOMPARE(d.dialogs.Texts(),
             (std::vector<std::string>{
                 "Pause window has set the same key!",
                 "the scan codes of Key [Volume down] is duplicate with Key [Channel up]!",
                 "The key value is too long."}));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    ExpectedRecord expected = ExpectedRecord(before.Record())
                                  .U8(record::kPauseWindowKey, 1)
                                  .U8(record::kPreviewWindowKey, 2)
                                  .U16(record::kIrUserCode, 0x1F)
                                  .U16(record::kSecondIrUserCode, 0xC3);
    PutEntry(expected, record::kPanelKeyMap, 0xA1, 3, 1);
    for (size_t i = 1; i < 8; ++i)
      PutEntry(expected, record::kPanelKeyMap + 4 * i, 0, 0xFF, 1);
    const std::vector<std::array<int, 3>> ir_entries = {
        {0x11, 1, 0}, {0, 0xFE, 0}, {0x11, 1, 0}, {0x3C, 4, 0}, {0, 0xFE, 0}};
    for (size_t i = 0; i < 96; ++i) {
      const auto e = i < ir_entries.size() ? ir_entries[i] : std::array<int, 3>{0, 0xFF, 0};
      PutEntry(expected, record::kIrKeyMap + 4 * i, static_cast<uint16_t>(e[0]),
               static_cast<uint8_t>(e[1]), static_cast<uint8_t>(e[2]));
    }
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after), std::string());

    // The saved image loads back into the same rows.
    ImageFolder again_folder;
    testdata::WriteFile(again_folder.image_path(),
                        testdata::ReadFile(folder.dir.File("after.bin")));
    WindowDriver again(again_folder);
    QVERIFY(again.active);
    auto* reloaded = again.Open<KeyMapPageView>(PageId::kKeyMap);
    QVERIFY(reloaded);
    QCOMPARE(reloaded->panel_list()->CellText(3, 1), QStringLiteral("00a1"));
    QCOMPARE(reloaded->ir_list()->CellText(1, 1), QStringLiteral("0011"));
    QCOMPARE(reloaded->ir_list()->CellText(1, 2), QStringLiteral("0011"));
    QCOMPARE(reloaded->ir_list()->CellText(4, 2), QStringLiteral("003c"));
    QCOMPARE(reloaded->ir_list()->CellText(0, 1), QString());
    QCOMPARE(reloaded->user_code(0)->text(), QStringLiteral("001f"));
    QCOMPARE(reloaded->pause_window()->currentText(), QStringLiteral("RED"));
  }

  void LoadIrTakesTheIrPartOfASettingFile() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<KeyMapPageView>(PageId::kKeyMap);
    QVERIFY(view);
    QCOMPARE(d.window->LoadSettingsButton()->text(), QStringLiteral("Load IR..."));
    QVERIFY(user::TypeInCell(view->panel_list(), 2, 1, "77"));
    const CustomerSettings::Bytes current = d.window->model().project().settings.bytes();
    CustomerSettings::Bytes file = current;
    for (size_t i = 0; i < file.size(); ++i)
      file[i] = static_cast<uint8_t>(file[i] ^ 0x5A);
    for (size_t i = 0; i < 96; ++i) {  // Mute and Power in the first column
      const size_t at = record::kIrKeyMap + 4 * i;
      file[at] = static_cast<uint8_t>(i < 2 ? 0x70 + i : 0);
      file[at + 1] = 0;
      file[at + 2] = static_cast<uint8_t>(i < 2 ? 1 - i : 0xFF);
      file[at + 3] = 0;
    }
    file[record::kSecondIrUserCode] = file[record::kSecondIrUserCode + 1] = 0;
    file[record::kPauseWindowKey] = 2;
    file[record::kPreviewWindowKey] = 1;
    file[record::kDViewWindowKey] = 0;
    const std::string path = folder.dir.File("keys.set");
    testdata::WriteFile(path, std::vector<uint8_t>(file.begin(), file.end()));
    d.dialogs.chosen_paths.push_back(path);
    user::Click(d.window->LoadSettingsButton());
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{});

    std::vector<uint8_t> expected(current.begin(), current.end());
    std::copy(file.begin() + 396, file.begin() + 782, expected.begin() + 396);
    std::copy_n(file.begin() + 1128, 2, expected.begin() + 1128);
    const CustomerSettings::Bytes& now = d.window->model().project().settings.bytes();
    QCOMPARE(RecordDifferences(expected, std::vector<uint8_t>(now.begin(), now.end())),
             std::string());
    QCOMPARE(view->pause_window()->currentText(), QStringLiteral("YELLOW"));
    QCOMPARE(view->preview_window()->currentText(), QStringLiteral("GREEN"));
    QCOMPARE(view->ir_list()->CellText(0, 1), QStringLiteral("0071"));
    QCOMPARE(view->ir_list()->CellText(1, 1), QStringLiteral("0070"));
    QCOMPARE(view->user_code(0)->text(),
             QString::fromStdString(HexText(file[780] | file[781] << 8, 4)));
    QCOMPARE(view->panel_list()->CellText(2, 1), QStringLiteral("77"));
    // The window keys reach the record with the next store.
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(int(after.Record()[record::kPauseWindowKey]), 2);
    QCOMPARE(int(after.Record()[record::kPreviewWindowKey]), 1);
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::KeyMapPageWindowTest)
#include "key_map_page_window_test.moc"
