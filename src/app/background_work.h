#pragma once

#include "app/model/long_work.h"

namespace qtk {

// The work runs on a thread of its own while the window thread goes on drawing the windows
// under the busy cursor; when it takes longer than a moment, a small progress window with the
// caption appears. The user's input waits until the work has ended (the project must not
// change under it), as it did while the work ran on the window thread. Every message box and
// file dialog of the work is shown by the window thread, which the work waits for.
class BackgroundWork : public LongWork {
 public:
  explicit BackgroundWork(UserDialogs& dialogs) : dialogs_(dialogs) {}
  bool Run(const std::string& caption,
           const std::function<bool(UserDialogs& dialogs)>& work) override;

  // How long the work runs before the progress window appears.
  static constexpr int kWindowDelayMs = 400;

 private:
  UserDialogs& dialogs_;
};

}  // namespace qtk
