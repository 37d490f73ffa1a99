#pragma once

#include "app/pages/page_view.h"
#include "app/widgets/editable_list_control.h"
#include "app/widgets/filtered_line_edit.h"
#include "pages/tuner_page.h"

#include <QComboBox>

namespace qtk {

// The Qt view of the Tuner page.
class TunerPageView : public PageView {
  Q_OBJECT
 public:
  TunerPageView(TunerPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;
  bool TakeControls() override;

  // Controls by caption, for the tests.
  QComboBox* tuner_type() const { return tuner_type_; }
  QComboBox* iq_enable() const { return iq_enable_; }
  QComboBox* q_set() const { return q_set_; }
  FilteredLineEdit* quality_zoom() const { return quality_zoom_; }
  FilteredLineEdit* base_address() const { return base_address_; }
  FilteredLineEdit* user_crystal() const { return user_crystal_; }
  QWidget* extended_controls() const { return extended_box_; }
  EditableListControl* tuner_list() const { return list_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void TakeEdits();
  // The rule of a number edit when it loses the focus.
  void LeaveEdit(FilteredLineEdit* edit);

  TunerPage& model_;
  QComboBox* tuner_type_;
  QComboBox* polarity_;
  QComboBox* single_crystal_;
  QComboBox* iq_enable_;
  QComboBox* q_set_;
  QComboBox* iq_set_;
  QComboBox* i_set_;
  QComboBox* diff_single_;
  FilteredLineEdit* user_crystal_;
  FilteredLineEdit* quality_zoom_;
  FilteredLineEdit* intensity_zoom_;
  FilteredLineEdit* base_address_;
  FilteredLineEdit* frequency_low_;
  FilteredLineEdit* frequency_high_;
  FilteredLineEdit* filter_bandwidth_;
  FilteredLineEdit* agc_threshold1_;
  FilteredLineEdit* agc_threshold2_;
  FilteredLineEdit* qpsk_config_;
  EditableListControl* list_;
  QWidget* extended_box_;
};

}  // namespace qtk
