#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <memory>

#include "app/load_firmware_dialog.h"
#include "app/widgets/bitmap_push_button.h"
#include "common/recording_dialogs.h"
#include "common/utf8_path.h"
#include "drop_events.h"
#include "key_typing.h"
#include "testdata/image_builder.h"
#include "testdata/temp_dir.h"

using qtk::LoadFirmwareDialog;
using qtk::LoadFirmwareMemory;
using qtk::RecordingDialogs;

namespace {

const std::string kDefaultConfig = "/opt/tool\\QTK_K7720X.ini";

// Clicks the box's square; the row's far end is outside its caption.
void ClickBox(QCheckBox* box) {
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

}  // namespace

class LoadFirmwareDialogTest : public QObject {
  Q_OBJECT

 private:
  LoadFirmwareMemory memory_;
  RecordingDialogs dialogs_;

  std::unique_ptr<LoadFirmwareDialog> Make() {
    return std::make_unique<LoadFirmwareDialog>(memory_, kDefaultConfig, dialogs_);
  }

 private slots:
  void init() {
    memory_ = LoadFirmwareMemory();
    dialogs_ = RecordingDialogs();
  }

  void CaptionAndControls() {
    auto dialog = Make();
    QCOMPARE(dialog->windowTitle(), QString("Load Firmware File  - QTK V3.0.0"));
    QStringList labels;
    for (QLabel* label : dialog->findChildren<QLabel*>())
      labels << label->text();
    QVERIFY(labels.contains("Firmware File:"));
    QVERIFY(labels.contains("Config File:"));
    QVERIFY(labels.contains("Password:"));
    QCOMPARE(dialog->UseExternalBox()->text(), QString("Use external config file"));
    QCOMPARE(dialog->FirmwareBrowseButton()->text(), QString(">>"));
    QCOMPARE(dialog->ConfigBrowseButton()->text(), QString(">>"));
    QCOMPARE(dialog->OkButton()->text(), QString("OK"));
    QCOMPARE(dialog->CancelButton()->text(), QString("Cancel"));
    QCOMPARE(dialog->PasswordEdit()->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog->FirmwarePathEdit()->maxLength(), 256);
    QCOMPARE(dialog->ConfigPathEdit()->maxLength(), 256);
    QVERIFY(!dialog->OkButton()->StateImage(qtk::BitmapPushButton::State::Normal).isNull());
  }

  void OpeningPrefillsAndEnablesConfigOnlyForExternal() {
    memory_.last_firmware_path = "/fw/a.bin";
    memory_.last_config_path = "/cfg/x.ini";
    memory_.entered_password = "secret";
    auto dialog = Make();
    dialog->show();
    QCOMPARE(dialog->FirmwarePathEdit()->text(), QString("/fw/a.bin"));
    QCOMPARE(dialog->ConfigPathEdit()->text(), QString("/cfg/x.ini"));
    QCOMPARE(dialog->PasswordEdit()->text(), QString());
    QVERIFY(!dialog->UseExternalBox()->isChecked());
    QVERIFY(!dialog->ConfigPathEdit()->isEnabled());
    QVERIFY(!dialog->ConfigLabel()->isEnabled());
    QVERIFY(!dialog->ConfigBrowseButton()->isEnabled());
    QVERIFY(dialog->PasswordEdit()->isEnabled());
    QVERIFY(dialog->PasswordLabel()->isEnabled());

    ClickBox(dialog->UseExternalBox());
    QVERIFY(dialog->ConfigPathEdit()->isEnabled());
    QVERIFY(dialog->ConfigLabel()->isEnabled());
    QVERIFY(dialog->ConfigBrowseButton()->isEnabled());
    // Unchecking keeps the text but the default description is used.
    ClickBox(dialog->UseExternalBox());
    QVERIFY(!dialog->ConfigPathEdit()->isEnabled());
    QCOMPARE(dialog->ConfigPathEdit()->text(), QString("/cfg/x.ini"));
    dialog->accept();
    std::string fw, cfg;
    QVERIFY(dialog->GetLoadPaths(fw, cfg));
    QCOMPARE(fw, std::string("/fw/a.bin"));
    QCOMPARE(cfg, kDefaultConfig);
  }

  void OkStoresValuesAndPassword() {
    auto dialog = Make();
    dialog->show();
    QTest::keyClicks(dialog->FirmwarePathEdit(), "/fw/b.bin");
    ClickBox(dialog->UseExternalBox());
    QTest::keyClicks(dialog->ConfigPathEdit(), "/cfg/y.ini");
    QTest::keyClicks(dialog->PasswordEdit(), "1234567890");
    QCOMPARE(dialog->PasswordEdit()->text(), QString("12345678"));
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(memory_.last_firmware_path, std::string("/fw/b.bin"));
    QCOMPARE(memory_.last_config_path, std::string("/cfg/y.ini"));
    QVERIFY(memory_.last_use_external);
    QCOMPARE(memory_.entered_password, std::string("12345678"));
    QCOMPARE(dialog->Password(), std::string("12345678"));
    std::string fw, cfg;
    QVERIFY(dialog->GetLoadPaths(fw, cfg));
    QCOMPARE(cfg, std::string("/cfg/y.ini"));
    QVERIFY(dialogs_.messages.empty());
  }

