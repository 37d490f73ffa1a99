#include "app/change_password_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/filtered_line_edit.h"
#include "app/widgets/password_edit.h"

namespace qtk {

ChangePasswordDialog::ChangePasswordDialog(FirmwareProject& project, LoadSession& session,
                                           UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), project_(project), session_(session), dialogs_(dialogs) {
  setWindowTitle(kCaption);
  setModal(true);

  old_edit_ = MakePasswordEdit(this);
  new_edit_ = MakePasswordEdit(this);
  confirm_edit_ = MakePasswordEdit(this);
  ok_button_ = MakeStandardButton(QStringLiteral("OK"), this);
  cancel_button_ = MakeStandardButton(QStringLiteral("Cancel"), this);
  ok_button_->setDefault(true);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Old password"), old_edit_);
  fields->addRow(QStringLiteral("New password"), new_edit_);
  fields->addRow(QStringLiteral("Confirm new password"), confirm_edit_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_button_);
  buttons->addWidget(cancel_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  // The old password plays no part in whether OK is offered.
  connect(new_edit_, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
  connect(confirm_edit_, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
  connect(ok_button_, &QPushButton::clicked, this, &ChangePasswordDialog::accept);
  connect(cancel_button_, &QPushButton::clicked, this, &QDialog::reject);

  form_.Clear();
  PutTexts();
  ok_button_->setEnabled(false);
}

void ChangePasswordDialog::TakeTexts() {
  form_.old_password = PasswordBytes(old_edit_);
  form_.new_password = PasswordBytes(new_edit_);
  form_.confirmation = PasswordBytes(confirm_edit_);
}

void ChangePasswordDialog::PutTexts() {
  // Each edit's change takes all three edits back into the form, so the texts are read
  // before the first edit changes.
  const QString old_text = PasswordText(form_.old_password);
  const QString new_text = PasswordText(form_.new_password);
  const QString confirmation = PasswordText(form_.confirmation);
  old_edit_->setText(old_text);
  new_edit_->setText(new_text);
  confirm_edit_->setText(confirmation);
}

void ChangePasswordDialog::UpdateOk() {
  TakeTexts();
  ok_button_->setEnabled(form_.OkEnabled());
}

void ChangePasswordDialog::accept() {
  // Enter in a field reaches here even while OK is disabled.
  if (!ok_button_->isEnabled())
    return;
  TakeTexts();
  if (!form_.Submit(project_, session_, dialogs_)) {
    PutTexts();
    old_edit_->setFocus(Qt::OtherFocusReason);
    return;
  }
  QDialog::accept();
}

}  // namespace qtk
