#pragma once

#include <functional>
#include <string>

#include "common/user_dialogs.h"

namespace qtk {

// Runs a piece of work that may take long (the firmware save) so that the program stays alive
// meanwhile. The work talks to the user only through the dialogs it is handed, which reach the
// user from wherever it runs; nothing else of the program moves until it has ended.
class LongWork {
 public:
  virtual ~LongWork() = default;
  virtual bool Run(const std::string& caption,
                   const std::function<bool(UserDialogs& dialogs)>& work) = 0;
};

}  // namespace qtk
