#pragma once

#include <QKeySequence>

class QAbstractButton;
class QWidget;

namespace qtk {

// Gives a command button a keyboard shortcut anywhere in `window`. The keys press the button
// only while the user could press it, so a hidden or disabled button ignores them. The
// button's tooltip names the keys.
void AddButtonShortcut(QAbstractButton* button, const QKeySequence& keys, QWidget* window);

}  // namespace qtk
