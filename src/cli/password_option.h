#pragma once

#include <optional>
#include <string>

#include "common/user_dialogs.h"

namespace qtk::cli {

// A password given on the command line (UTF-8) as the firmware keeps it: at most 8 single
// bytes. A character without a one-byte (Latin-1) encoding, or a ninth character, is refused
// with a message naming the option, so that no password is ever set that could not be typed
// again in the desktop program.
std::optional<std::string> PasswordOption(const std::string& text, const std::string& option,
                                          UserDialogs& dialogs);

}  // namespace qtk::cli
