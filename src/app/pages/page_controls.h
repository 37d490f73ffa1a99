#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <string>

#include "pages/combo_state.h"

namespace qtk {

// Shared bindings between page model values and Qt controls, so each page view stays a list
// of one-line bindings.

// Refills the combo from the model when the entries differ, then sets selection and enabling.
inline void PutCombo(QComboBox* combo, const ComboState& state) {
  QStringList items;
  for (const std::string& item : state.items)
    items << QString::fromStdString(item);
  QStringList current;
  for (int i = 0; i < combo->count(); ++i)
    current << combo->itemText(i);
  if (current != items) {
    combo->clear();
    combo->addItems(items);
  }
  combo->setCurrentIndex(state.selection);
  combo->setEnabled(state.enabled);
}

// A decimal number as typed: empty or malformed text gives 0; digits beyond what fits are
// clamped rather than wrapped.
inline long long NumberOf(const QLineEdit* edit) {
  bool ok = false;
  const long long value = edit->text().toLongLong(&ok);
  if (ok)
    return value;
  const QString text = edit->text();
  return !text.isEmpty() && text.size() > 18 ? 999999999999999999LL : 0;
}

inline void PutNumber(QLineEdit* edit, long long value) {
  const QString text = QString::number(value);
  if (edit->text() != text)
    edit->setText(text);
}

inline void PutText(QLineEdit* edit, const std::string& value) {
  const QString text = QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size()));
  if (edit->text() != text)
    edit->setText(text);
}

inline std::string TextOf(const QLineEdit* edit) {
  return edit->text().toLatin1().toStdString();
}

inline const QString kDecimalDigits = QStringLiteral("0123456789");

}  // namespace qtk
