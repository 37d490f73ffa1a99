// The OTA set page as a user works it in the main window: every decimal and hexadecimal edit,
// the drop-downs picked and typed, page switches in between, "Save FW..." and the saved bytes.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "app/pages/ota_page_view.h"
#include "app/widgets/filtered_line_edit.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

// Types into the drop-down's own edit, as into an editable combo box.
void TypeChoice(QComboBox* combo, const QString& text) {
  user::TypeOver(combo->lineEdit(), text);
}

}  // namespace

class OtaPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryControlReachesTheSavedImage() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    auto* view = d.Open<OtaPageView>(PageId::kOtaSet);
    QVERIFY(view);
    QCOMPARE(d.window->LoadSettingsButton()->text(), QStringLiteral("Load OTA..."));
    QCOMPARE(view->frequency()->text(), QStringLiteral("12380"));
    QCOMPARE(view->symbol_rate()->text(), QStringLiteral("27500"));
    QCOMPARE(view->pid()->text(), QStringLiteral("100"));
    QCOMPARE(view->oui()->text(), QStringLiteral("0"));
    QCOMPARE(view->diseqc()->currentText(), QStringLiteral("OFF"));
    QVERIFY(view->lnb_type()->isHidden());
    QCOMPARE(view->diseqc()->count(), 5);
    QVERIFY(d.Screenshot("page_ota_set.png"));

    user::TypeOver(view->frequency(), "11747");
    user::TypeOver(view->symbol_rate(), "70000");  // beyond 16 bits
    QCOMPARE(view->symbol_rate()->text(), QStringLiteral("65535"));
    user::TypeOver(view->pid(), "1ffeff");  // the edit takes four digits
    QCOMPARE(view->pid()->text(), QStringLiteral("1ffe"));
    user::TypeOver(view->lnb_frequency_h(), "10600");
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<OtaPageView>(PageId::kOtaSet);
    QCOMPARE(view->frequency()->text(), QStringLiteral("11747"));
    QCOMPARE(view->pid()->text(), QStringLiteral("1ffe"));
    user::TypeOver(view->lnb_frequency_v(), "9750");
    user::TypeOver(view->oui(), "ABCdefg");  // g is not a hexadecimal digit
    user::TypeOver(view->hardware_model(), "12");
    user::TypeOver(view->hardware_version(), "a0");
    user::TypeOver(view->software_model(), "beef");
    user::TypeOver(view->software_version(), "7");
    QVERIFY(user::Pick(view->polarity(), "V"));
    QVERIFY(user::Pick(view->tone_22k(), "ON"));
    QVERIFY(user::Pick(view->diseqc(), "LNB3"));
    QVERIFY(d.Open<PageView>(PageId::kSerialFlash));
    view = d.Open<OtaPageView>(PageId::kOtaSet);
    QCOMPARE(view->diseqc()->currentText(), QStringLiteral("LNB3"));
    TypeChoice(view->ota_enable(), "ON");

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .U16(record::kOtaFrequency, 11747)
                                        .U16(record::kOtaSymbolRate, 65535)
                                        .U16(record::kOtaPid, 0x1FFE)
                                        .U16(record::kOtaLnbFrequencyH, 10600)
                                        .U16(record::kOtaLnbFrequencyV, 9750)
                                        .U16(record::kOtaSystemOui, 0xCDEF)
                                        .U8(record::kOtaSystemOui + 2, 0xAB)
                                        .U16(record::kOtaHardwareModel, 0x12)
                                        .U16(record::kOtaHardwareVersion, 0xA0)
                                        .U16(record::kOtaSoftwareModel, 0xBEEF)
                                        .U16(record::kOtaSoftwareVersion, 7)
                                        .U8(record::kOtaPolarity, 1)
                                        .U8(record::kOta22kTone, 1)
                                        .U8(record::kOtaDiseqcInUse, 2)
                                        .U8(record::kOtaDiseqcPort, 2)
                                        .U8(record::kOtaEnable, 1);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after), std::string());
  }

  void TypedTextsThatNameNoEntryAndAnEmptyPidStoreTheDefaults() {
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    std::vector<uint8_t>& r = chunks.back().data;
    r[record::kOtaPid] = 0x34, r[record::kOtaPid + 1] = 0x12;
    r[record::kOtaPolarity] = 1;
    r[record::kOtaDiseqcInUse] = 1;
    r[record::kOtaDiseqcPort] = 1;
    r[record::kOta22kTone] = 1;
    r[record::kOtaMarker] = 0;  // the store puts the marker back
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<OtaPageView>(PageId::kOtaSet);
    QVERIFY(view);
    QCOMPARE(view->pid()->text(), QStringLiteral("1234"));
    QCOMPARE(view->diseqc()->currentText(), QStringLiteral("LNB2"));
    user::TypeOver(view->pid(), "");
    TypeChoice(view->diseqc(), "LNB9");
    TypeChoice(view->polarity(), "v");
    TypeChoice(view->tone_22k(), "ONN");
    QVERIFY(d.Open<PageView>(PageId::kTuner));
    view = d.Open<OtaPageView>(PageId::kOtaSet);
    QCOMPARE(view->diseqc()->currentText(), QStringLiteral("LNB9"));  // the text stays as typed
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QVERIFY(after.parsed);
    const std::vector<uint8_t> saved = after.Record();
    QCOMPARE(int(saved[record::kOtaPid] | saved[record::kOtaPid + 1] << 8), 0x100);
    QCOMPARE(int(saved[record::kOtaPolarity]), 0);
    QCOMPARE(int(saved[record::kOtaDiseqcInUse]), 0);
    QCOMPARE(int(saved[record::kOtaDiseqcPort]), 0);
    QCOMPARE(int(saved[record::kOta22kTone]), 0);
    QCOMPARE(int(saved[record::kOtaMarker]), int('O'));
    QCOMPARE(int(saved[record::kOtaMarker + 1]), int('T'));
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::OtaPageWindowTest)
#include "ota_page_window_test.moc"
