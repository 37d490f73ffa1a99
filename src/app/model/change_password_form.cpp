#include "app/model/change_password_form.h"

#include "firmware/password_change.h"

namespace qtk {

void ChangePasswordForm::Clear() {
  old_password.clear();
  new_password.clear();
  confirmation.clear();
}

bool ChangePasswordForm::Submit(FirmwareProject& project, LoadSession& session,
                                UserDialogs& dialogs) {
  old_password = old_password.substr(0, kTextLimit);
  new_password = new_password.substr(0, kTextLimit);
  confirmation = confirmation.substr(0, kTextLimit);
  if (ChangePassword(project, session, old_password, new_password, confirmation, dialogs))
    return true;
  Clear();
  return false;
}

}  // namespace qtk
