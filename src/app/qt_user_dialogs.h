#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "common/user_dialogs.h"

namespace qtk {

// The desktop program's message boxes and file dialogs.
class QtUserDialogs : public UserDialogs {
 public:
  inline static const QString kCaption = QStringLiteral("qtktool");

  explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}

  // The window the dialogs are modal to; changes once the main window exists.
  void SetParentWidget(QWidget* parent) { parent_ = parent; }

  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;
  MessageAnswer ShowTitledMessage(const std::string& title, const std::string& text,
                                  MessageIcon icon, MessageButtons buttons) override;
  // The message with OK and "Details": "Details" opens a window titled "Details" with the
  // longer text, read only, over the message, which stays open until OK.
  void ShowDetailedMessage(const std::string& text, const std::string& details,
                           MessageIcon icon) override;
  std::optional<std::string> AskOpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> AskSaveFile(const FileDialogRequest& request) override;

 private:
  QPointer<QWidget> parent_;
};

// Message texts break lines with "\r\n"; Qt wants a plain "\n".
QString MessageBoxText(const std::string& text);

}  // namespace qtk
