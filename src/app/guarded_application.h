#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace qtk {

// The desktop program's application object. Qt cannot carry an exception through its event
// loop, so every event is delivered inside a handler: an exception that a slot or an event
// handler lets escape is caught here, after the stack up to this point is unwound (so
// pending output files are removed), and its description goes to `on_fault`. The program's
// `on_fault` shows the description and ends the program with exit status 1.
class GuardedApplication : public QApplication {
 public:
  using FaultHandler = std::function<void(const std::string& description)>;

  GuardedApplication(int& argc, char** argv, FaultHandler on_fault);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  FaultHandler on_fault_;
};

}  // namespace qtk
