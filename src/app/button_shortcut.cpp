#include "app/button_shortcut.h"

#include <QAbstractButton>
#include <QShortcut>

namespace qtk {

void AddButtonShortcut(QAbstractButton* button, const QKeySequence& keys, QWidget* window) {
  auto* shortcut = new QShortcut(keys, window);
  shortcut->setContext(Qt::WindowShortcut);
  QObject::connect(shortcut, &QShortcut::activated, button, [button] {
    if (button->isVisible() && button->isEnabled())
      button->click();
  });
  button->setToolTip(keys.toString(QKeySequence::NativeText));
}

}  // namespace qtk
