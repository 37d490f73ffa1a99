#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>

class QMimeData;
class QWidget;

namespace qtk {

// Lets the user drop a firmware file on a window. A drag of exactly one existing local file
// is accepted; after the drop `open` runs with its path once the event loop is back, so the
// drag source is released before a dialog opens.
class FirmwareDropTarget : public QObject {
 public:
  FirmwareDropTarget(QWidget* window, std::function<void(const std::string&)> open);

  // The path of the one local file the drag carries, or nothing.
  static std::optional<std::string> DroppedFile(const QMimeData* data);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  std::function<void(const std::string&)> open_;
};

}  // namespace qtk
