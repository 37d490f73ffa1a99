#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "pages/combo_state.h"

class QSlider;
class QTreeWidget;

namespace qtk {

class FilteredLineEdit;

// The shared pieces of the page views: putting model values into widgets (always with the
// widget's signals blocked, see PageView), binding combos to their ComboState once, and
// making the edits that the pages use.

// Runs `change` on the widget with its signals blocked: the one way every Put below (and any
// page-specific put) changes a control, so that putting a value never feeds back into the
// model.
template <class Widget, class Change>
void PutQuietly(Widget* widget, Change&& change) {
  const QSignalBlocker block(widget);
  std::forward<Change>(change)(widget);
}

// Refills the combo when its entries differ from the model's, then sets selection and enabling.
void PutCombo(QComboBox* combo, const ComboState& state);
void PutNumber(QLineEdit* edit, long long value);
// A text of the record: one byte per character (Latin-1).
void PutText(QLineEdit* edit, const std::string& value);
void PutSlider(QSlider* slider, int min, int max, int value);
// Rows of a list control, cell by cell; the list is rebuilt when its row count differs.
void PutRows(QTreeWidget* list, const std::vector<QStringList>& rows);
void PutVisible(std::initializer_list<QWidget*> widgets, bool visible);

// A decimal number as typed: empty or malformed text gives 0; digits beyond what fits are
// clamped rather than wrapped.
long long NumberOf(const QLineEdit* edit);
// The edit's text as the record keeps it: one byte per character (the edits take no character
// above U+00FF).
std::string TextOf(const QLineEdit* edit);
QString Latin1Text(const std::string& bytes);

inline const QString kDecimalDigits = QStringLiteral("0123456789");

// An edit that takes only `allowed` characters, at most `max_length` of them (0: no limit).
FilteredLineEdit* MakeEdit(const QString& allowed, int max_length);
// An edit with its unit ("KHz") after it, or its prefix before it.
QWidget* WithText(QWidget* edit, const QString& text, bool before = false);

// The combos of a page, each bound once to the ComboState it shows. The user's choice
// (activated) goes into the state, or to the page's own handler; PutAll puts every state back
// into its combo.
class ComboBindings {
 public:
  explicit ComboBindings(QObject* context) : context_(context) {}

  // `chosen` replaces the plain selection when the choice does more (refills other controls);
  // the view then puts its controls again.
  void Bind(QComboBox* combo, ComboState* state, std::function<void(int)> chosen = {});
  void PutAll() const;

 private:
  QObject* context_;
  std::vector<std::pair<QComboBox*, const ComboState*>> bound_;
};

}  // namespace qtk
