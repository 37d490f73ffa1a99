// The System set page as a user works it in the main window: the "Advanced" box that gates
// every control, the four combos, both delays typed and spun, the two passwords with their
// character set and length, page switches in between, saved through "Save FW..." and read
// back; and a whole setting file applied on the Common page, which leaves the page as it was.
#include <QTest>

#include "app/pages/system_set_page_view.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

std::vector<uint8_t> ImageBytes(const testdata::SavedImage& image, size_t offset, size_t size) {
  return std::vector<uint8_t>(image.bytes.begin() + static_cast<long>(offset),
                              image.bytes.begin() + static_cast<long>(offset + size));
}

// Offset of the clock and pad block inside the image: mirrored into record bytes 2-7.
constexpr size_t kClockPadImageOffset = 258;

}  // namespace

class SystemSetPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryControlReachesTheSavedImageOnlyWhileTheBoxIsTicked() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    QVERIFY(d.window->TreeItem(PageId::kSystemSet) != nullptr);
    auto* view = d.Open<SystemSetPageView>(PageId::kSystemSet);
    QVERIFY(view);
    QVERIFY(!view->group()->isHidden());
    QVERIFY(!view->advanced()->isChecked());
    QVERIFY(!view->cpu_clock()->isEnabled());
    QVERIFY(!view->clock_tree_delay()->isEnabled());
    QVERIFY(!view->password1()->isEnabled());
    QVERIFY(!view->clock_delay_chain_up()->isEnabled());

    user::Click(view->advanced());
    QVERIFY(view->cpu_clock()->isEnabled() && view->password2()->isEnabled());
    QVERIFY(d.Screenshot("page_system_set.png"));
    QVERIFY(user::Pick(view->cpu_clock(), "148.5 MHz"));
    QVERIFY(user::Pick(view->memory_clock(), "162 MHz"));
    QVERIFY(user::Pick(view->data_pad_driver(), "8 mA"));
    user::TypeOver(view->clock_tree_delay(), "16");  // above 15: MinValue when left
    user::Leave(view->clock_tree_delay());
    QCOMPARE(view->clock_tree_delay()->text(), QStringLiteral("0"));
    user::Click(view->clock_tree_down());  // wraps from MinValue to MaxValue
    QCOMPARE(view->clock_tree_delay()->text(), QStringLiteral("15"));
    user::Click(view->clock_tree_down());
    user::TypeOver(view->clock_delay_chain(), "7");
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<SystemSetPageView>(PageId::kSystemSet);
    QVERIFY(view->advanced()->isChecked());
    QCOMPARE(view->clock_delay_chain()->text(), QStringLiteral("7"));
    user::Click(view->clock_delay_chain_up());  // wraps from MaxValue to MinValue
    user::Click(view->clock_delay_chain_up());
    QCOMPARE(view->clock_delay_chain()->text(), QStringLiteral("1"));
    QVERIFY(user::Pick(view->command_pad_driver(), "16 mA"));
    user::TypeOver(view->password1(), "12a3");  // only [Password] Limit characters
    QCOMPARE(view->password1()->text(), QStringLiteral("123"));
    user::TypeOver(view->password2(), "9876543");  // at most MaxLength characters
    QCOMPARE(view->password2()->text(), QStringLiteral("98765"));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .U8(record::kCpuClock, 3)
                                        .U8(record::kMemClock, 4)
                                        .U8(record::kClockDelayChain, 1)
                                        .U8(record::kClockTreeDelay, 14)
                                        .U8(record::kDataPadDriver, 1)
                                        .U8(record::kCommandPadDriver, 3)
                                        .Text(record::kSysPassword1, 6, "123")
                                        .Text(record::kSysPassword2, 6, "98765");
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(ImageBytes(after, kClockPadImageOffset, 6), (std::vector<uint8_t>{3, 4, 1, 14, 1, 3}));
    QCOMPARE(testing::OtherChunkDifferences(before, after, {kBootloaderChunkId}), std::string());

    // Changed, then unticked: the next save writes none of it.
    view = d.Open<SystemSetPageView>(PageId::kSystemSet);
    QVERIFY(user::Pick(view->cpu_clock(), "108 MHz"));
    user::TypeOver(view->password1(), "5");
    user::Click(view->advanced());
    QVERIFY(!view->cpu_clock()->isEnabled());
    const testdata::SavedImage again = d.SaveFw("again.bin");
    QCOMPARE(RecordDifferences(after.Record(), again.Record()), std::string());
  }

  void ASettingFileAppliedOnTheCommonPageLeavesThePageAndItsFields() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    auto* view = d.Open<SystemSetPageView>(PageId::kSystemSet);
    QVERIFY(view);
    const QString shown_cpu = view->cpu_clock()->currentText();
    const QString shown_tree = view->clock_tree_delay()->text();

    std::vector<uint8_t> file = before.Record();
    file[0] = 0x77;  // taken from the file
    for (size_t i = 2; i < 8; ++i)
      file[i] = 0;
    for (size_t i = 48; i < 60; ++i)
      file[i] = '5';
    const std::string path = folder.dir.File("other.set");
    testdata::WriteFile(path, file);
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    d.dialogs.chosen_paths.push_back(path);
    user::Click(d.window->LoadSettingsButton());

    view = d.Open<SystemSetPageView>(PageId::kSystemSet);
    QCOMPARE(view->cpu_clock()->currentText(), shown_cpu);
    QCOMPARE(view->clock_tree_delay()->text(), shown_tree);
    QCOMPARE(view->password1()->text(), QString());
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QCOMPARE(RecordDifferences(ExpectedRecord(before.Record()).U8(0, 0x77).bytes(), after.Record()),
             std::string());
  }

  void WithoutCustomerConfigThePageIsNeitherShownNorWritten() {
    ImageFolder folder(
        {}, testdata::RealisticDescription().Set("CommonConfig", "CustomerConfigEnable", 0));
    WindowDriver d(folder);
    QVERIFY(d.active);
    QVERIFY(d.window->TreeItem(PageId::kSystemSet) == nullptr);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(RecordDifferences(before.Record(), after.Record()), std::string());
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::SystemSetPageWindowTest)
#include "system_set_page_window_test.moc"
