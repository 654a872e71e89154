#include "app/frm_Root.h"
#include "app/panel.h"
#include "app_test_support.h"
#include "lang/font_charset.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(FrmRoot, StartsWithTheBaseFormsProperties) {
  TfrmRoot form;
  EXPECT_EQ(form.objectName(), QStringLiteral("frmRoot"));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("frmRoot"));
  EXPECT_EQ(form.font().family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(form.font().pointSize(), 9);
  EXPECT_EQ(FontCharsetOf(&form), FontCharset::Ansi);
  EXPECT_EQ(form.size(), QSize(255, 128));
}

TEST(FrmRoot, PanelsWithAColourOfTheirOwnPaintIt) {
  TfrmRoot form;
  form.resize(200, 120);
  auto* group = new QGroupBox(&form);
  group->setGeometry(0, 0, 200, 120);
  auto* Panel1 = new TPanel(group);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(20, 30, 32, 16);
  Panel1->SetColor(QColor(0xE0, 0xF0, 0xFF));
  auto* Panel2 = new TPanel(group);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setGeometry(80, 30, 32, 16);
  EXPECT_FALSE(Panel1->autoFillBackground());

  form.FormCreate(&form);
  EXPECT_TRUE(Panel1->autoFillBackground());
  EXPECT_FALSE(Panel2->autoFillBackground());
  EXPECT_TRUE(Panel2->IsButtonFace());
  const QImage image = form.grab().toImage();
  EXPECT_EQ(image.pixelColor(Panel1->mapTo(&form, QPoint(16, 8)) * image.devicePixelRatio()),
            QColor(0xE0, 0xF0, 0xFF));
}

TEST(FrmRoot, EnterPressesTheDefaultButtonAndEscOnlyTheCancelButton) {
  TfrmRoot form;
  auto* edit = new QLineEdit(&form);
  auto* btnOk = new QPushButton(QStringLiteral("OK"), &form);
  btnOk->move(0, 40);
  btnOk->setDefault(true);
  QSignalSpy okClicks(btnOk, &QPushButton::clicked);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  edit->setFocus();

  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(okClicks.count(), 1);

  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_TRUE(form.isVisible()) << "no cancel button: Esc does nothing";

  form.SetCancelButton(btnOk);
  QObject::connect(btnOk, &QPushButton::clicked, &form, &QDialog::accept);
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(okClicks.count(), 2);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(FrmRoot, AWindowWithoutParentIsCentredOnTheScreen) {
  TfrmRoot form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QPoint screenCentre = form.screen()->availableGeometry().center();
  const QPoint formCentre = form.frameGeometry().center();
  EXPECT_LE((screenCentre - formCentre).manhattanLength(), 4);
}

} // namespace
