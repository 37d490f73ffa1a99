#pragma once

#include <string>

namespace qtk {

// What the firmware load loop needs from the Load Firmware dialog. The desktop program
// wraps its Qt dialog; the model tests script one.
class LoadDialogPort {
 public:
  virtual ~LoadDialogPort() = default;

  // The status of the last load attempt; after a failure it decides where the focus goes.
  virtual void SetLoadStatus(int status) = 0;
  // Set before showing the dialog again after a failed load.
  virtual void SetRetryMark(bool on) = 0;
  // Shows the dialog modally; true for OK, false for Cancel.
  virtual bool ShowModal() = 0;
  // The firmware path and the description path to load; true when both are non-empty.
  virtual bool GetLoadPaths(std::string& firmware_path, std::string& config_path) const = 0;
  // The password typed before the last OK.
  virtual std::string EnteredPassword() const = 0;
};

}  // namespace qtk
