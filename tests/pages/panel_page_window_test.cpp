// The Panel page as a user works it in the main window: every combo, the segment and signal
// lists, the check box and "Reverse direction", with page switches in between, saved through
// "Save FW..."; the store's refusal; and "Load Panel..." refreshing the three pages that show
// the panel part of the record.
#include <QTest>

#include "app/pages/gpio_usage_page_view.h"
#include "app/pages/key_map_page_view.h"
#include "app/pages/panel_page_view.h"
#include "common/utf8_path.h"
#include "list_cell_actions.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

void PutTable(ExpectedRecord& expected, const std::array<uint16_t, kFontSize>& table) {
  for (size_t i = 0; i < kFontSize; ++i)
    expected.U16(record::kCharacterTable + 2 * i, table[i]);
  expected.U16(record::kCharacterTableCount, 60).U16(record::kCharacterTableCount + 2, 0);
}

}  // namespace

class PanelPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryControlReachesTheSavedImage() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    d.dialogs.messages.clear();
    auto* view = d.Open<PanelPageView>(PageId::kPanel);
    QVERIFY(view);
    QVERIFY(view->key_repeat_first()->isHidden() || !view->key_repeat_first()->isVisible());
    QVERIFY(!view->dot_com()->isEnabled());
    QVERIFY(!view->signal_list()->isEnabled());

    QVERIFY(user::Pick(view->scan_type(), "Shadow Scan"));
    QVERIFY(user::Pick(view->led_number(), "2"));
    QVERIFY(user::Pick(view->dot_enable(), "On"));
    QVERIFY(view->dot_com()->isEnabled());
    QVERIFY(!view->dot_position()->isEnabled());
    QVERIFY(user::Pick(view->dot_com(), "COM 3"));
    QVERIFY(user::Pick(view->dot_polarity(), "High active"));
    EditableListControl* segments = view->segment_list();
    QVERIFY(user::PickInCell(segments, 0, 1, "Bit 3"));  // Segment H takes E's bit
    QCOMPARE(segments->CellText(3, 1), QStringLiteral("Bit 0"));
    QCOMPARE(view->dot_position()->currentText(), QStringLiteral("Bit 3"));
    // The picture lights the selected row's segment: the dot.
    QCOMPARE(view->digit_picture()->Text(), std::string(1, static_cast<char>(0xC7)));
    QVERIFY(d.Screenshot("page_panel.png"));

    QVERIFY(d.Open<PageView>(PageId::kGpioUsage));
    view = d.Open<PanelPageView>(PageId::kPanel);
    QCOMPARE(view->segment_list()->CellText(0, 1), QStringLiteral("Bit 3"));
    user::Click(view->signal_enable());
    QVERIFY(view->signal_list()->isEnabled());
    QVERIFY(user::Pick(view->signal_com(), "COM 5"));
    QVERIFY(user::Pick(view->signal_polarity(), "High active"));
    EditableListControl* signal = view->signal_list();
    for (int row = 1; row < 9; ++row)
      QVERIFY(user::TypeInCell(signal, row, 1, QString::number(row * 10)));
    QVERIFY(user::TypeInCell(signal, 8, 1, "101"));  // refused
    QCOMPARE(signal->CellText(8, 1), QStringLiteral("80"));
    QVERIFY(user::PickInCell(signal, 1, 2, "Bit 6"));  // row 7 gets bit 0
    user::Click(view->reverse_direction());
    QCOMPARE(signal->CellText(1, 2), QStringLiteral("Bit 7"));
    QCOMPARE(signal->CellText(2, 2), QStringLiteral("Bit 0"));
    QCOMPARE(signal->CellText(8, 2), QStringLiteral("Bit 6"));
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"the signal scope is in 0 - 100."});

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    ExpectedRecord expected = ExpectedRecord(before.Record())
                                  .U8(record::kPanelScanType, 0x04)
                                  .U8(record::kLedDigits, 0x20)
                                  .U8(record::kLedDotEnable, 1)
                                  .U8(record::kLedDotCom, 2)
                                  .U8(record::kLedDotPosition, 3)
                                  .U8(record::kLedDotPolarity, 1)
                                  .U8(record::kSignalLedEnable, 1)
                                  .U8(record::kSignalLedCom, 4);
    // LED polarity "Low active" (0), dot "High active": the dot's bit 3 is toggled.
    PutTable(expected, BuildCharacterTable({3, 1, 2, 0, 4, 5, 6, 7}, 0, 3));
    // Lit bars are 1 bits: rows 1..8 on bits 7, 0, 5, 4, 3, 2, 1, 6.
    const uint8_t patterns[9] = {0x00, 0x80, 0x81, 0xA1, 0xB1, 0xB9, 0xBD, 0xBF, 0xFF};
    for (size_t k = 0; k < 9; ++k) {
      expected.U8(record::kSignalLedPatterns + k, patterns[k]);
      expected.U8(record::kSignalLedScopes + k, static_cast<uint8_t>(k * 10));
    }
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after), std::string());
  }

  void ScopesOutOfOrderKeepTheUserOnThePage() {
    ImageFolder folder;
    WindowDriver d(folder);
    auto* view = d.Open<PanelPageView>(PageId::kPanel);
    QVERIFY(view);
    user::Click(view->signal_enable());
    for (int row = 1; row < 9; ++row)
      QVERIFY(user::TypeInCell(view->signal_list(), row, 1, row == 2 ? "20" : "30"));
    d.dialogs.chosen_paths.push_back(folder.dir.File("never.bin"));
    user::Click(d.window->SaveFirmwareButton());
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"Light segment 2 value should large than Light segment 1"});
    QCOMPARE(d.dialogs.messages[0].title, std::string("Error"));
    QVERIFY(!std::filesystem::exists(folder.dir.path() / "never.bin"));
  }

  void LoadPanelRefreshesTheThreePanelPages() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* keys = d.Open<KeyMapPageView>(PageId::kKeyMap);
    QVERIFY(keys);
    QVERIFY(user::TypeInCell(keys->ir_list(), 3, 1, "55"));  // an IR edit that must survive
    auto* view = d.Open<PanelPageView>(PageId::kPanel);
    QVERIFY(view);
    QCOMPARE(d.window->LoadSettingsButton()->text(), QStringLiteral("Load Panel..."));

    const CustomerSettings::Bytes current = d.window->model().project().settings.bytes();
    CustomerSettings::Bytes file{};
    for (size_t i = 0; i < file.size(); ++i)
      file[i] = static_cast<uint8_t>(i * 3 + 1);
    const auto table = BuildCharacterTable({0, 2, 1, 3, 4, 5, 6, 7}, 1, -1);
    for (size_t i = 0; i < kFontSize; ++i) {
      file[record::kCharacterTable + 2 * i] = static_cast<uint8_t>(table[i]);
      file[record::kCharacterTable + 2 * i + 1] = static_cast<uint8_t>(table[i] >> 8);
    }
    file[record::kCharacterTableCount] = 60;
    file[record::kCharacterTableCount + 1] = 0;
    file[record::kCharacterTableCount + 2] = 0;
    file[record::kCharacterTableCount + 3] = 0;
    file[record::kGpioBusType] = 2 << 2;
    file[record::kGpioUsageBlock + 7] = 9 << 2 | 1;  // Digit 1 on pin 9, high active
    file[record::kPanelKeyMap] = 0x34;               // panel entry 0: Menu
    file[record::kPanelKeyMap + 1] = 0x12;
    file[record::kPanelKeyMap + 2] = 1;
    const std::string path = folder.dir.File("panel.set");
    testdata::WriteFile(path, std::vector<uint8_t>(file.begin(), file.end()));
    d.dialogs.chosen_paths.push_back(path);
    user::Click(d.window->LoadSettingsButton());
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{});

    std::vector<uint8_t> expected(current.begin(), current.end());
    std::copy(file.begin() + 164, file.begin() + 396, expected.begin() + 164);
    // The GPIO usage page's fill writes the bus type's GPIO count over the block's last byte.
    expected[record::kGpioUsageBlock + 23] = 12;
    const CustomerSettings::Bytes& now = d.window->model().project().settings.bytes();
    QCOMPARE(RecordDifferences(expected, std::vector<uint8_t>(now.begin(), now.end())),
             std::string());

    QCOMPARE(view->segment_list()->CellText(1, 1), QStringLiteral("Bit 2"));
    QCOMPARE(view->segment_list()->CellText(2, 1), QStringLiteral("Bit 1"));
    QCOMPARE(view->led_polarity()->currentText(), QStringLiteral("High active"));
    auto* gpio = d.Open<GpioUsagePageView>(PageId::kGpioUsage);
    QVERIFY(gpio);
    QCOMPARE(gpio->bus_type()->currentText(), QStringLiteral("panel_direct_gpio.bin"));
    QCOMPARE(gpio->usage_list()->CellText(7, 1), QStringLiteral("9"));
    QCOMPARE(gpio->usage_list()->CellText(7, 2), QStringLiteral("High active"));
    keys = d.Open<KeyMapPageView>(PageId::kKeyMap);
    QCOMPARE(keys->panel_list()->CellText(1, 1), QStringLiteral("1234"));
    QCOMPARE(keys->ir_list()->CellText(3, 1), QStringLiteral("55"));
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::PanelPageWindowTest)
#include "panel_page_window_test.moc"
