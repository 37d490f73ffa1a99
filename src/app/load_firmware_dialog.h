#pragma once

#include <QDialog>
#include <string>

#include "app/load_firmware_form.h"
#include "common/user_dialogs.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace qtk {

class BitmapPushButton;

// Asks for the firmware image, the configuration description and the password. Loads
// nothing itself: the caller's loop reads GetLoadPaths and Password after OK.
class LoadFirmwareDialog : public QDialog {
  Q_OBJECT

 public:
  inline static const QString kCaption = QStringLiteral("Load Firmware File  - QTK V3.0.0");

  LoadFirmwareDialog(LoadFirmwareMemory& memory, std::string default_config_path,
                     UserDialogs& dialogs, QWidget* parent = nullptr);

  void SetRetryMark(bool on) { form_.retry_mark = on; }
  // The next opening shows this firmware file (dropped on the main window).
  void PrefillFirmwarePath(const std::string& path) { form_.PrefillFirmwarePath(path); }
  // The status of the last firmware load; decides the focus after a failed load.
  void SetLoadStatus(int status) { form_.load_status = status; }

  bool GetLoadPaths(std::string& firmware_path, std::string& config_path) const {
    return form_.GetLoadPaths(firmware_path, config_path);
  }
  // The password typed before OK.
  std::string Password() const { return form_.password; }

  const LoadFirmwareForm& Form() const { return form_; }

  QLineEdit* FirmwarePathEdit() const { return firmware_edit_; }
  QLineEdit* ConfigPathEdit() const { return config_edit_; }
  QLineEdit* PasswordEdit() const { return password_edit_; }
  QCheckBox* UseExternalBox() const { return use_external_box_; }
  QLabel* ConfigLabel() const { return config_label_; }
  QLabel* PasswordLabel() const { return password_label_; }
  BitmapPushButton* FirmwareBrowseButton() const { return firmware_browse_; }
  BitmapPushButton* ConfigBrowseButton() const { return config_browse_; }
  BitmapPushButton* OkButton() const { return ok_button_; }
  BitmapPushButton* CancelButton() const { return cancel_button_; }

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Opening();
  void TakeControlValues();
  void RefreshControls();
  void UpdateConfigEnabled();
  void BrowseFirmware();
  void BrowseConfig();
  void TakeDroppedFirmware(const std::string& path);

  LoadFirmwareForm form_;
  UserDialogs& dialogs_;

  QLineEdit* firmware_edit_ = nullptr;
  QCheckBox* use_external_box_ = nullptr;
  QLabel* config_label_ = nullptr;
  QLineEdit* config_edit_ = nullptr;
  QLabel* password_label_ = nullptr;
  QLineEdit* password_edit_ = nullptr;
  BitmapPushButton* firmware_browse_ = nullptr;
  BitmapPushButton* config_browse_ = nullptr;
  BitmapPushButton* ok_button_ = nullptr;
  BitmapPushButton* cancel_button_ = nullptr;
};

}  // namespace qtk
