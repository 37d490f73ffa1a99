#include "app/widgets/filtered_line_edit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "app/widgets/allowed_characters.h"

namespace qtk {
namespace {

// A key press that would insert text, as opposed to editing keys and shortcuts.
bool InsertsText(const QKeyEvent* event) {
  const QString text = event->text();
  if (text.isEmpty())
    return false;
  if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
    return false;
  for (const QChar c : text) {
    if (!c.isPrint())
      return false;
  }
  return true;
}

}  // namespace

FilteredLineEdit::FilteredLineEdit(QWidget* parent) : QLineEdit(parent) {}

bool FilteredLineEdit::PasteFiltered() {
  if (isReadOnly())
    return false;
  const QString text = QGuiApplication::clipboard()->text();
  if (!TextIsAllowed(allowed_, text))
    return false;
  paste();
  return true;
}

void FilteredLineEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    PasteFiltered();
    event->accept();
    return;
  }
  if (InsertsText(event) && !TextIsAllowed(allowed_, event->text())) {
    QApplication::beep();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void FilteredLineEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  // Route the menu's paste through the same check as Ctrl+V.
  for (QAction* action : menu->actions()) {
    if (action->objectName() == QLatin1String("edit-paste")) {
      action->disconnect();
      connect(action, &QAction::triggered, this, [this] { PasteFiltered(); });
    }
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

bool FilteredLineEdit::DropAllowed(const QMimeData* mime) const {
  return mime != nullptr && mime->hasText() && TextIsAllowed(allowed_, mime->text());
}

void FilteredLineEdit::dragEnterEvent(QDragEnterEvent* event) {
  if (!DropAllowed(event->mimeData())) {
    event->ignore();
    return;
  }
  QLineEdit::dragEnterEvent(event);
}

void FilteredLineEdit::dragMoveEvent(QDragMoveEvent* event) {
  if (!DropAllowed(event->mimeData())) {
    event->ignore();
    return;
  }
  QLineEdit::dragMoveEvent(event);
}

void FilteredLineEdit::dropEvent(QDropEvent* event) {
  if (!DropAllowed(event->mimeData())) {
    event->ignore();
    return;
  }
  QLineEdit::dropEvent(event);
}

void FilteredLineEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!TextIsAllowed(allowed_, event->commitString())) {
    QApplication::beep();
    event->ignore();
    return;
  }
  QLineEdit::inputMethodEvent(event);
}

}  // namespace qtk
