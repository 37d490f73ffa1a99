#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/user_dialogs.h"

namespace qtk {

// A UserDialogs that remembers every message and answers from a script. Used by the tests
// and by the batch front end (which prints what was recorded).
class RecordingDialogs : public UserDialogs {
 public:
  struct Message {
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
    std::string title;    // empty: the program's own title
    std::string details;  // the text behind the "Details" button; empty: no such button
  };

  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    messages.push_back({text, icon, buttons, std::exchange(pending_title_, {}), {}});
    if (!answers.empty()) {
      MessageAnswer a = answers.front();
      answers.pop_front();
      return a;
    }
    switch (buttons) {
      case MessageButtons::Ok:
        return MessageAnswer::Ok;
      case MessageButtons::OkCancel:
        return MessageAnswer::Ok;
      case MessageButtons::YesNo:
        return MessageAnswer::Yes;
    }
    return MessageAnswer::Ok;
  }

  MessageAnswer ShowTitledMessage(const std::string& title, const std::string& text,
                                  MessageIcon icon, MessageButtons buttons) override {
    pending_title_ = title;
    return ShowMessage(text, icon, buttons);
  }

  void ShowDetailedMessage(const std::string& text, const std::string& details,
                           MessageIcon icon) override {
    ShowMessage(text, icon, MessageButtons::Ok);
    messages.back().details = details;
  }

  std::optional<std::string> AskOpenFile(const FileDialogRequest& request) override {
    file_requests.push_back(request);
    return NextPath();
  }
  std::optional<std::string> AskSaveFile(const FileDialogRequest& request) override {
    file_requests.push_back(request);
    return NextPath();
  }

  // Texts of all messages shown so far, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages)
      out.push_back(m.text);
    return out;
  }
  std::string LastText() const { return messages.empty() ? std::string() : messages.back().text; }

  std::vector<Message> messages;
  std::vector<FileDialogRequest> file_requests;
  std::deque<MessageAnswer> answers;                    // scripted answers to questions
  std::deque<std::optional<std::string>> chosen_paths;  // scripted file dialog results

 private:
  std::optional<std::string> NextPath() {
    if (chosen_paths.empty())
      return std::nullopt;
    auto p = chosen_paths.front();
    chosen_paths.pop_front();
    return p;
  }

  std::string pending_title_;
};

}  // namespace qtk
