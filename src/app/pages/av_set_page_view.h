#pragma once

#include "app/pages/page_controls.h"
#include "app/pages/page_view.h"
#include "pages/av_set_page.h"

class QLabel;
class QToolButton;

namespace qtk {

class EditableListControl;
class FilteredLineEdit;

// The Qt view of the AV set page.
class AvSetPageView : public PageView {
  Q_OBJECT
 public:
  AvSetPageView(AvSetPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  QComboBox* tv_mode() const { return tv_mode_; }
  QComboBox* program_mode() const { return program_mode_; }
  QComboBox* rf_mode() const { return rf_mode_; }
  FilteredLineEdit* rf_channel() const { return rf_channel_; }
  QToolButton* rf_up() const { return rf_up_; }
  QToolButton* rf_down() const { return rf_down_; }
  QLabel* rf_channel_name() const { return rf_channel_name_; }
  EditableListControl* output_list() const { return list_; }

 private:
  void PutChannel();

  AvSetPage& model_;
  ComboBindings combos_{this};
  QComboBox* tv_mode_;
  QComboBox* program_mode_;
  QComboBox* rf_mode_;
  FilteredLineEdit* rf_channel_;
  QToolButton* rf_up_;
  QToolButton* rf_down_;
  QLabel* rf_channel_name_;
  EditableListControl* list_;
};

}  // namespace qtk
