#include "app/pages/common_page_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/pages/page_controls.h"
#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk {
namespace {

// Every character code the version text accepts.
QString VersionCharacters() {
  QString allowed;
  for (int c = 1; c <= kLastVersionCharacter; ++c)
    allowed += QChar(c);
  return allowed;
}

}  // namespace

CommonPageView::CommonPageView(CommonPage& model, QWidget* parent)
    : PageView(parent), model_(model) {
  osd_palette_ = new QComboBox;
  transparence_ = new QComboBox;
  auto_scan_mode_ = new QComboBox;
  tp_scan_mode_ = new QComboBox;
  continue_key_ = new QComboBox;
  system_mode_ = new QComboBox;
  new_tv_audio_ = new QComboBox;
  new_radio_audio_ = new QComboBox;
  logo_show_delay_ = new QComboBox;

  palette_count_ = new FilteredLineEdit;
  palette_count_->SetAllowedCharacters(kDecimalDigits);
  palette_count_->setMaxLength(3);
  palette_up_ = new QToolButton;
  palette_up_->setArrowType(Qt::UpArrow);
  palette_down_ = new QToolButton;
  palette_down_->setArrowType(Qt::DownArrow);
  auto* palette_box = new QWidget;
  auto* palette_layout = new QHBoxLayout(palette_box);
  palette_layout->setContentsMargins(0, 0, 0, 0);
  palette_layout->addWidget(palette_count_);
  auto* arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  arrows->addWidget(palette_up_);
  arrows->addWidget(palette_down_);
  palette_layout->addLayout(arrows);
  palette_count_label_ = new QLabel(QStringLiteral("Palette count"));

  volume_slider_ = new QSlider(Qt::Horizontal);
  volume_slider_->setTickPosition(QSlider::TicksBelow);
  volume_slider_->setTickInterval(10);
  volume_ = new FilteredLineEdit;
  volume_->SetAllowedCharacters(kDecimalDigits);
  volume_->setMaxLength(3);
  auto* volume_box = new QWidget;
  auto* volume_layout = new QHBoxLayout(volume_box);
  volume_layout->setContentsMargins(0, 0, 0, 0);
  volume_layout->addWidget(volume_slider_);
  volume_layout->addWidget(volume_);

  version_ = new FilteredLineEdit;
  version_->SetAllowedCharacters(VersionCharacters());
  version_->setMaxLength(static_cast<int>(kMaxVersionLength));
  const QString display = QString::fromLatin1(kDisplayCharacters.data(),
                                              static_cast<qsizetype>(kDisplayCharacters.size()));
  power_on_ = new FilteredLineEdit;
  power_on_->SetAllowedCharacters(display);
  standby_ = new FilteredLineEdit;
  standby_->SetAllowedCharacters(display);

  // The CRC rom file is not offered on this page; its controls exist but stay hidden.
  crc_rom_label_ = new QLabel(QStringLiteral("CRC rom"));
  crc_rom_ = new QLineEdit;
  crc_rom_browse_ = new BitmapPushButton(QStringLiteral(">>"));
  crc_rom_browse_->SetSkin(BitmapPushButton::kStandardSkinId, 5, 5, 5, 5, 4);

  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Version"), version_);
  form->addRow(QStringLiteral("Power on string"), power_on_);
  form->addRow(QStringLiteral("Standby string"), standby_);
  form->addRow(palette_count_label_, palette_box);
  form->addRow(QStringLiteral("OSD Palette"), osd_palette_);
  form->addRow(QStringLiteral("Transparence"), transparence_);
  form->addRow(QStringLiteral("Volume"), volume_box);
  form->addRow(QStringLiteral("Auto scan mode"), auto_scan_mode_);
  form->addRow(QStringLiteral("TP scan mode"), tp_scan_mode_);
  form->addRow(QStringLiteral("Continue key"), continue_key_);
  form->addRow(QStringLiteral("System mode"), system_mode_);
  form->addRow(QStringLiteral("New TV Prog audio"), new_tv_audio_);
  form->addRow(QStringLiteral("New Radio Prog audio"), new_radio_audio_);
  form->addRow(QStringLiteral("Logo show delay"), logo_show_delay_);
  auto* crc_box = new QWidget;
  auto* crc_layout = new QHBoxLayout(crc_box);
  crc_layout->setContentsMargins(0, 0, 0, 0);
  crc_layout->addWidget(crc_rom_);
  crc_layout->addWidget(crc_rom_browse_);
  form->addRow(crc_rom_label_, crc_box);

  const std::pair<QComboBox*, ComboState*> combos[] = {
      {osd_palette_, &model_.osd_palette},        {transparence_, &model_.transparence},
      {auto_scan_mode_, &model_.auto_scan_mode},  {tp_scan_mode_, &model_.tp_scan_mode},
      {continue_key_, &model_.continue_key},      {system_mode_, &model_.system_mode},
      {new_tv_audio_, &model_.new_tv_audio},      {new_radio_audio_, &model_.new_radio_audio},
      {logo_show_delay_, &model_.logo_show_delay}};
  for (auto [combo, state] : combos) {
    connect(combo, &QComboBox::activated, this, [state](int index) { state->Select(index); });
  }
  connect(palette_up_, &QToolButton::clicked, this, [this] {
    model_.StepPaletteCount(+1);
    PutControls();
  });
  connect(palette_down_, &QToolButton::clicked, this, [this] {
    model_.StepPaletteCount(-1);
    PutControls();
  });
  connect(palette_count_, &QLineEdit::textEdited, this, [this] {
    model_.SetPaletteCount(NumberOf(palette_count_));
    PutControls();
  });
  connect(volume_, &QLineEdit::textEdited, this, [this] {
    model_.SetVolume(NumberOf(volume_));
    PutControls();
  });
  connect(volume_slider_, &QSlider::valueChanged, this, [this](int position) {
    if (position == model_.volume())
      return;
    model_.SetVolumeFromSlider(position);
    PutNumber(volume_, model_.volume());
  });
  connect(crc_rom_browse_, &QPushButton::clicked, this, [this] { model_.BrowseCrcRom(); });
}

