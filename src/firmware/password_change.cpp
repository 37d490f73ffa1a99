#include "firmware/password_change.h"

#include "firmware/password_words.h"

namespace qtk {

bool ChangePassword(FirmwareProject& project, LoadSession& session, const std::string& old_text,
                    const std::string& new_text, const std::string& confirmation,
                    UserDialogs& dialogs) {
  if (!VerifyPassword(project, old_text)) {
    dialogs.ShowMessage(password_messages::kOldWrong);
    return false;
  }
  if (new_text != confirmation) {
    dialogs.ShowMessage(password_messages::kNoMatch);
    return false;
  }
  project.password_refresh = true;
  EncodePassword(project, new_text);
  session.current_password = new_text;
  return true;
}

}  // namespace qtk
