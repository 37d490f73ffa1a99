#include "app/widgets/password_edit.h"

#include "app/load_firmware_form.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk {
namespace {

QString SingleByteCharacters() {
  QString all;
  for (int code = 1; code <= 0xFF; ++code)
    all += QChar(code);
  return all;
}

}  // namespace

FilteredLineEdit* MakePasswordEdit(QWidget* parent) {
  auto* edit = new FilteredLineEdit(parent);
  edit->setEchoMode(QLineEdit::Password);
  edit->setMaxLength(static_cast<int>(LoadFirmwareForm::kPasswordLimit));
  static const QString kAllowed = SingleByteCharacters();
  edit->SetAllowedCharacters(kAllowed);
  return edit;
}

std::string PasswordBytes(const QLineEdit* edit) {
  // The edit takes no character above U+00FF, so every character is one byte.
  return edit->text().toLatin1().toStdString();
}

QString PasswordText(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace qtk
