#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

// Processes events until the condition holds or the time is up.
template <class Condition> bool WaitFor(Condition condition, int milliseconds = 10000) {
  QDeadlineTimer deadline(milliseconds);
  while (!condition()) {
    if (deadline.hasExpired())
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}
