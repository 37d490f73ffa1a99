// The GPIO usage page as a user works it in the main window: the bus type, pin numbers,
// polarities and values, with page switches in between, saved through "Save FW..." with the
// dynamic panel file of the chosen bus type.
#include <QTest>

#include "app/pages/gpio_usage_page_view.h"
#include "list_cell_actions.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

class GpioUsagePageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryControlReachesTheSavedImage() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    d.dialogs.messages.clear();
    // The loaded bus type's panel file went into the image with the first save.
    QCOMPARE(before.Data(kDynamicPanelChunkId, 0x100), testdata::PatternBytes(0x100, 80));
    auto* view = d.Open<GpioUsagePageView>(PageId::kGpioUsage);
    QVERIFY(view);
    QVERIFY(d.Screenshot("page_gpio_usage.png"));

    QVERIFY(user::Pick(view->bus_type(), "panel_pt6964.bin"));
    EditableListControl* list = view->usage_list();
    QCOMPARE(list->RowCount(), 5);
    QVERIFY(user::TypeInCell(list, 0, 1, "12"));
    QVERIFY(user::PickInCell(list, 0, 2, "High active"));
    QVERIFY(user::TypeInCell(list, 1, 1, "100"));  // refused: the cell keeps GPIO 11
    QCOMPARE(list->CellText(1, 1), QStringLiteral("11"));
    QVERIFY(d.Open<PageView>(PageId::kPanel));
    view = d.Open<GpioUsagePageView>(PageId::kGpioUsage);
    QCOMPARE(view->usage_list()->CellText(0, 2), QStringLiteral("High active"));
    QVERIFY(user::TypeInCell(list, 2, 1, ""));
    QCOMPARE(list->CellText(2, 2), QString());
    QVERIFY(user::TypeInCell(list, 3, 1, "62"));
    QVERIFY(user::TypeInCell(list, 4, 1, "300"));  // "Display brightness", a value
    QCOMPARE(list->CellText(4, 1), QStringLiteral("255"));
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"GPIO No. must be 0-62, Unused:63."});

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .U8(record::kGpioBusType, 1 << 2)
                                        .U8(record::kGpioUsageBlock + 0, 12 << 2 | 1)
                                        .U8(record::kGpioUsageBlock + 2, 63 << 2)
                                        .U8(record::kGpioUsageBlock + 3, 62 << 2)
                                        .U8(record::kGpioUsageBlock + 20, 255);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(after.Data(kDynamicPanelChunkId, 0x100), testdata::PatternBytes(0x100, 81));
    QCOMPARE(testing::OtherChunkDifferences(before, after, {kDynamicPanelChunkId}), std::string());
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::GpioUsagePageWindowTest)
#include "gpio_usage_page_window_test.moc"
