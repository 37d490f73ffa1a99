#pragma once

#include <optional>
#include <string>

namespace qtk {

// The icon a message box carries.
enum class MessageIcon { None, Information, Warning, Error, Question };

// The buttons a message box offers, and the button the user pressed.
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// One file dialog request. The filter uses the "Text(*.ext)|*.ext|...||" form that the
// firmware commands are written with; the Qt side converts it.
struct FileDialogRequest {
  std::string filter;
  std::string initial_path;
  bool ask_before_overwrite = true;  // save dialogs
  bool must_exist = true;            // open dialogs
  bool read_only_ticked = false;     // open dialogs: the read-only box starts ticked
};

// Every message box, question and file dialog of the toolkit goes through this interface,
// so the core logic never touches a windowing toolkit. The desktop program shows real
// dialogs; tests record the texts and script the answers; the batch front end prints the
// messages on standard error.
class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon = MessageIcon::None,
                                    MessageButtons buttons = MessageButtons::Ok) = 0;

  // A message box whose title is given instead of the program's name. Dialogs without
  // titles show the text alone.
  virtual MessageAnswer ShowTitledMessage(const std::string& title, const std::string& text,
                                          MessageIcon icon = MessageIcon::None,
                                          MessageButtons buttons = MessageButtons::Ok) {
    (void)title;
    return ShowMessage(text, icon, buttons);
  }

  // A message with an OK button and a "Details" button that shows the longer text. Dialogs
  // without such a button show the message alone.
  virtual void ShowDetailedMessage(const std::string& text, const std::string& details,
                                   MessageIcon icon = MessageIcon::None) {
    (void)details;
    ShowMessage(text, icon);
  }

  // Returns the chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> AskOpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> AskSaveFile(const FileDialogRequest& request) = 0;
};

}  // namespace qtk
