#include "app/guarded_application.h"

#include "common/fault_guard.h"

namespace qtk {

GuardedApplication::GuardedApplication(int& argc, char** argv, FaultHandler on_fault)
    : QApplication(argc, argv), on_fault_(std::move(on_fault)) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    on_fault_(DescribeFault(std::current_exception()));
    return false;
  }
}

}  // namespace qtk
