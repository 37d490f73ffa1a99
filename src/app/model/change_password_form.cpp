#include "app/model/change_password_form.h"

#include "app/load_firmware_form.h"
#include "firmware/password_change.h"

namespace qtk {

void ChangePasswordForm::Clear() {
  old_password.clear();
  new_password.clear();
  confirmation.clear();
}

bool ChangePasswordForm::Submit(FirmwareProject& project, LoadSession& session,
                                UserDialogs& dialogs) {
  old_password = ClipCharacters(old_password, kTextLimit);
  new_password = ClipCharacters(new_password, kTextLimit);
  confirmation = ClipCharacters(confirmation, kTextLimit);
  if (ChangePassword(project, session, old_password, new_password, confirmation, dialogs))
    return true;
  Clear();
  return false;
}

}  // namespace qtk
