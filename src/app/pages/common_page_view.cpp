#include "app/pages/common_page_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/path_text.h"
#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk {

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

  palette_count_ = MakeEdit(kDecimalDigits, static_cast<int>(kPaletteCountDigits));
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
  volume_ = MakeEdit(kDecimalDigits, static_cast<int>(kVolumeDigits));
  auto* volume_box = new QWidget;
  auto* volume_layout = new QHBoxLayout(volume_box);
  volume_layout->setContentsMargins(0, 0, 0, 0);
  volume_layout->addWidget(volume_slider_);
  volume_layout->addWidget(volume_);

  version_ =
      MakeEdit(Latin1Text(CommonPage::VersionCharacters()), static_cast<int>(kMaxVersionLength));
  const QString display = Latin1Text(std::string(kDisplayCharacters));
  power_on_ = MakeEdit(display, 0);
  standby_ = MakeEdit(display, 0);

  // The CRC rom file is not offered on this page; its controls exist but stay hidden.
  crc_rom_label_ = new QLabel(QStringLiteral("CRC rom"));
  crc_rom_ = new QLineEdit;
  crc_rom_browse_ = MakeStandardButton(QStringLiteral(">>"));

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

  combos_.Bind(osd_palette_, &model_.osd_palette);
  combos_.Bind(transparence_, &model_.transparence);
  combos_.Bind(auto_scan_mode_, &model_.auto_scan_mode);
  combos_.Bind(tp_scan_mode_, &model_.tp_scan_mode);
  combos_.Bind(continue_key_, &model_.continue_key);
  combos_.Bind(system_mode_, &model_.system_mode);
  combos_.Bind(new_tv_audio_, &model_.new_tv_audio);
  combos_.Bind(new_radio_audio_, &model_.new_radio_audio);
  combos_.Bind(logo_show_delay_, &model_.logo_show_delay);

  connect(version_, &QLineEdit::textEdited, this,
          [this] { model_.version_text = TextOf(version_); });
  connect(power_on_, &QLineEdit::textEdited, this,
          [this] { model_.power_on_text = TextOf(power_on_); });
  connect(standby_, &QLineEdit::textEdited, this,
          [this] { model_.standby_text = TextOf(standby_); });
  connect(palette_up_, &QToolButton::clicked, this, [this] {
    model_.StepPaletteCount(+1);
    PutPalette();
  });
  connect(palette_down_, &QToolButton::clicked, this, [this] {
    model_.StepPaletteCount(-1);
    PutPalette();
  });
  connect(palette_count_, &QLineEdit::textEdited, this, [this] {
    model_.SetPaletteCount(NumberOf(palette_count_));
    PutPalette();
  });
  connect(volume_, &QLineEdit::textEdited, this, [this] {
    model_.SetVolume(NumberOf(volume_));
    PutVolume();
  });
  // Every move the user makes (dragging, arrow keys, page clicks) passes through an action;
  // the slider position is already the new one when it is reported.
  connect(volume_slider_, &QSlider::actionTriggered, this, [this] {
    model_.SetVolumeFromSlider(volume_slider_->sliderPosition());
    PutNumber(volume_, model_.volume());
  });
  connect(crc_rom_browse_, &QPushButton::clicked, this, [this] { model_.BrowseCrcRom(); });
}

void CommonPageView::PutPalette() {
  PutNumber(palette_count_, model_.palette_count());
  PutCombo(osd_palette_, model_.osd_palette);
}

void CommonPageView::PutVolume() {
  PutSlider(volume_slider_, model_.volume_min(), model_.volume_max(), model_.volume());
  PutNumber(volume_, model_.volume());
}

void CommonPageView::PutControls() {
  combos_.PutAll();
  PutPalette();
  PutVisible({palette_count_, palette_up_, palette_down_, palette_count_label_},
             model_.palette_count_shown());
  PutVolume();
  PutText(version_, model_.version_text);
  PutQuietly(power_on_, [this](QLineEdit* e) { e->setMaxLength(model_.digit_count()); });
  PutQuietly(standby_, [this](QLineEdit* e) { e->setMaxLength(model_.digit_count()); });
  PutText(power_on_, model_.power_on_text);
  PutText(standby_, model_.standby_text);
  PutQuietly(crc_rom_,
             [this](QLineEdit* e) { e->setText(QStringFromPathText(model_.crc_rom_path())); });
  PutVisible({crc_rom_label_, crc_rom_, crc_rom_browse_}, false);
}

}  // namespace qtk
