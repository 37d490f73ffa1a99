#pragma once

#include <string>

#include "common/user_dialogs.h"
#include "firmware/firmware_project.h"
#include "firmware/password_words.h"

namespace qtk {

namespace password_messages {
inline constexpr const char* kOldWrong = "The old password is wrong!";
inline constexpr const char* kNoMatch = "The 2 passwords are not match!";
}  // namespace password_messages

// Replaces the firmware password after the old one is proven: the record's password words
// are rewritten at once (keyed with the main code CRC in the chunk table), the refresh flag
// is set so that every later save encodes them again, and the current password becomes the
// new text. A wrong old password is reported before the new texts are compared. Returns
// false, changing nothing, when a check fails; the reason has been shown.
bool ChangePassword(FirmwareProject& project, LoadSession& session, const std::string& old_text,
                    const std::string& new_text, const std::string& confirmation,
                    UserDialogs& dialogs);

}  // namespace qtk
