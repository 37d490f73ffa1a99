// The Tuner page as a user works it in the main window: the type, the interface combos, every
// number and hexadecimal edit, the tuner list, with page switches in between, saved through
// "Save FW..." and read back.
#include <QTest>

#include "app/pages/tuner_page_view.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

constexpr size_t kEntry1 = record::kTunerParameters + 16;

// A Tuner page that counts how often the main window asks it to validate.
class CountingTunerPage : public TunerPage {
 public:
  using TunerPage::TunerPage;
  bool Validate() override {
    ++validations;
    return TunerPage::Validate();
  }
  int validations = 0;
};

// Clicks the "Enable" cell, which opens its drop-down, and picks the text with the keyboard.
bool PickEnable(EditableListControl* list, int row, const QString& text) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(
      list->viewport(), Qt::LeftButton, {},
      QPoint(list->columnViewportPosition(1) + list->columnWidth(1) / 2, rect.center().y()));
  QComboBox* drop_down = list->ActiveDropDown();
  if (drop_down == nullptr)
    return false;
  const int index = drop_down->findText(text);
  drop_down->view()->setCurrentIndex(drop_down->model()->index(index, 0));
  QTest::keyClick(drop_down->view(), Qt::Key_Return);
  QCoreApplication::processEvents();
  return !list->IsEditing() && list->CellText(row, 1) == text;
}

}  // namespace

class TunerPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryControlOfTheExtendedFormatReachesTheSavedImage() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    auto* view = d.Open<TunerPageView>(PageId::kTuner);
    QVERIFY(view);
    QVERIFY(d.Screenshot("page_tuner.png"));

    QVERIFY(user::Pick(view->tuner_type(), "Zarlink 10039"));
    user::TypeOver(view->user_crystal(), "27000");
    user::TypeOver(view->quality_zoom(), "150");
    user::Leave(view->quality_zoom());
    user::TypeOver(view->intensity_zoom(), "250");
    QVERIFY(user::Pick(view->polarity(), "Inverted"));
    QVERIFY(user::Pick(view->q_set(), "Q+/Q- swapped"));
    QVERIFY(user::Pick(view->iq_set(), "I/Q swapped"));
    QVERIFY(user::Pick(view->i_set(), "I+/I- swapped"));
    QVERIFY(user::Pick(view->diff_single(), "Single ended"));
    user::TypeOver(view->base_address(), "c8");
    user::TypeOver(view->frequency_low(), "950");
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<TunerPageView>(PageId::kTuner);
    QCOMPARE(view->frequency_low()->text(), QStringLiteral("950"));
    QCOMPARE(view->intensity_zoom()->text(), QStringLiteral("250"));
    user::TypeOver(view->frequency_high(), "2150");
    user::TypeOver(view->filter_bandwidth(), "27500");
    user::TypeOver(view->agc_threshold1(), "1a");
    user::TypeOver(view->agc_threshold2(), "2B");
    user::TypeOver(view->qpsk_config(), "beef");

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    namespace e = record::tuner_entry;
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .U8(record::kTunerType, 4)
                                        .U16(record::kUserCrystal, 27000)
                                        .U8(record::kSignalQualityZoom, 15)
                                        .U8(record::kSignalIntensityZoom, 25)
                                        .U8(record::kTunerFlags, 0x67)
                                        .U8(record::kExtTunerIndex, 1)
                                        .U16(kEntry1 + e::kFrequencyLow, 950)
                                        .U16(kEntry1 + e::kFrequencyHigh, 2150)
                                        .U16(kEntry1 + e::kFilterBandwidth, 27500)
                                        .U8(kEntry1 + e::kFlags, 0x67)
                                        .U8(kEntry1 + e::kAgcThreshold1, 0x1A)
                                        .U8(kEntry1 + e::kAgcThreshold2, 0x2B)
                                        .U16(kEntry1 + e::kQpskConfig, 0xBEEF)
                                        .U16(kEntry1 + e::kUserCrystal, 27000)
                                        .U8(kEntry1 + e::kBaseAddress, 0xC8)
                                        .U8(kEntry1 + e::kDiffSingle, 1);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    // The chosen type's driver replaces the tuner-driver chunk; nothing else changes.
    QCOMPARE(after.Data(kTunerDriverChunkId, 0x200), testdata::PatternBytes(0x200, 51));
    QCOMPARE(testing::OtherChunkDifferences(before, after, {kTunerDriverChunkId}), std::string());
  }

  void TypedThenAnotherTypePickedTheTypedValueStaysWithItsOwnEntry() {
    ImageFolder folder;
    WindowDriver d(folder);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    auto* view = d.Open<TunerPageView>(PageId::kTuner);
    QVERIFY(view);
    user::TypeOver(view->user_crystal(), "12345");
    user::TypeOver(view->frequency_high(), "3000");  // checked when the edit is left
    QVERIFY(user::Pick(view->tuner_type(), "Sharp 2091"));
    QCOMPARE(view->user_crystal()->text(), QStringLiteral("0"));  // the new type's entry
    const testdata::SavedImage after = d.SaveFw("after.bin");
    const ExpectedRecord expected =
        ExpectedRecord(before.Record())
            .U8(record::kTunerType, 7)
            .U16(record::kUserCrystal, 0)
            .U8(record::kExtTunerIndex, 2)
            .U16(record::kTunerParameters + record::tuner_entry::kUserCrystal, 12345)
            .U16(record::kTunerParameters + record::tuner_entry::kFrequencyHigh, 2250);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(after.Data(kTunerDriverChunkId, 0x200), testdata::PatternBytes(0x200, 52));
  }

  void AZoomOutsideItsRangeIsReportedOnceWhenTheEditIsLeft() {
    ImageFolder folder;
    WindowDriver d(folder);
    auto* view = d.Open<TunerPageView>(PageId::kTuner);
    QVERIFY(view);
    user::TypeOver(view->quality_zoom(), "45");
    user::Leave(view->quality_zoom());
    QCOMPARE(view->quality_zoom()->text(), QStringLiteral("100"));
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"Signal quality zoom should be in 50 - 300!\n"});
    // Typed and not left before the page is: the page's leaving checks it, once.
    view = d.Open<TunerPageView>(PageId::kTuner);
    user::TypeOver(view->intensity_zoom(), "30");
    d.window->Tree()->setCurrentItem(d.window->TreeItem(PageId::kGeneral));
    QCOMPARE(d.dialogs.messages.size(), size_t(2));
    QCOMPARE(d.dialogs.messages[1].text,
             std::string("Signal intensity zoom should be in 50 - 300!\n"));
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(int(after.Record()[record::kSignalQualityZoom]), 10);
    QCOMPARE(int(after.Record()[record::kSignalIntensityZoom]), 10);
  }

  void ValuesTheUserNeverTouchedStayAsTheRecordHasThem() {
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    chunks.back().data[record::kSignalQualityZoom] = 3;  // shown as 30, outside 50..300
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    auto* view = d.Open<TunerPageView>(PageId::kTuner);
    QVERIFY(view);
    for (QLineEdit* edit : {static_cast<QLineEdit*>(view->quality_zoom()),
                            static_cast<QLineEdit*>(view->frequency_low()),
                            static_cast<QLineEdit*>(view->filter_bandwidth())}) {
      edit->setFocus(Qt::MouseFocusReason);
      user::Leave(edit);
    }
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QCOMPARE(RecordDifferences(before.Record(), after.Record()), std::string());
    QCOMPARE(int(after.Record()[record::kSignalQualityZoom]), 3);
  }

  void LeavingThePageValidatesItOnce() {
    ImageFolder folder;
    CountingTunerPage* counting = nullptr;
    WindowDriver d(
        folder,
        [&counting](PageId id, const PageContext& context) -> std::unique_ptr<SettingsPage> {
          if (id != PageId::kTuner)
            return CreatePageModel(id, context);
          auto page = std::make_unique<CountingTunerPage>(context);
          counting = page.get();
          return page;
        });
    QVERIFY(counting);
    QVERIFY(d.Open<TunerPageView>(PageId::kTuner));
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    QCOMPARE(counting->validations, 1);
  }

  void BasicFormatTunerListAndIqEnable() {
    ImageFolder folder({.config_version = 1});
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    auto* view = d.Open<TunerPageView>(PageId::kTuner);
    QVERIFY(view);
    QVERIFY(view->extended_controls()->isHidden());
    QCOMPARE(view->tuner_type()->count(), 0);  // the record offers no described type

    QVERIFY(PickEnable(view->tuner_list(), 0, "On"));
    QVERIFY(PickEnable(view->tuner_list(), 3, "On"));
    QCOMPARE(view->tuner_type()->count(), 2);
    QVERIFY(user::Pick(view->tuner_type(), "Zarlink 10039"));
    QVERIFY(user::Pick(view->iq_enable(), "Disable"));
    QVERIFY(!view->q_set()->isEnabled());
    QVERIFY(user::Pick(view->iq_enable(), "Enable"));
    QVERIFY(user::Pick(view->q_set(), "Q+/Q- swapped"));
    QVERIFY(user::Pick(view->single_crystal(), "Enable"));
    QVERIFY(d.Open<PageView>(PageId::kGeneral));
    view = d.Open<TunerPageView>(PageId::kTuner);
    QCOMPARE(view->tuner_list()->CellText(3, 1), QStringLiteral("On"));
    QCOMPARE(view->tuner_type()->currentText(), QStringLiteral("Zarlink 10039"));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QVERIFY(after.parsed);
    // The tuner-driver chunk raised the record to version 2 in both saves; the codes and the
    // index went out with it.
    QCOMPARE(int(before.Record()[record::kConfigVersion]), 2);
    QCOMPARE(int(before.Record()[record::kExtTunerCodes + 1]), 4);
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .U8(record::kTunerType, 4)
                                        .U8(record::kOfferedTunerCount, 1)
                                        .U8(record::kOfferedTunerCodes, 1)
                                        .U8(record::kOfferedTunerCodes + 1, 4)
                                        .U8(record::kTunerFlags, 0x19)
                                        .U8(record::kExtTunerIndex, 1);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::TunerPageWindowTest)
#include "tuner_page_window_test.moc"
