#pragma once

#include <QString>
#include <string>

class QLineEdit;
class QWidget;

namespace qtk {

class FilteredLineEdit;

// An edit for the firmware password: characters hidden, at most 8 of them, and only characters
// with a one-byte (Latin-1) encoding. The record keeps the password as 8 single bytes, so a
// character that needs more could be stored only cut, and the password never typed again.
FilteredLineEdit* MakePasswordEdit(QWidget* parent = nullptr);

// The password as the record's bytes, one byte per character, and back.
std::string PasswordBytes(const QLineEdit* edit);
QString PasswordText(const std::string& bytes);

}  // namespace qtk
