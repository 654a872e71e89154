#pragma once

#include "wait_for.h"

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QString>
#include <QTimer>
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

// Suites that compile application_test_support.cpp run under TApplication,
// whose error box records instead of blocking. Every box shown since the
// list was last cleared.
struct TShownBox {
  QString Caption;
  QString Text;
};
QList<TShownBox>& ShownBoxes();

// Runs the step once the modal loop is showing a dialog; a dialog the step
// leaves open is closed past its checks so the test cannot hang.
template <class Step> void WhenModal(Step step) {
  QTimer::singleShot(0, [step] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    EXPECT_NE(dialog, nullptr);
    if (!dialog)
      return;
    step(dialog);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "still open";
      dialog->QDialog::done(QDialog::Rejected);
    }
  });
}

// Qt's GUI library is built without unwinding clean-up, so an exception that
// crosses its event handling on the way to the error box never frees what
// the event held (a mouse event's point data, a guard's reference count).
// That memory is Qt's; keep it out of the leak report.
template <class Action> void ThroughQtEventHandling(Action action) {
#if defined(__SANITIZE_ADDRESS__)
  __lsan::ScopedDisabler ignoreQtsLeak;
#endif
  action();
}
