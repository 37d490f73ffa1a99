#pragma once

#include <QComboBox>
#include <QLineEdit>

#include "app/pages/page_controls.h"
#include "app/pages/page_view.h"
#include "app/widgets/editable_list_control.h"
#include "pages/key_map_page.h"

namespace qtk {

// The Qt view of the Key map page.
class KeyMapPageView : public PageView {
  Q_OBJECT
 public:
  KeyMapPageView(KeyMapPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  QComboBox* pause_window() const { return pause_; }
  QComboBox* preview_window() const { return preview_; }
  QComboBox* dview_window() const { return dview_; }
  QLineEdit* user_code(int which) const { return user_codes_[which]; }
  EditableListControl* panel_list() const { return panel_list_; }
  EditableListControl* ir_list() const { return ir_list_; }

 private:
  void BindUserCode(int which);

  KeyMapPage& model_;
  ComboBindings combos_{this};
  QComboBox* pause_;
  QComboBox* preview_;
  QComboBox* dview_;
  QLineEdit* user_codes_[2];
  EditableListControl* panel_list_;
  EditableListControl* ir_list_;
};

}  // namespace qtk
