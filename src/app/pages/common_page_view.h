#pragma once

#include "app/pages/page_controls.h"
#include "app/pages/page_view.h"
#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/filtered_line_edit.h"
#include "pages/common_page.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>

namespace qtk {

// The Qt view of the Common page.
class CommonPageView : public PageView {
  Q_OBJECT
 public:
  CommonPageView(CommonPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  // Controls by caption, for the tests.
  QComboBox* osd_palette() const { return osd_palette_; }
  QComboBox* transparence() const { return transparence_; }
  QComboBox* auto_scan_mode() const { return auto_scan_mode_; }
  QComboBox* tp_scan_mode() const { return tp_scan_mode_; }
  QComboBox* continue_key() const { return continue_key_; }
  QComboBox* system_mode() const { return system_mode_; }
  QComboBox* new_tv_audio() const { return new_tv_audio_; }
  QComboBox* new_radio_audio() const { return new_radio_audio_; }
  QComboBox* logo_show_delay() const { return logo_show_delay_; }
  FilteredLineEdit* palette_count() const { return palette_count_; }
  QToolButton* palette_up() const { return palette_up_; }
  QToolButton* palette_down() const { return palette_down_; }
  QSlider* volume_slider() const { return volume_slider_; }
  FilteredLineEdit* volume() const { return volume_; }
  FilteredLineEdit* version() const { return version_; }
  FilteredLineEdit* power_on() const { return power_on_; }
  FilteredLineEdit* standby() const { return standby_; }
  QWidget* crc_rom_edit() const { return crc_rom_; }
  QWidget* crc_rom_button() const { return crc_rom_browse_; }
  QWidget* crc_rom_label() const { return crc_rom_label_; }
  QWidget* palette_count_label() const { return palette_count_label_; }

 private:
  void PutPalette();
  void PutVolume();

  CommonPage& model_;
  ComboBindings combos_{this};
  QComboBox* osd_palette_;
  QComboBox* transparence_;
  QComboBox* auto_scan_mode_;
  QComboBox* tp_scan_mode_;
  QComboBox* continue_key_;
  QComboBox* system_mode_;
  QComboBox* new_tv_audio_;
  QComboBox* new_radio_audio_;
  QComboBox* logo_show_delay_;
  FilteredLineEdit* palette_count_;
  QToolButton* palette_up_;
  QToolButton* palette_down_;
  QLabel* palette_count_label_;
  QSlider* volume_slider_;
  FilteredLineEdit* volume_;
  FilteredLineEdit* version_;
  FilteredLineEdit* power_on_;
  FilteredLineEdit* standby_;
  QLabel* crc_rom_label_;
  QLineEdit* crc_rom_;
  BitmapPushButton* crc_rom_browse_;
};

}  // namespace qtk
