#include "app/pages/flash_device_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "app/pages/page_controls.h"
#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk {

FlashDeviceDialog::FlashDeviceDialog(FlashDeviceEditor& editor,
                                     std::function<bool(FlashDeviceEditor&)> accept_entry,
                                     QWidget* parent)
    : QDialog(parent), editor_(editor), accept_entry_(std::move(accept_entry)) {
  setWindowTitle(QString::fromLatin1(flash_editor_messages::kCaption));
  flash_id_ = MakeEdit(QString::fromLatin1(kFlashIdCharacters), kFlashIdLength);
  device_value_ = new QComboBox;
  sector_struct_ = new QComboBox;
  ok_ = MakeStandardButton(QStringLiteral("OK"));
  cancel_ = MakeStandardButton(QStringLiteral("Cancel"));
  ok_->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Flash ID:")), 0, 0);
  grid->addWidget(WithText(flash_id_, QStringLiteral("0x"), true), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Device value:")), 1, 0);
  grid->addWidget(device_value_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Sector Struct:")), 2, 0);
  grid->addWidget(sector_struct_, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  grid->addLayout(buttons, 3, 0, 1, 2);

  PutText(flash_id_, editor_.flash_id);
  PutCombo(device_value_, editor_.device_value);
  PutCombo(sector_struct_, editor_.sector_struct);

  connect(flash_id_, &QLineEdit::textEdited, this, [this] {
    editor_.TypeFlashId(TextOf(flash_id_));
    PutText(flash_id_, editor_.flash_id);
  });
  connect(device_value_, &QComboBox::activated, this,
          [this](int index) { editor_.device_value.Select(index); });
  connect(sector_struct_, &QComboBox::activated, this,
          [this](int index) { editor_.sector_struct.Select(index); });
  connect(ok_, &QPushButton::clicked, this, [this] {
    if (accept_entry_(editor_))
      accept();
  });
  connect(cancel_, &QPushButton::clicked, this, &FlashDeviceDialog::reject);
}

void FlashDeviceDialog::reject() {
  editor_.Cancel();
  QDialog::reject();
}

}  // namespace qtk
