#pragma once

#include <QGuiApplication>

namespace qtk {

// The busy cursor over every window of the program while a long piece of work runs; the
// cursor before it comes back however the work ends.
class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace qtk
