#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/qt_user_dialogs.h"

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

 private slots:
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
