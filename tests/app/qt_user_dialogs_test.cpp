#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/last_folder.h"
#include "app/qt_user_dialogs.h"
#include "testdata/image_builder.h"
#include "testdata/temp_dir.h"

using qtk::MessageAnswer;
using qtk::MessageButtons;
using qtk::MessageIcon;
using qtk::QtUserDialogs;

namespace {

// Runs `inspect` on the modal dialog once it is up, so the test can read and answer it.
void WhenModalShows(std::function<void(QWidget*)> inspect) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr)
      return;
    timer->stop();
    timer->deleteLater();
    inspect(modal);
  });
  timer->start();
}

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

MessageAnswer AnswerWith(QMessageBox::StandardButton press, const std::string& text,
                         MessageIcon icon, MessageButtons buttons, SeenBox& seen) {
  WhenModalShows([&seen, press](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr)
      return;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = box->standardButtons();
    box->button(press)->click();
  });
  QtUserDialogs dialogs;
  return dialogs.ShowMessage(text, icon, buttons);
}

}  // namespace

class QtUserDialogsTest : public QObject {
  Q_OBJECT

  // The settings of this test program live in a scratch folder, never in the user's own.
  qtk::testdata::TempDir settings_dir_{"qtk_settings"};

  // Opens a file dialog through the dialogs, notes the folder it shows and then either puts
  // `typed` into its file name field and accepts it, or cancels it.
  static std::optional<std::string> RunDialog(bool save, const std::string& initial_path,
                                              QString* directory, const QString& typed = {}) {
    WhenModalShows([directory, typed](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr)
        return;
      // As the user reads it, with the system's separator.
      *directory = QDir::toNativeSeparators(QDir(dialog->directory()).absolutePath());
      if (typed.isEmpty()) {
        dialog->reject();
        return;
      }
      // The name field's completer would take the Enter key; the accept button is what a
      // user clicks.
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
      if (name == nullptr || buttons == nullptr) {
        dialog->reject();
        return;
      }
      name->setText(typed);
      QTest::mouseClick(
          buttons->button(dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                          : QDialogButtonBox::Open),
          Qt::LeftButton);
    });
    QtUserDialogs dialogs;
    qtk::FileDialogRequest request;
    request.filter = "Firmware Files(*.bin)|*.bin|All Files (*.*)|*.*||";
    request.initial_path = initial_path;
    request.ask_before_overwrite = false;
    return save ? dialogs.AskSaveFile(request) : dialogs.AskOpenFile(request);
  }

 private slots:
  // "Details" opens the longer text over the message, which stays until OK.
  void TheDetailsButtonShowsTheTextAndKeepsTheMessage() {
    QString message_text;
    QString details_title;
    QString details_text;
    bool box_open_after_details = false;
    WhenModalShows([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      message_text = box->text();
      QPushButton* details = nullptr;
      for (QAbstractButton* b : box->buttons()) {
        if (b->text() == QStringLiteral("Details"))
          details = qobject_cast<QPushButton*>(b);
      }
      QVERIFY(details);
      WhenModalShows([&, box](QWidget* window) {
        details_title = window->windowTitle();
        auto* list = window->findChild<QPlainTextEdit*>(QStringLiteral("details"));
        QVERIFY(list);
        QVERIFY(list->isReadOnly());
        details_text = list->toPlainText();
        window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
        // Back on the message: it is still up until OK.
        QTimer::singleShot(20, [&, box] {
          box_open_after_details = box->isVisible();
          box->button(QMessageBox::Ok)->click();
        });
      });
      details->click();
    });
    QtUserDialogs dialogs;
    dialogs.ShowDetailedMessage("Success to save the file.", "chunk changed A\r\nfield B\n",
                                MessageIcon::None);
    QCOMPARE(message_text, QStringLiteral("Success to save the file."));
    QCOMPARE(details_title, QStringLiteral("Details"));
    QCOMPARE(details_text, QStringLiteral("chunk changed A\nfield B\n"));
    QVERIFY(box_open_after_details);
  }

  void initTestCase() {
    // The file dialog tests type and click in Qt's own dialog. Windows would show its native
    // one, whose fields are no widgets and which reports a dialog closed from the program as
    // accepted with the file it was opened on.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QCoreApplication::setOrganizationName(QStringLiteral("qtk7720x-tests"));
    QCoreApplication::setApplicationName(QStringLiteral("qt_user_dialogs_test"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(settings_dir_.path().string()));
    QSettings().clear();
  }

  // Nothing of the test is left in the user's settings (on Windows: the registry).
  void cleanupTestCase() { QSettings().clear(); }

  void FileDialogsStartInTheFolderUsedLastAlsoInTheNextRun() {
    qtk::testdata::TempDir files;
    const auto first = files.path() / "first folder";
    const auto second = files.path() / "second";
    std::filesystem::create_directories(first);
    std::filesystem::create_directories(second);
    qtk::testdata::WriteFile((first / "a.bin").string(), {1});
    const QString first_dir = QString::fromStdString(first.string());
    const QString second_dir = QString::fromStdString(second.string());

    QString directory;
    const auto chosen = RunDialog(false, (first / "a.bin").string(), &directory, "a.bin");
    // A full path names the folder the dialog opens in.
    QCOMPARE(directory, first_dir);
    QCOMPARE(chosen.value_or(""), (first / "a.bin").string());

    // Every later dialog without a folder of its own starts there, open or save, and a
    // cancelled dialog changes nothing.
    QVERIFY(!RunDialog(true, "", &directory).has_value());
    QCOMPARE(directory, first_dir);
    QVERIFY(!RunDialog(false, "", &directory).has_value());
    QCOMPARE(directory, first_dir);
    // A bare file name is put into the last folder.
    QVERIFY(!RunDialog(true, "new.bin", &directory).has_value());
    QCOMPARE(directory, first_dir);

    // Saving into another folder makes that one the last.
    const auto saved = RunDialog(true, "", &directory, second_dir + "/out.bin");
    QCOMPARE(saved.value_or(""), (second / "out.bin").string());
    QVERIFY(!RunDialog(false, "", &directory).has_value());
    QCOMPARE(directory, second_dir);

    // The folder is in the program's settings, where the next run reads it: a file in the
    // scratch folder, or on Windows the program's key in the user's registry.
    QSettings stored(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("qtk7720x-tests"), QStringLiteral("qt_user_dialogs_test"));
    stored.sync();
    QCOMPARE(stored.value(qtk::LastFolder::kKey).toString(), second_dir);
#ifdef _WIN32
    QCOMPARE(stored.fileName(),
             QStringLiteral("\\HKEY_CURRENT_USER\\Software\\qtk7720x-tests\\qt_user_dialogs_test"));
#else
    QVERIFY(QFileInfo(stored.fileName())
                .absoluteFilePath()
                .startsWith(QString::fromStdString(settings_dir_.path().string())));
#endif

    // A folder that is gone is not offered any more.
    std::filesystem::remove_all(second);
    QVERIFY(!RunDialog(false, "", &directory).has_value());
    QVERIFY(directory != second_dir);
  }

  void MessageTextLineBreaks() {
    QCOMPARE(qtk::MessageBoxText("Line one\r\nLine two\r\n"), QString("Line one\nLine two\n"));
    QCOMPARE(qtk::MessageBoxText("No break"), QString("No break"));
  }

  void MessageBoxShowsCaptionTextIconAndButtons() {
    SeenBox seen;
    QCOMPARE(AnswerWith(QMessageBox::Ok, "Password error!\r\nTry again.", MessageIcon::Error,
                        MessageButtons::Ok, seen),
             MessageAnswer::Ok);
    QCOMPARE(seen.title, QString("qtktool"));
    QCOMPARE(seen.text, QString("Password error!\nTry again."));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    QCOMPARE(AnswerWith(QMessageBox::Cancel, "Continue?", MessageIcon::Warning,
                        MessageButtons::OkCancel, seen),
             MessageAnswer::Cancel);
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(AnswerWith(QMessageBox::Ok, "Continue?", MessageIcon::Information,
                        MessageButtons::OkCancel, seen),
             MessageAnswer::Ok);
    QCOMPARE(seen.icon, QMessageBox::Information);

    QCOMPARE(AnswerWith(QMessageBox::Yes, "Replace?", MessageIcon::Question, MessageButtons::YesNo,
                        seen),
             MessageAnswer::Yes);
    QCOMPARE(seen.icon, QMessageBox::Question);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(
        AnswerWith(QMessageBox::No, "Replace?", MessageIcon::None, MessageButtons::YesNo, seen),
        MessageAnswer::No);
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
  }

  void OpenDialogTakesConvertedFilterAndOptions() {
    QString filters;
    bool read_only = false;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    WhenModalShows([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr)
        return;
      filters = dialog->nameFilters().join(";;");
      read_only = dialog->testOption(QFileDialog::ReadOnly);
      mode = dialog->fileMode();
      dialog->reject();
    });
    QtUserDialogs dialogs;
    qtk::FileDialogRequest request;
    request.filter = "Firmware Files(*.bin)|*.bin|All Files (*.*)|*.*||";
    request.read_only_ticked = true;
    QVERIFY(!dialogs.AskOpenFile(request).has_value());
    QCOMPARE(filters, QString("Firmware Files(*.bin);;All Files (*.*)"));
    QVERIFY(read_only);
    QCOMPARE(mode, QFileDialog::ExistingFile);
  }

  void SaveDialogHonoursOverwriteQuestion() {
    for (bool ask : {true, false}) {
      bool dont_confirm = !ask;
      QFileDialog::AcceptMode accept_mode = QFileDialog::AcceptOpen;
      WhenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr)
          return;
        dont_confirm = dialog->testOption(QFileDialog::DontConfirmOverwrite);
        accept_mode = dialog->acceptMode();
        dialog->reject();
      });
      QtUserDialogs dialogs;
      qtk::FileDialogRequest request;
      request.filter = "Setting Files(*.set)|*.set||";
      request.ask_before_overwrite = ask;
      QVERIFY(!dialogs.AskSaveFile(request).has_value());
      QCOMPARE(dont_confirm, !ask);
      QCOMPARE(accept_mode, QFileDialog::AcceptSave);
    }
  }
};

QTEST_MAIN(QtUserDialogsTest)
#include "qt_user_dialogs_test.moc"
