#pragma once

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace qtk::testing {

// Drags `urls` onto the middle of `target` as a file manager would (the URLs also as text)
// and drops them there when the drag is accepted. Returns whether the drag was accepted.
inline bool DragAndDrop(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QStringList text;
  for (const QUrl& url : urls)
    text << url.toString();
  data.setText(text.join(QLatin1Char('\n')));
  const QPoint middle = target->rect().center();
  QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted())
    return false;
  QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

inline QUrl FileUrl(const std::string& path) {
  return QUrl::fromLocalFile(QString::fromStdString(path));
}

}  // namespace qtk::testing
