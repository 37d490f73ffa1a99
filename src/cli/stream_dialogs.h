#pragma once

#include <ostream>
#include <string>

#include "common/user_dialogs.h"

namespace qtk::cli {

// The batch front end's dialogs: every message the desktop program would show in a message
// box is written to the error stream, exactly as worded, one per line; questions get their
// default answer and file dialogs are never asked (the command line names every file).
class StreamDialogs : public UserDialogs {
 public:
  explicit StreamDialogs(std::ostream& err) : err_(err) {}

  MessageAnswer ShowMessage(const std::string& text, MessageIcon = MessageIcon::None,
                            MessageButtons buttons = MessageButtons::Ok) override {
    err_ << text;
    if (text.empty() || text.back() != '\n')
      err_ << '\n';
    ++count_;
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
  }
  std::optional<std::string> AskOpenFile(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> AskSaveFile(const FileDialogRequest&) override { return {}; }

  int count() const { return count_; }

 private:
  std::ostream& err_;
  int count_ = 0;
};

}  // namespace qtk::cli
