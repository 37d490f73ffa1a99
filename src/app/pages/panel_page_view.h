#pragma once

#include <functional>

#include <QCheckBox>
#include <QComboBox>

#include "app/pages/page_controls.h"
#include "app/pages/page_view.h"
#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/editable_list_control.h"
#include "app/widgets/filtered_line_edit.h"
#include "app/widgets/seven_segment_display.h"
#include "pages/panel_page.h"

namespace qtk {

// The Qt view of the Panel page.
class PanelPageView : public PageView {
  Q_OBJECT
 public:
  PanelPageView(PanelPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  QComboBox* scan_type() const { return scan_type_; }
  QComboBox* led_number() const { return led_number_; }
  QComboBox* dot_enable() const { return dot_enable_; }
  QComboBox* dot_com() const { return dot_com_; }
  QComboBox* dot_position() const { return dot_position_; }
  QComboBox* dot_polarity() const { return dot_polarity_; }
  QComboBox* led_polarity() const { return led_polarity_; }
  QComboBox* signal_com() const { return signal_com_; }
  QComboBox* signal_polarity() const { return signal_polarity_; }
  QComboBox* irp_type() const { return irp_type_; }
  QCheckBox* signal_enable() const { return signal_enable_; }
  QAbstractButton* reverse_direction() const { return reverse_; }
  EditableListControl* signal_list() const { return signal_list_; }
  EditableListControl* segment_list() const { return segment_list_; }
  SevenSegmentDisplay* digit_picture() const { return picture_; }
  FilteredLineEdit* key_repeat_first() const { return repeat_first_; }
  FilteredLineEdit* key_repeat_normal() const { return repeat_normal_; }

 private:
  // The model's calls travel as function objects: GCC takes member pointers captured by a
  // connected lambda for uninitialized.
  void BindRepeat(FilteredLineEdit* edit, std::function<void(PanelPage&, long long)> type,
                  std::function<bool(PanelPage&)> leave);
  void ShowSelectedSegment();

  PanelPage& model_;
  ComboBindings combos_{this};
  QComboBox* scan_type_;
  QComboBox* led_number_;
  QComboBox* dot_enable_;
  QComboBox* dot_com_;
  QComboBox* dot_position_;
  QComboBox* dot_polarity_;
  QComboBox* led_polarity_;
  QComboBox* signal_com_;
  QComboBox* signal_polarity_;
  QComboBox* irp_type_;
  QCheckBox* signal_enable_;
  BitmapPushButton* reverse_;
  EditableListControl* signal_list_;
  EditableListControl* segment_list_;
  SevenSegmentDisplay* picture_;
  FilteredLineEdit* repeat_first_;
  FilteredLineEdit* repeat_normal_;
  QWidget* hidden_box_;
};

}  // namespace qtk
