#pragma once

#include "wait_for.h"

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QString>
#include <QTimer>
#include <gtest/gtest.h>

// Suites that compile application_test_support.cpp run under TApplication,
// whose error box records instead of blocking. Every box shown since the
// list was last cleared. A box for an error that crossed Qt's event delivery
// (one that reached TApplication::notify) fails the test that showed it.
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
