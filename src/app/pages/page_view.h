#pragma once

#include <QWidget>

#include "pages/settings_page.h"

namespace qtk {

// The Qt view of one settings page: a thin binding of widgets to the page model. The main
// window moves values between the two at the moments the page contract names.
class PageView : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

  virtual SettingsPage& model() = 0;
  // Model state into the widgets: after the model's Load and whenever the page is shown.
  virtual void PutControls() = 0;
  // Widget values into the model, with the checks the widgets themselves make; false keeps
  // the page shown (the view has shown its message).
  virtual bool TakeControls() = 0;
};

}  // namespace qtk
