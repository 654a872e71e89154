#include "options_test_support.h"
#include "ui/dialogs/frm_About.h"

#include <QPointer>
#include <QTimer>

namespace {

TEST_F(TOptionsTest, ShowOptionsDialogRunsAFreshModalDialogAndDestroysIt) {
  QWidget frmMain;
  frmMain.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frmMain));
  QList<QPointer<QDialog>> opened;
  for (const bool autoPaste : {false, true}) {
    Params.AutoPaste = autoPaste;
    WhenModal([&](QDialog* dialog) {
      opened.append(dialog);
      EXPECT_TRUE(dialog->isModal());
      EXPECT_EQ(dialog->parentWidget(), &frmMain);
      EXPECT_EQ(Child<QCheckBox>(dialog, "chkAutoPaste")->isChecked(), autoPaste)
          << "filled from the settings at each opening";
      QTest::mouseClick(Child<QPushButton>(dialog, "btnOk"), Qt::LeftButton);
    });
    ShowOptionsDialog(&frmMain);
    EXPECT_EQ(Stored(QStringLiteral("General"), QStringLiteral("AutoPaste")),
              autoPaste ? QStringLiteral("1") : QStringLiteral("0"));
  }
  ASSERT_EQ(opened.size(), 2);
  EXPECT_TRUE(opened[0].isNull());
  EXPECT_TRUE(opened[1].isNull());
  EXPECT_TRUE(frmMain.findChildren<QDialog*>().isEmpty());
}

TEST_F(TOptionsTest, ShowOptionsDialogWaitsForAnAcceptableClose) {
  SetManualProxy(QString(), QStringLiteral("8080"));
  int attempts = 0;
  WhenModal([&](QDialog* dialog) {
    dialog->close();
    ++attempts;
    EXPECT_TRUE(dialog->isVisible()) << "no address yet";
    Child<QLineEdit>(dialog, "edtAddress")->setFocus();
    QTest::keyClicks(Child<QLineEdit>(dialog, "edtAddress"), QStringLiteral("127.0.0.1"));
    dialog->close();
    ++attempts;
  });
  ShowOptionsDialog(nullptr);
  EXPECT_EQ(attempts, 2);
  EXPECT_EQ(Stored(QStringLiteral("Connection"), QStringLiteral("Address")),
            QStringLiteral("127.0.0.1"));
}

TEST_F(TDialogTest, ShowAboutBoxShowsTheBoxModallyAndDestroysItAfterwards) {
  QWidget frmMain;
  QPointer<QDialog> shown;
  bool opened = false;
  WhenModal([&](QDialog* dialog) {
    shown = dialog;
    opened = true;
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frmAbout"));
    EXPECT_EQ(dialog->parentWidget(), &frmMain);
    EXPECT_TRUE(dialog->isModal());
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  ShowAboutBox(&frmMain);
  ASSERT_TRUE(opened);
  EXPECT_TRUE(shown.isNull()) << "destroyed after it closed";
}

} // namespace
