#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>
#include <functional>

#include "app/pages/page_controls.h"
#include "app/pages/page_view.h"
#include "app/widgets/filtered_line_edit.h"
#include "pages/system_set_page.h"

namespace qtk {

// The Qt view of the System set page.
class SystemSetPageView : public PageView {
  Q_OBJECT
 public:
  SystemSetPageView(SystemSetPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  // Controls by caption, for the tests.
  QCheckBox* advanced() const { return advanced_; }
  QComboBox* cpu_clock() const { return cpu_clock_; }
  QComboBox* memory_clock() const { return memory_clock_; }
  QComboBox* data_pad_driver() const { return data_pad_driver_; }
  QComboBox* command_pad_driver() const { return command_pad_driver_; }
  FilteredLineEdit* clock_tree_delay() const { return clock_tree_; }
  FilteredLineEdit* clock_delay_chain() const { return delay_chain_; }
  QToolButton* clock_tree_up() const { return clock_tree_up_; }
  QToolButton* clock_tree_down() const { return clock_tree_down_; }
  QToolButton* clock_delay_chain_up() const { return delay_chain_up_; }
  QToolButton* clock_delay_chain_down() const { return delay_chain_down_; }
  FilteredLineEdit* password1() const { return password1_; }
  FilteredLineEdit* password2() const { return password2_; }
  QWidget* group() const { return group_; }

 private:
  // A delay edit with its spin arrows: typing reaches the model at once, leaving the edit runs
  // the range rule, each arrow steps the value.
  QWidget* MakeDelay(FilteredLineEdit*& edit, QToolButton*& up, QToolButton*& down,
                     std::function<void(long long)> type, std::function<void()> leave,
                     std::function<void(int)> step);

  SystemSetPage& model_;
  ComboBindings combos_{this};
  QWidget* group_;
  QCheckBox* advanced_;
  QComboBox* cpu_clock_;
  QComboBox* memory_clock_;
  QComboBox* data_pad_driver_;
  QComboBox* command_pad_driver_;
  FilteredLineEdit* clock_tree_ = nullptr;
  FilteredLineEdit* delay_chain_ = nullptr;
  QToolButton* clock_tree_up_ = nullptr;
  QToolButton* clock_tree_down_ = nullptr;
  QToolButton* delay_chain_up_ = nullptr;
  QToolButton* delay_chain_down_ = nullptr;
  FilteredLineEdit* password1_;
  FilteredLineEdit* password2_;
};

}  // namespace qtk
