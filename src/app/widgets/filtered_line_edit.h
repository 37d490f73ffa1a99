#pragma once

#include <QLineEdit>
#include <QString>

class QMimeData;

namespace qtk {

// A line edit that accepts only characters from a set. A typed character outside the set is
// refused with a beep; a paste whose text holds any character outside the set pastes
// nothing, silently. Editing keys, shortcuts and backspace work as usual. An empty set
// accepts everything.
class FilteredLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit FilteredLineEdit(QWidget* parent = nullptr);

  void SetAllowedCharacters(const QString& allowed) { allowed_ = allowed; }
  const QString& AllowedCharacters() const { return allowed_; }

  // Pastes the clipboard text when the set allows all of it; returns whether it did.
  bool PasteFiltered();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  bool DropAllowed(const QMimeData* mime) const;

  QString allowed_;
};

}  // namespace qtk
