#pragma once

#include <functional>

#include "app/pages/page_view.h"
#include "pages/serial_flash_page.h"

class QTreeWidget;

namespace qtk {

class BitmapPushButton;
class FlashDeviceDialog;

// The Qt view of the Serial flash page: the device list and its Edit, New and Delete buttons,
// with the "Edit Serial Flash Device" dialog.
class SerialFlashPageView : public PageView {
  Q_OBJECT
 public:
  SerialFlashPageView(SerialFlashPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  QTreeWidget* device_list() const { return list_; }
  BitmapPushButton* edit_button() const { return edit_; }
  BitmapPushButton* new_button() const { return new_; }
  BitmapPushButton* delete_button() const { return delete_; }

 private:
  // Shows the dialog over the editor; the model takes its entry when it closes.
  void RunDialog(FlashDeviceEditor editor);
  void PutButtons();

  SerialFlashPage& model_;
  QTreeWidget* list_;
  BitmapPushButton* edit_;
  BitmapPushButton* new_;
  BitmapPushButton* delete_;
};

}  // namespace qtk
