#include "app/pages/page_controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QTreeWidget>

#include "app/widgets/filtered_line_edit.h"

namespace qtk {

void PutCombo(QComboBox* combo, const ComboState& state) {
  PutQuietly(combo, [&state](QComboBox* c) {
    QStringList items;
    for (const std::string& item : state.items)
      items << QString::fromStdString(item);
    QStringList current;
    for (int i = 0; i < c->count(); ++i)
      current << c->itemText(i);
    if (current != items) {
      c->clear();
      c->addItems(items);
    }
    c->setCurrentIndex(state.selection);
    c->setEnabled(state.enabled);
  });
}

void PutNumber(QLineEdit* edit, long long value) {
  const QString text = QString::number(value);
  // An unchanged text is left alone, so the caret stays where the user is typing.
  if (edit->text() != text)
    PutQuietly(edit, [&text](QLineEdit* e) { e->setText(text); });
}

QString Latin1Text(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void PutText(QLineEdit* edit, const std::string& value) {
  const QString text = Latin1Text(value);
  if (edit->text() != text)
    PutQuietly(edit, [&text](QLineEdit* e) { e->setText(text); });
}

void PutSlider(QSlider* slider, int min, int max, int value) {
  // setRange moves the slider into the new range before setValue runs; with the signals
  // blocked neither step reaches the model.
  PutQuietly(slider, [&](QSlider* s) {
    s->setRange(min, max);
    s->setValue(value);
  });
}

void PutRows(QTreeWidget* list, const std::vector<QStringList>& rows) {
  PutQuietly(list, [&rows](QTreeWidget* l) {
    if (l->topLevelItemCount() != static_cast<int>(rows.size())) {
      l->clear();
      for (const QStringList& cells : rows)
        l->addTopLevelItem(new QTreeWidgetItem(cells));
      return;
    }
    for (int row = 0; row < l->topLevelItemCount(); ++row) {
      QTreeWidgetItem* item = l->topLevelItem(row);
      const QStringList& cells = rows[static_cast<size_t>(row)];
      for (int column = 0; column < cells.size(); ++column) {
        if (item->text(column) != cells[column])
          item->setText(column, cells[column]);
      }
    }
  });
}

void PutVisible(std::initializer_list<QWidget*> widgets, bool visible) {
  for (QWidget* w : widgets)
    w->setVisible(visible);
}

long long NumberOf(const QLineEdit* edit) {
  bool ok = false;
  const long long value = edit->text().toLongLong(&ok);
  if (ok)
    return value;
  const QString text = edit->text();
  return !text.isEmpty() && text.size() > 18 ? 999999999999999999LL : 0;
}

std::string TextOf(const QLineEdit* edit) {
  return edit->text().toLatin1().toStdString();
}

FilteredLineEdit* MakeEdit(const QString& allowed, int max_length) {
  auto* edit = new FilteredLineEdit;
  edit->SetAllowedCharacters(allowed);
  if (max_length > 0)
    edit->setMaxLength(max_length);
  return edit;
}

QWidget* WithText(QWidget* edit, const QString& text, bool before) {
  auto* box = new QWidget;
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  if (before)
    layout->addWidget(new QLabel(text));
  layout->addWidget(edit);
  if (!before)
    layout->addWidget(new QLabel(text));
  return box;
}

void ComboBindings::Bind(QComboBox* combo, ComboState* state, std::function<void(int)> chosen) {
  bound_.emplace_back(combo, state);
  if (chosen) {
    QObject::connect(combo, &QComboBox::activated, context_, std::move(chosen));
  } else {
    QObject::connect(combo, &QComboBox::activated, context_,
                     [state](int index) { state->Select(index); });
  }
}

void ComboBindings::PutAll() const {
  for (const auto& [combo, state] : bound_)
    PutCombo(combo, *state);
}

}  // namespace qtk
