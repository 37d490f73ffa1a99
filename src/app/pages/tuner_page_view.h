#pragma once

#include "app/pages/page_controls.h"
#include "app/pages/page_view.h"
#include "app/widgets/editable_list_control.h"
#include "app/widgets/filtered_line_edit.h"
#include "pages/tuner_page.h"

#include <QComboBox>
#include <functional>

namespace qtk {

// The Qt view of the Tuner page.
class TunerPageView : public PageView {
  Q_OBJECT
 public:
  TunerPageView(TunerPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  // Controls by caption, for the tests.
  QComboBox* tuner_type() const { return tuner_type_; }
  QComboBox* polarity() const { return polarity_; }
  QComboBox* single_crystal() const { return single_crystal_; }
  QComboBox* iq_enable() const { return iq_enable_; }
  QComboBox* q_set() const { return q_set_; }
  QComboBox* iq_set() const { return iq_set_; }
  QComboBox* i_set() const { return i_set_; }
  QComboBox* diff_single() const { return diff_single_; }
  FilteredLineEdit* user_crystal() const { return user_crystal_; }
  FilteredLineEdit* quality_zoom() const { return quality_zoom_; }
  FilteredLineEdit* intensity_zoom() const { return intensity_zoom_; }
  FilteredLineEdit* base_address() const { return base_address_; }
  FilteredLineEdit* frequency_low() const { return frequency_low_; }
  FilteredLineEdit* frequency_high() const { return frequency_high_; }
  FilteredLineEdit* filter_bandwidth() const { return filter_bandwidth_; }
  FilteredLineEdit* agc_threshold1() const { return agc_threshold1_; }
  FilteredLineEdit* agc_threshold2() const { return agc_threshold2_; }
  FilteredLineEdit* qpsk_config() const { return qpsk_config_; }
  QWidget* extended_controls() const { return extended_box_; }
  EditableListControl* tuner_list() const { return list_; }

 private:
  // A number edit: typing reaches the model at once, leaving the edit runs its rule.
  void BindNumber(FilteredLineEdit* edit, std::function<void(long long)> type,
                  std::function<void()> leave);
  void BindHex(FilteredLineEdit* edit, std::string TunerPage::*text);

  TunerPage& model_;
  ComboBindings combos_{this};
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
