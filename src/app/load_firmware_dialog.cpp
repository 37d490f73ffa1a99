#include "app/load_firmware_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <utility>

#include "app/firmware_drop.h"
#include "app/path_text.h"
#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/filtered_line_edit.h"
#include "app/widgets/password_edit.h"

namespace qtk {

LoadFirmwareDialog::LoadFirmwareDialog(LoadFirmwareMemory& memory, std::string default_config_path,
                                       UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), form_(memory, std::move(default_config_path)), dialogs_(dialogs) {
  setWindowTitle(kCaption);
  setModal(true);

  auto* firmware_label = new QLabel(QStringLiteral("Firmware File:"), this);
  firmware_edit_ = new QLineEdit(this);
  firmware_edit_->setMaxLength(static_cast<int>(LoadFirmwareForm::kPathLimit));
  firmware_browse_ = MakeStandardButton(QStringLiteral(">>"), this);

  use_external_box_ = new QCheckBox(QStringLiteral("Use external config file"), this);

  config_label_ = new QLabel(QStringLiteral("Config File:"), this);
  config_edit_ = new QLineEdit(this);
  config_edit_->setMaxLength(static_cast<int>(LoadFirmwareForm::kPathLimit));
  config_browse_ = MakeStandardButton(QStringLiteral(">>"), this);

  password_label_ = new QLabel(QStringLiteral("Password:"), this);
  password_edit_ = MakePasswordEdit(this);

  ok_button_ = MakeStandardButton(QStringLiteral("OK"), this);
  cancel_button_ = MakeStandardButton(QStringLiteral("Cancel"), this);
  // Enter on a field closes with OK; Enter on a focused button clicks that button.
  ok_button_->setDefault(true);

  auto* grid = new QGridLayout;
  grid->addWidget(firmware_label, 0, 0);
  grid->addWidget(firmware_edit_, 0, 1);
  grid->addWidget(firmware_browse_, 0, 2);
  grid->addWidget(use_external_box_, 1, 0, 1, 3);
  grid->addWidget(config_label_, 2, 0);
  grid->addWidget(config_edit_, 2, 1);
  grid->addWidget(config_browse_, 2, 2);
  grid->addWidget(password_label_, 3, 0);
  grid->addWidget(password_edit_, 3, 1);
  grid->setColumnMinimumWidth(1, 280);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_button_);
  buttons->addWidget(cancel_button_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  setTabOrder(firmware_edit_, firmware_browse_);
  setTabOrder(firmware_browse_, use_external_box_);
  setTabOrder(use_external_box_, config_edit_);
  setTabOrder(config_edit_, config_browse_);
  setTabOrder(config_browse_, password_edit_);
  setTabOrder(password_edit_, ok_button_);
  setTabOrder(ok_button_, cancel_button_);

  connect(use_external_box_, &QCheckBox::clicked, this, [this] {
    form_.use_external = use_external_box_->isChecked();
    UpdateConfigEnabled();
  });
  connect(firmware_browse_, &QPushButton::clicked, this, [this] { BrowseFirmware(); });
  connect(config_browse_, &QPushButton::clicked, this, [this] { BrowseConfig(); });
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_button_, &QPushButton::clicked, this, &QDialog::reject);
  // A file dropped anywhere on the dialog, its fields included, is the firmware; the fields
  // would otherwise insert the file's URL as text.
  for (QLineEdit* edit : {firmware_edit_, config_edit_, password_edit_})
    edit->setAcceptDrops(false);
  new FirmwareDropTarget(this, [this](const std::string& path) { TakeDroppedFirmware(path); });
}

void LoadFirmwareDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous())
    Opening();
  QDialog::showEvent(event);
}

void LoadFirmwareDialog::Opening() {
  form_.Open();
  RefreshControls();
  password_label_->setEnabled(true);
  password_edit_->setEnabled(true);
  switch (form_.InitialFocus()) {
    case LoadFirmwareForm::FocusTarget::Password:
      password_edit_->setFocus(Qt::OtherFocusReason);
      break;
    case LoadFirmwareForm::FocusTarget::FirmwareBrowse:
      firmware_browse_->setFocus(Qt::OtherFocusReason);
      break;
    case LoadFirmwareForm::FocusTarget::DialogDefault:
      break;
  }
}

void LoadFirmwareDialog::TakeControlValues() {
  form_.firmware_path = PathTextFromQString(firmware_edit_->text());
  form_.config_path = PathTextFromQString(config_edit_->text());
  form_.password = PasswordBytes(password_edit_);
  form_.use_external = use_external_box_->isChecked();
}

void LoadFirmwareDialog::RefreshControls() {
  firmware_edit_->setText(QStringFromPathText(form_.firmware_path));
  config_edit_->setText(QStringFromPathText(form_.config_path));
  password_edit_->setText(PasswordText(form_.password));
  use_external_box_->setChecked(form_.use_external);
  UpdateConfigEnabled();
}

void LoadFirmwareDialog::UpdateConfigEnabled() {
  const bool on = form_.ConfigControlsEnabled();
  config_label_->setEnabled(on);
  config_edit_->setEnabled(on);
  config_browse_->setEnabled(on);
}

void LoadFirmwareDialog::BrowseFirmware() {
  TakeControlValues();
  if (!form_.BrowseFirmware(dialogs_))
    return;
  password_edit_->setFocus(Qt::OtherFocusReason);
  RefreshControls();
}

void LoadFirmwareDialog::BrowseConfig() {
  TakeControlValues();
  if (!form_.BrowseConfig(dialogs_))
    return;
  RefreshControls();
}

void LoadFirmwareDialog::TakeDroppedFirmware(const std::string& path) {
  // A dropped file is chosen like one from ">>": it replaces the field, the rest stays.
  TakeControlValues();
  form_.firmware_path = path;
  RefreshControls();
  password_edit_->setFocus(Qt::OtherFocusReason);
}

void LoadFirmwareDialog::accept() {
  TakeControlValues();
  form_.Accept();
  QDialog::accept();
}

}  // namespace qtk
