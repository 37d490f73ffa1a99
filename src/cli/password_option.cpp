#include "cli/password_option.h"

#include "firmware/password_words.h"

namespace qtk::cli {

std::optional<std::string> PasswordOption(const std::string& text, const std::string& option,
                                          UserDialogs& dialogs) {
  std::optional<std::string> bytes = PasswordFromUtf8(text);
  if (!bytes) {
    dialogs.ShowMessage("qtkcli: " + option +
                        " takes at most 8 characters, each with a one-byte (Latin-1) encoding");
  }
  return bytes;
}

}  // namespace qtk::cli
