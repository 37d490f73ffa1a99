#pragma once

#include <QDialog>
#include <functional>

#include "pages/flash_device_editor.h"

class QComboBox;

namespace qtk {

class BitmapPushButton;
class FilteredLineEdit;

// "Edit Serial Flash Device": the flash ID, the device value and the sector structure of one
// serial flash device. The editor holds the values and the OK rules; `accept_entry` runs them
// (with the page's message boxes) and says whether the dialog may close.
class FlashDeviceDialog : public QDialog {
  Q_OBJECT
 public:
  FlashDeviceDialog(FlashDeviceEditor& editor, std::function<bool(FlashDeviceEditor&)> accept_entry,
                    QWidget* parent = nullptr);

  FilteredLineEdit* flash_id() const { return flash_id_; }
  QComboBox* device_value() const { return device_value_; }
  QComboBox* sector_struct() const { return sector_struct_; }
  BitmapPushButton* ok_button() const { return ok_; }
  BitmapPushButton* cancel_button() const { return cancel_; }

  // Cancel, Escape and the close box: the page takes nothing.
  void reject() override;

 private:
  FlashDeviceEditor& editor_;
  std::function<bool(FlashDeviceEditor&)> accept_entry_;
  FilteredLineEdit* flash_id_;
  QComboBox* device_value_;
  QComboBox* sector_struct_;
  BitmapPushButton* ok_;
  BitmapPushButton* cancel_;
};

}  // namespace qtk
