#pragma once

// A modal dialog's exec() blocks the test that clicked the button which opened it; this runs
// the user's work on the dialog from inside its own event loop, as soon as it is shown.
#include <QApplication>
#include <QTimer>
#include <functional>

namespace qtk::user {

template <class Dialog>
void WhenDialogOpens(std::function<void(Dialog*)> act) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act)] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible())
      return;
    timer->stop();
    timer->deleteLater();
    act(dialog);
    // A check that failed inside `act` must not leave the test waiting on an open dialog.
    if (dialog->isVisible())
      dialog->reject();
  });
  timer->start(5);
}

}  // namespace qtk::user
