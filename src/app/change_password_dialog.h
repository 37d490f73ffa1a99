#pragma once

#include <QDialog>

#include "app/model/change_password_form.h"

class QLineEdit;

namespace qtk {

class BitmapPushButton;

// Replaces the firmware password of the loaded project after the old one is proven.
class ChangePasswordDialog : public QDialog {
  Q_OBJECT

 public:
  inline static const QString kCaption = QStringLiteral("Change password");

  ChangePasswordDialog(FirmwareProject& project, LoadSession& session, UserDialogs& dialogs,
                       QWidget* parent = nullptr);

  QLineEdit* OldPasswordEdit() const { return old_edit_; }
  QLineEdit* NewPasswordEdit() const { return new_edit_; }
  QLineEdit* ConfirmationEdit() const { return confirm_edit_; }
  BitmapPushButton* OkButton() const { return ok_button_; }
  BitmapPushButton* CancelButton() const { return cancel_button_; }

  void accept() override;

 private:
  void TakeTexts();
  void PutTexts();
  void UpdateOk();

  FirmwareProject& project_;
  LoadSession& session_;
  UserDialogs& dialogs_;
  ChangePasswordForm form_;

  QLineEdit* old_edit_ = nullptr;
  QLineEdit* new_edit_ = nullptr;
  QLineEdit* confirm_edit_ = nullptr;
  BitmapPushButton* ok_button_ = nullptr;
  BitmapPushButton* cancel_button_ = nullptr;
};

}  // namespace qtk