  void ThePasswordIsKeptAsTheSingleBytesTheRecordHolds() {
    auto dialog = Make();
    dialog->show();
    qtk::testing::TypeKeys(dialog->PasswordEdit(), QString::fromUtf8("p\u20ac\u00e4sswort!"));
    // The euro sign has no one-byte encoding and is refused; eight characters fit.
    QCOMPARE(dialog->PasswordEdit()->text(), QString::fromUtf8("p\u00e4sswort"));
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(memory_.entered_password, std::string("p\xE4sswort"));
    QCOMPARE(dialog->Password(), std::string("p\xE4sswort"));
  }

  void EmptyFieldsCloseWithOkButFailPaths() {
    auto dialog = Make();
    dialog->show();
    ClickBox(dialog->UseExternalBox());
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    std::string fw, cfg;
    QVERIFY(!dialog->GetLoadPaths(fw, cfg));
    QVERIFY(dialogs_.messages.empty());
  }

  void CancelLeavesRememberedValues() {
    memory_.last_firmware_path = "/fw/keep.bin";
    memory_.entered_password = "keep";
    auto dialog = Make();
    dialog->show();
    QTest::keyClicks(dialog->FirmwarePathEdit(), "/other");
    QTest::keyClicks(dialog->PasswordEdit(), "zz");
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(memory_.last_firmware_path, std::string("/fw/keep.bin"));
    QCOMPARE(memory_.entered_password, std::string("keep"));
  }

  void BrowseButtonsFillTrimmedPaths() {
    auto dialog = Make();
    dialog->show();
    QTest::keyClicks(dialog->PasswordEdit(), "pw");
    dialogs_.chosen_paths = {std::string("  /fw/chosen.bin  "), std::nullopt,
                             std::string(" /cfg/c.ini ")};
    QTest::mouseClick(dialog->FirmwareBrowseButton(), Qt::LeftButton);
    QCOMPARE(dialog->FirmwarePathEdit()->text(), QString("/fw/chosen.bin"));
    // Typed values survive the refresh.
    QCOMPARE(dialog->PasswordEdit()->text(), QString("pw"));
    ClickBox(dialog->UseExternalBox());
    QTest::mouseClick(dialog->ConfigBrowseButton(), Qt::LeftButton);
    QCOMPARE(dialog->ConfigPathEdit()->text(), QString());
    QTest::mouseClick(dialog->ConfigBrowseButton(), Qt::LeftButton);
    QCOMPARE(dialog->ConfigPathEdit()->text(), QString("/cfg/c.ini"));
    QVERIFY(dialog->UseExternalBox()->isChecked());
    QCOMPARE(dialogs_.file_requests.size(), size_t(3));
    QCOMPARE(dialogs_.file_requests[0].filter,
             std::string("Binary Files(*.bin)|*.bin|All Files (*.*)|*.*||"));
    QCOMPARE(dialogs_.file_requests[1].filter,
             std::string("Config Files(*.ini)|*.ini|All Files (*.*)|*.*||"));
    QVERIFY(dialogs_.file_requests[0].read_only_ticked);
  }

  void RetryFocusFollowsLoadStatus() {
    memory_.last_firmware_path = "/fw/a.bin";
    auto dialog = Make();
    dialog->SetRetryMark(true);
    dialog->SetLoadStatus(-3);
    dialog->show();
    QCOMPARE(dialog->focusWidget(), static_cast<QWidget*>(dialog->PasswordEdit()));
    dialog->hide();

    dialog->SetLoadStatus(-1);
    dialog->show();
    // The window's focus child is what gets the keyboard once the dialog is active.
    QCOMPARE(dialog->focusWidget(), static_cast<QWidget*>(dialog->FirmwareBrowseButton()));
    // The password is emptied on every opening.
    QCOMPARE(dialog->PasswordEdit()->text(), QString());
  }

