#pragma once

#include <string>

#include "common/user_dialogs.h"
#include "firmware/firmware_project.h"
#include "firmware/password_words.h"

namespace qtk {

// The three texts of the change password dialog and its rules, without widgets.
class ChangePasswordForm {
 public:
  static constexpr std::size_t kTextLimit = kMaxPasswordLength;

  // The dialog empties all three texts when it opens and after every refused change.
  void Clear();

  // OK is offered only when a new password and its confirmation have been typed, so an
  // empty password can never be set.
  bool OkEnabled() const { return !new_password.empty() && !confirmation.empty(); }

  // OK: replaces the firmware password after the old one is proven. False after a refusal
  // (the reason has been shown), with all three texts emptied.
  bool Submit(FirmwareProject& project, LoadSession& session, UserDialogs& dialogs);

  // The texts as single bytes (Latin-1), one byte per character, as the record keeps them.
  std::string old_password;
  std::string new_password;
  std::string confirmation;
};

}  // namespace qtk
