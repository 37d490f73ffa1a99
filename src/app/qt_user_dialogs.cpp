#include "app/qt_user_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/file_filter.h"
#include "app/last_folder.h"
#include "app/path_text.h"

namespace qtk {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

MessageAnswer ToAnswer(int result, MessageButtons buttons) {
  switch (result) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      break;
  }
  // Closed without a button: the answer that changes nothing.
  switch (buttons) {
    case MessageButtons::OkCancel:
      return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    case MessageButtons::Ok:
      break;
  }
  return MessageAnswer::Ok;
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                         bool save) {
  QFileDialog dialog(parent, QtUserDialogs::kCaption, LastFolder::StartPath(request.initial_path),
                     QString::fromStdString(ConvertFileFilter(request.filter)));
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ask_before_overwrite);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, request.read_only_ticked);
  }
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty())
    return std::nullopt;
  LastFolder::Remember(files.front());
  return PathTextFromQtPath(files.front());
}

}  // namespace

QString MessageBoxText(const std::string& text) {
  QString out = QString::fromStdString(text);
  out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return out;
}

MessageAnswer QtUserDialogs::ShowMessage(const std::string& text, MessageIcon icon,
                                         MessageButtons buttons) {
  QMessageBox box(ToQtIcon(icon), kCaption, MessageBoxText(text), ToQtButtons(buttons),
                  parent_.data());
  return ToAnswer(box.exec(), buttons);
}

MessageAnswer QtUserDialogs::ShowTitledMessage(const std::string& title, const std::string& text,
                                               MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(ToQtIcon(icon), QString::fromStdString(title), MessageBoxText(text),
                  ToQtButtons(buttons), parent_.data());
  return ToAnswer(box.exec(), buttons);
}

void QtUserDialogs::ShowDetailedMessage(const std::string& text, const std::string& details,
                                        MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon), kCaption, MessageBoxText(text), QMessageBox::Ok, parent_.data());
  QPushButton* button = box.addButton(QStringLiteral("Details"), QMessageBox::ActionRole);
  // Every button of a message box closes it; this one opens the details over it instead.
  QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
  QObject::connect(button, &QAbstractButton::clicked, &box, [&box, &details] {
    QDialog window(&box);
    window.setWindowTitle(QStringLiteral("Details"));
    auto* list = new QPlainTextEdit(MessageBoxText(details), &window);
    list->setObjectName(QStringLiteral("details"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    QObject::connect(close, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(list);
    layout->addWidget(close);
    window.resize(640, 320);
    window.exec();
  });
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
}

std::optional<std::string> QtUserDialogs::AskOpenFile(const FileDialogRequest& request) {
  return RunFileDialog(parent_.data(), request, false);
}

std::optional<std::string> QtUserDialogs::AskSaveFile(const FileDialogRequest& request) {
  return RunFileDialog(parent_.data(), request, true);
}

}  // namespace qtk
