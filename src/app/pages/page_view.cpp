#include "app/pages/page_view.h"

#include <QKeyEvent>

namespace qtk {

void PageView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace qtk
