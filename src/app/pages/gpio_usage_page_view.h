#pragma once

#include <QComboBox>

#include "app/pages/page_controls.h"
#include "app/pages/page_view.h"
#include "app/widgets/editable_list_control.h"
#include "pages/gpio_usage_page.h"

namespace qtk {

// The Qt view of the GPIO usage page.
class GpioUsagePageView : public PageView {
  Q_OBJECT
 public:
  GpioUsagePageView(GpioUsagePage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  QComboBox* bus_type() const { return bus_type_; }
  EditableListControl* usage_list() const { return list_; }

 private:
  GpioUsagePage& model_;
  ComboBindings combos_{this};
  QComboBox* bus_type_;
  EditableListControl* list_;
};

}  // namespace qtk