  void EnterOnBrowseButtonBrowsesInsteadOfClosing() {
    auto dialog = Make();
    dialog->SetRetryMark(true);
    dialog->SetLoadStatus(-2);
    dialog->show();
    // Buttons take over the Enter key only through real focus changes.
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    dialogs_.chosen_paths = {std::string("/fw/enter.bin")};
    QTest::keyClick(dialog->FirmwareBrowseButton(), Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialogs_.file_requests.size(), size_t(1));
    QCOMPARE(dialog->FirmwarePathEdit()->text(), QString("/fw/enter.bin"));
    QCOMPARE(dialog->focusWidget(), static_cast<QWidget*>(dialog->PasswordEdit()));
    // Enter in a field closes with OK.
    QTest::keyClick(dialog->PasswordEdit(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(memory_.last_firmware_path, std::string("/fw/enter.bin"));
  }

  void AFirmwareFileDroppedOnTheDialogFillsItsField() {
    qtk::testdata::TempDir dir;
    const std::string image = dir.File("dropped image.bin");
    qtk::testdata::WriteFile(image, {1, 2, 3});
    memory_.last_firmware_path = "/fw/old.bin";
    auto dialog = Make();
    dialog->show();
    QTest::keyClicks(dialog->PasswordEdit(), "pw");
    // Folders, several files, files that are gone and remote files are not taken.
    using qtk::testing::FileUrl;
    for (const QList<QUrl>& urls :
         {QList<QUrl>{FileUrl(dir.path().string())}, QList<QUrl>{FileUrl(image), FileUrl(image)},
          QList<QUrl>{FileUrl(dir.File("gone.bin"))},
          QList<QUrl>{QUrl(QStringLiteral("https://example.invalid/fw.bin"))}, QList<QUrl>{}}) {
      QVERIFY(!qtk::testing::DragAndDrop(dialog.get(), urls));
    }
    QCOMPARE(dialog->FirmwarePathEdit()->text(), QString("/fw/old.bin"));

    // Dropped on the firmware field itself, the file reaches the dialog and not the text.
    QVERIFY(qtk::testing::DragAndDrop(dialog->FirmwarePathEdit(), {FileUrl(image)}));
    QTRY_COMPARE(dialog->FirmwarePathEdit()->text(), QString::fromStdString(image));
    QCOMPARE(dialog->PasswordEdit()->text(), QString("pw"));
    QCOMPARE(dialog->focusWidget(), static_cast<QWidget*>(dialog->PasswordEdit()));
    QVERIFY(dialogs_.file_requests.empty());
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(memory_.last_firmware_path, image);
    QCOMPARE(memory_.entered_password, std::string("pw"));
  }

  // Paths outside ASCII and outside any ANSI code page, typed, dropped or remembered, reach
  // the core as the UTF-8 text of the same file and come back into the fields unchanged.
  void PathsOutsideAsciiReachTheCoreAsTheSameFile() {
    const std::string typed = "/fw/J\u00fcrgen \u56fa\u4ef6/\u00c6r\u00f8.bin";
    memory_.last_firmware_path = "/fw/\u56fa\u4ef6 old.bin";
    auto dialog = Make();
    dialog->show();
    QCOMPARE(dialog->FirmwarePathEdit()->text(), QString::fromUtf8("/fw/\u56fa\u4ef6 old.bin"));
    dialog->FirmwarePathEdit()->selectAll();
    qtk::testing::TypeKeys(dialog->FirmwarePathEdit(), QString::fromStdString(typed));
    ClickBox(dialog->UseExternalBox());
    qtk::testing::TypeKeys(dialog->ConfigPathEdit(), QString::fromUtf8("/cfg/\u8bbe\u7f6e.ini"));
    QTest::keyClicks(dialog->PasswordEdit(), "pw");
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(memory_.last_firmware_path, typed);
    QCOMPARE(memory_.last_config_path, std::string("/cfg/\u8bbe\u7f6e.ini"));

    qtk::testdata::TempDir dir;
    const std::filesystem::path folder = dir.path() / qtk::PathFromUtf8("J\u00fcrgen \u56fa\u4ef6");
    std::filesystem::create_directories(folder);
    const std::string image = qtk::Utf8FromPath(folder / qtk::PathFromUtf8("\u56fa\u4ef6.bin"));
    qtk::testdata::WriteFile(image, {1, 2, 3});
    auto again = Make();
    again->show();
    QVERIFY(qtk::testing::DragAndDrop(again->FirmwarePathEdit(),
                                      {QUrl::fromLocalFile(QString::fromStdString(image))}));
    QTRY_COMPARE(again->FirmwarePathEdit()->text(), QString::fromStdString(image));
    QTest::mouseClick(again->OkButton(), Qt::LeftButton);
    QCOMPARE(memory_.last_firmware_path, image);
    QCOMPARE(qtk::testdata::ReadFile(memory_.last_firmware_path), (std::vector<uint8_t>{1, 2, 3}));
  }

  void APrefilledFileShowsOnTheFirstOpeningOnly() {
    memory_.last_firmware_path = "/fw/old.bin";
    auto dialog = Make();
    dialog->PrefillFirmwarePath("/drop/new.bin");
    dialog->show();
    QCOMPARE(dialog->FirmwarePathEdit()->text(), QString("/drop/new.bin"));
    QCOMPARE(dialog->focusWidget(), static_cast<QWidget*>(dialog->PasswordEdit()));
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    QCOMPARE(memory_.last_firmware_path, std::string("/fw/old.bin"));
    dialog->show();
    QCOMPARE(dialog->FirmwarePathEdit()->text(), QString("/fw/old.bin"));
  }
};

QTEST_MAIN(LoadFirmwareDialogTest)
#include "load_firmware_dialog_test.moc"
