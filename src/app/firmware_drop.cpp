#include "app/firmware_drop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "app/path_text.h"

namespace qtk {

FirmwareDropTarget::FirmwareDropTarget(QWidget* window,
                                       std::function<void(const std::string&)> open)
    : QObject(window), window_(window), open_(std::move(open)) {
  window_->setAcceptDrops(true);
  window_->installEventFilter(this);
}

std::optional<std::string> FirmwareDropTarget::DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls())
    return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile())
    return std::nullopt;
  const QFileInfo file(urls.front().toLocalFile());
  if (!file.isFile())
    return std::nullopt;
  return PathTextFromQtPath(file.absoluteFilePath());
}

bool FirmwareDropTarget::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_)
    return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (DroppedFile(drag->mimeData()))
        drag->acceptProposedAction();
      else
        drag->ignore();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const std::optional<std::string> path = DroppedFile(drop->mimeData());
      if (!path) {
        drop->ignore();
        return true;
      }
      drop->acceptProposedAction();
      QTimer::singleShot(0, this, [this, file = *path] { open_(file); });
      return true;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace qtk
