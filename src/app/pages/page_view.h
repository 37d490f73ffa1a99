#pragma once

#include <QWidget>

#include "pages/settings_page.h"

class QKeyEvent;

namespace qtk {

// The Qt view of one settings page: a thin binding of widgets to the page model.
//
// The rule every view keeps, so that no value is ever lost and none is invented:
//  - The view changes the model only from a user action, and takes each edit into the model
//    the moment it is made. It listens to the signals that only the user causes: textEdited,
//    activated, actionTriggered (sliders), clicked; never to textChanged, currentIndexChanged
//    or valueChanged, which also fire when the program sets a value.
//  - Putting model values into widgets goes through the Put helpers of page_controls.h, which
//    block the widgets' signals, so a put never reaches the model.
// So PutControls may run at any moment (page shown, reload, after a user action that changed
// other values, such as a spin that refills a list) without reverting anything the user typed,
// and the model is always complete: nothing waits in a widget for a later "take".
//
// Escape never closes the page or the window around it (PageView swallows it).
class PageView : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

  virtual SettingsPage& model() = 0;
  // Model state into the widgets: after the model's Load, whenever the page is shown, and
  // after a user action whose effects reach other controls.
  virtual void PutControls() = 0;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qtk