void CommonPageView::keyPressEvent(QKeyEvent* event) {
  // Escape never closes the page or the window around it.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  PageView::keyPressEvent(event);
}

void CommonPageView::TakeTexts() {
  model_.version_text = TextOf(version_);
  model_.power_on_text = TextOf(power_on_);
  model_.standby_text = TextOf(standby_);
}

bool CommonPageView::TakeControls() {
  TakeTexts();
  return model_.Validate();
}

void CommonPageView::PutControls() {
  PutCombo(osd_palette_, model_.osd_palette);
  PutCombo(transparence_, model_.transparence);
  PutCombo(auto_scan_mode_, model_.auto_scan_mode);
  PutCombo(tp_scan_mode_, model_.tp_scan_mode);
  PutCombo(continue_key_, model_.continue_key);
  PutCombo(system_mode_, model_.system_mode);
  PutCombo(new_tv_audio_, model_.new_tv_audio);
  PutCombo(new_radio_audio_, model_.new_radio_audio);
  PutCombo(logo_show_delay_, model_.logo_show_delay);
  PutNumber(palette_count_, model_.palette_count());
  for (QWidget* w :
       {static_cast<QWidget*>(palette_count_), static_cast<QWidget*>(palette_up_),
        static_cast<QWidget*>(palette_down_), static_cast<QWidget*>(palette_count_label_)}) {
    w->setVisible(model_.palette_count_shown());
  }
  volume_slider_->setRange(model_.volume_min(), model_.volume_max());
  volume_slider_->setValue(model_.volume());
  PutNumber(volume_, model_.volume());
  PutText(version_, model_.version_text);
  power_on_->setMaxLength(model_.digit_count());
  standby_->setMaxLength(model_.digit_count());
  PutText(power_on_, model_.power_on_text);
  PutText(standby_, model_.standby_text);
  crc_rom_->setText(QString::fromStdString(model_.crc_rom_path()));
  for (QWidget* w : {static_cast<QWidget*>(crc_rom_label_), static_cast<QWidget*>(crc_rom_),
                     static_cast<QWidget*>(crc_rom_browse_)}) {
    w->setVisible(false);
  }
}

}  // namespace qtk
