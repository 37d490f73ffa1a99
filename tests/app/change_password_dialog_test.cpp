#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/change_password_dialog.h"
#include "app/widgets/bitmap_push_button.h"
#include "firmware/password_words.h"
#include "key_typing.h"
#include "shell_fixtures.h"

using qtk::ChangePasswordDialog;
using qtk::RecordingDialogs;

class ChangePasswordDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<qtk::shell_testing::ShellEnv> env_;
  std::unique_ptr<qtk::FirmwareProject> project_;
  qtk::LoadSession session_;
  RecordingDialogs dialogs_;

  std::unique_ptr<ChangePasswordDialog> Make() {
    auto dialog = std::make_unique<ChangePasswordDialog>(*project_, session_, dialogs_);
    dialog->show();
    return dialog;
  }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->clear();
    qtk::testing::TypeKeys(edit, text);
  }
  static bool AllEmpty(const ChangePasswordDialog& dialog) {
    return dialog.OldPasswordEdit()->text().isEmpty() &&
           dialog.NewPasswordEdit()->text().isEmpty() &&
           dialog.ConfirmationEdit()->text().isEmpty();
  }

 private slots:
  void init() {
    env_ = std::make_unique<qtk::shell_testing::ShellEnv>();
    project_ = env_->Open();
    QVERIFY(project_ != nullptr);
    session_ = env_->session;
    dialogs_ = RecordingDialogs();
  }

  void CaptionLabelsAndLimits() {
    auto dialog = Make();
    QCOMPARE(dialog->windowTitle(), QString("Change password"));
    auto* form = dialog->findChild<QFormLayout*>();
    QVERIFY(form != nullptr);
    const QList<QLineEdit*> edits = {dialog->OldPasswordEdit(), dialog->NewPasswordEdit(),
                                     dialog->ConfirmationEdit()};
    const QStringList labels = {"Old password", "New password", "Confirm new password"};
    for (int i = 0; i < 3; ++i) {
      auto* label = qobject_cast<QLabel*>(form->labelForField(edits[i]));
      QVERIFY(label != nullptr);
      QCOMPARE(label->text(), labels[i]);
      QCOMPARE(edits[i]->echoMode(), QLineEdit::Password);
      QCOMPARE(edits[i]->maxLength(), 8);
    }
    QCOMPARE(dialog->OkButton()->text(), QString("OK"));
    QCOMPARE(dialog->CancelButton()->text(), QString("Cancel"));
    Type(dialog->OldPasswordEdit(), "123456789");
    QCOMPARE(dialog->OldPasswordEdit()->text(), QString("12345678"));
  }

  void OkIsOfferedOnlyWithNewPasswordAndConfirmation() {
    auto dialog = Make();
    QVERIFY(!dialog->OkButton()->isEnabled());
    Type(dialog->OldPasswordEdit(), "1234");
    QVERIFY(!dialog->OkButton()->isEnabled());
    Type(dialog->NewPasswordEdit(), "ab");
    QVERIFY(!dialog->OkButton()->isEnabled());
    Type(dialog->ConfirmationEdit(), "a");
    QVERIFY(dialog->OkButton()->isEnabled());
    dialog->NewPasswordEdit()->clear();
    QVERIFY(!dialog->OkButton()->isEnabled());
    // Enter in a field does not get past a disabled OK.
    QTest::keyClick(dialog->ConfirmationEdit(), Qt::Key_Return);
    QVERIFY(dialogs_.messages.empty());
    QVERIFY(dialog->isVisible());
  }

  void WrongOldPasswordComesFirstAndEmptiesTheFields() {
    auto dialog = Make();
    const auto record = project_->settings.bytes();
    Type(dialog->OldPasswordEdit(), "4321");
    Type(dialog->NewPasswordEdit(), "aaa");
    Type(dialog->ConfirmationEdit(), "bbb");
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(dialogs_.Texts(), std::vector<std::string>{"The old password is wrong!"});
    QVERIFY(AllEmpty(*dialog));
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->OkButton()->isEnabled());
    QVERIFY(project_->settings.bytes() == record);
  }

  void DifferentNewTextsKeepTheDialogOpen() {
    auto dialog = Make();
    Type(dialog->OldPasswordEdit(), "1234");
    Type(dialog->NewPasswordEdit(), "abc");
    Type(dialog->ConfirmationEdit(), "ABC");
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(dialogs_.Texts(), std::vector<std::string>{"The 2 passwords are not match!"});
    QVERIFY(AllEmpty(*dialog));
    QVERIFY(dialog->isVisible());
    QCOMPARE(session_.current_password, std::string("1234"));
  }

  void SuccessChangesTheWordsAndCloses() {
    auto dialog = Make();
    Type(dialog->OldPasswordEdit(), "1234");
    Type(dialog->NewPasswordEdit(), "9876");
    Type(dialog->ConfirmationEdit(), "9876");
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QVERIFY(dialogs_.messages.empty());
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(session_.current_password, std::string("9876"));
    QVERIFY(project_->password_refresh);
    QVERIFY(qtk::VerifyPassword(*project_, "9876"));
  }

  void CancelChangesNothing() {
    auto dialog = Make();
    const auto record = project_->settings.bytes();
    Type(dialog->OldPasswordEdit(), "1234");
    Type(dialog->NewPasswordEdit(), "9876");
    Type(dialog->ConfirmationEdit(), "9876");
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(project_->settings.bytes() == record);
    QVERIFY(!project_->password_refresh);
  }
  void APasswordIsTypedAsSingleBytesAndCanBeTypedAgain() {
    auto dialog = Make();
    Type(dialog->OldPasswordEdit(), "1234");
    Type(dialog->NewPasswordEdit(), QString::fromUtf8("p\u00e4sswort"));
    Type(dialog->ConfirmationEdit(), QString::fromUtf8("p\u20acx\u00e4sswort"));  // no euro sign
    QCOMPARE(dialog->ConfirmationEdit()->text(), QString::fromUtf8("px\u00e4sswor"));
    Type(dialog->ConfirmationEdit(), QString::fromUtf8("p\u00e4sswort"));
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(dialogs_.messages.empty());
    QCOMPARE(session_.current_password, std::string("p\xE4sswort"));
    QCOMPARE(qtk::DecodePassword(*project_), std::string("p\xE4sswort"));

    // Typed again in the next dialog, the same eight characters prove it.
    auto again = Make();
    Type(again->OldPasswordEdit(), QString::fromUtf8("p\u00e4sswort"));
    Type(again->NewPasswordEdit(), "1234");
    Type(again->ConfirmationEdit(), "1234");
    QTest::mouseClick(again->OkButton(), Qt::LeftButton);
    QCOMPARE(again->result(), int(QDialog::Accepted));
    QVERIFY(qtk::VerifyPassword(*project_, "1234"));
  }
};

QTEST_MAIN(ChangePasswordDialogTest)
#include "change_password_dialog_test.moc"
