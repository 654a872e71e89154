#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QString>

// Suites that compile application_test_support.cpp run under TApplication,
// whose error box records instead of blocking. Every box shown since the
// list was last cleared.
struct TShownBox {
  QString Caption;
  QString Text;
};
QList<TShownBox>& ShownBoxes();

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
