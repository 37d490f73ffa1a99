// The Common page as a user works it in the main window: every edit, combo, the slider and
// the palette spin, with page switches in between, saved through "Save FW..." and read back.
#include <QTest>

#include "app/pages/common_page_view.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

class CommonPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void TypedTextsSurviveTheSpinAndReachTheSavedImage() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    auto* view = d.Open<CommonPageView>(PageId::kCommon);
    QVERIFY(view);

    user::TypeOver(view->version(), "V2.1");
    user::Click(view->palette_up());  // 4 wraps to 1
    QCOMPARE(view->version()->text(), QStringLiteral("V2.1"));
    QCOMPARE(view->palette_count()->text(), QStringLiteral("1"));
    user::TypeOver(view->power_on(), "On");
    user::TypeOver(view->volume(), "35");
    QCOMPARE(view->power_on()->text(), QStringLiteral("On"));
    user::TypeOver(view->standby(), "Stb");
    user::TypeOver(view->palette_count(), "3");
    QCOMPARE(view->standby()->text(), QStringLiteral("Stb"));
    user::TypeOver(view->power_on(), "12");
    user::Slide(view->volume_slider(), Qt::Key_Right, 2);
    QCOMPARE(view->power_on()->text(), QStringLiteral("12"));
    QCOMPARE(view->volume()->text(), QStringLiteral("37"));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .Text(record::kVersionText, 24, "V2.1")
                                        .Text(record::kPowerOnText, 8, "12  ")
                                        .Text(record::kStandbyText, 8, "Stb ")
                                        .U8(record::kPaletteCount, 3)
                                        .U8(record::kPaletteStyle, 0)  // moved down with the count
                                        .U8(record::kDefaultVolume, 37);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after), std::string());
  }

  void EveryControlWithPageSwitchesInBetween() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    auto* view = d.Open<CommonPageView>(PageId::kCommon);
    QVERIFY(view);
    QVERIFY(d.Screenshot("page_common.png"));

    user::TypeOver(view->version(), " Release 7 ");
    QVERIFY(user::Pick(view->transparence(), "50%"));
    QVERIFY(d.Open<PageView>(PageId::kTuner));
    view = d.Open<CommonPageView>(PageId::kCommon);
    QCOMPARE(view->version()->text(), QStringLiteral(" Release 7 "));
    QCOMPARE(view->transparence()->currentText(), QStringLiteral("50%"));

    QVERIFY(user::Pick(view->auto_scan_mode(), "Free channels only"));
    QVERIFY(user::Pick(view->tp_scan_mode(), "Network search"));
    user::TypeOver(view->power_on(), "-_-");
    QVERIFY(user::Pick(view->continue_key(), "On"));
    QVERIFY(user::Pick(view->system_mode(), "Shop demo"));
    user::Click(view->palette_down());  // 4 -> 3
    QVERIFY(user::Pick(view->osd_palette(), "style 3"));
    QVERIFY(d.Open<PageView>(PageId::kGeneral));
    view = d.Open<CommonPageView>(PageId::kCommon);
    QVERIFY(user::Pick(view->new_tv_audio(), "Mono"));
    QVERIFY(user::Pick(view->new_radio_audio(), "Right"));
    QVERIFY(user::Pick(view->logo_show_delay(), "10 sec."));
    user::Slide(view->volume_slider(), Qt::Key_PageUp, 2);  // 20 -> 40
    user::TypeOver(view->standby(), "CoLd");
    user::Slide(view->volume_slider(), Qt::Key_Left);
    QCOMPARE(view->volume()->text(), QStringLiteral("39"));
    QCOMPARE(view->standby()->text(), QStringLiteral("CoLd"));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QVERIFY(after.parsed);
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .Text(record::kVersionText, 24, "Release 7")
                                        .Text(record::kPowerOnText, 8, "-_- ")
                                        .Text(record::kStandbyText, 8, "CoLd")
                                        .U8(record::kPaletteCount, 3)
                                        .U8(record::kPaletteStyle, 2)
                                        .U8(record::kTransparence, 2)
                                        .U8(record::kDefaultVolume, 39)
                                        .U8(record::kAutoScanMode, 1)
                                        .U8(record::kTpScanMode, 1)
                                        .U8(record::kContinueKey, 1)
                                        .U8(record::kSystemMode, 2)
                                        .U8(record::kNewProgramAudio, 3 | (2 << 3))
                                        .U8(record::kLogoShowDelay, 10);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after), std::string());
    QVERIFY(d.dialogs.messages.size() == 1);  // the save's own report only
  }

  void TheVolumeIsNeverTakenFromTheSliderWhenTheProgramMovesIt() {
    // A volume range that starts above the slider's own starting position.
    testdata::DescriptionSpec narrow = testdata::RealisticDescription();
    narrow.Set("Volume", "MinValue", 5);
    ImageFolder folder({}, narrow);  // the record's volume is 20
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage saved = d.SaveFw("unopened.bin");
    QVERIFY(saved.parsed);
    QCOMPARE(int(saved.Record()[record::kDefaultVolume]), 20);
    QCOMPARE(int(saved.Record()[record::kMaxVolume]), 100);

    // Another image with a narrower range, loaded while the slider still shows 20.
    testdata::DescriptionSpec higher = testdata::RealisticDescription();
    higher.Set("Volume", "MinValue", 30).Set("Volume", "MaxValue", 60);
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    chunks.back().data[record::kDefaultVolume] = 45;
    ImageFolder other({}, higher, &chunks);
    auto* view = d.Open<CommonPageView>(PageId::kCommon);
    QVERIFY(view);
    d.Reload(other);
    QCOMPARE(d.window->FirmwarePathLabel()->text(), QString::fromStdString(other.image_path()));
    QCOMPARE(view->volume()->text(), QStringLiteral("45"));
    QCOMPARE(view->volume_slider()->value(), 45);
    const testdata::SavedImage reloaded = d.SaveFw("reloaded.bin");
    QVERIFY(reloaded.parsed);
    QCOMPARE(int(reloaded.Record()[record::kDefaultVolume]), 45);
    QCOMPARE(int(reloaded.Record()[record::kMaxVolume]), 60);
  }

  void TypingAVolumeOutsideTheRangeShowsTheMinimum() {
    ImageFolder folder;
    WindowDriver d(folder);
    auto* view = d.Open<CommonPageView>(PageId::kCommon);
    QVERIFY(view);
    user::TypeOver(view->volume(), "101");
    QCOMPARE(view->volume()->text(), QStringLiteral("0"));
    QCOMPARE(view->volume_slider()->value(), 0);
    user::Slide(view->volume_slider(), Qt::Key_End);
    QCOMPARE(view->volume()->text(), QStringLiteral("100"));
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(int(after.Record()[record::kDefaultVolume]), 100);
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::CommonPageWindowTest)
#include "common_page_window_test.moc"
