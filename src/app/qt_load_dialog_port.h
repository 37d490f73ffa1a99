#pragma once

#include <memory>
#include <string>

#include "app/load_firmware_dialog.h"
#include "app/model/load_dialog_port.h"

namespace qtk {

// The Load Firmware dialog as the load loop sees it. The remembered values outlive the
// dialog, so each opening is prefilled with what the user typed last.
class QtLoadDialogPort : public LoadDialogPort {
 public:
  QtLoadDialogPort(LoadFirmwareMemory& memory, std::string default_config_path,
                   UserDialogs& dialogs, QWidget* parent = nullptr)
      : memory_(memory),
        dialog_(std::make_unique<LoadFirmwareDialog>(memory, std::move(default_config_path),
                                                     dialogs, parent)) {}

  void SetLoadStatus(int status) override { dialog_->SetLoadStatus(status); }
  void SetRetryMark(bool on) override { dialog_->SetRetryMark(on); }
  bool ShowModal() override { return dialog_->exec() == QDialog::Accepted; }
  bool GetLoadPaths(std::string& firmware_path, std::string& config_path) const override {
    return dialog_->GetLoadPaths(firmware_path, config_path);
  }
  std::string EnteredPassword() const override { return memory_.entered_password; }

  LoadFirmwareDialog& dialog() { return *dialog_; }

 private:
  LoadFirmwareMemory& memory_;
  std::unique_ptr<LoadFirmwareDialog> dialog_;
};

}  // namespace qtk
