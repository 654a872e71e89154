#include "app/skin.h"
#include "options_test_support.h"
#include "ui/dialogs/frm_About.h"

#include <QGroupBox>
#include <QLabel>

namespace {

// Every caption fits its control and no two controls overlap, in each
// shipped language and under the shipped skin: a translation that is too
// long for the fixed layout shows here, not only in a screenshot.
class TDialogLayoutTest : public TOptionsTest, public ::testing::WithParamInterface<const char*> {
public:
  void SetUp() override {
    TOptionsTest::SetUp();
    SetProgramDirForTesting(DataDir());
    ASSERT_TRUE(SkinH_AttachEx(QStringLiteral("aero.she"), QString()));
    SetProgramDirForTesting(FProgramDir.path());
    Store(QStringLiteral("General"), QStringLiteral("DisplayLanguage"), QLatin1String(GetParam()));
    LangFilePath = QStringLiteral(".\\Languages\\") + QLatin1String(GetParam()) + ".lng";
  }
  void TearDown() override {
    TOptionsTest::TearDown();
    qApp->setStyleSheet(QString());
  }
};

QString Describe(const QWidget* w) {
  return w->objectName() + QStringLiteral(" \"") + w->property("text").toString() +
         QLatin1Char('"');
}

// Captions that a control cuts off, and controls that overlap a sibling.
QStringList LayoutFaults(const QWidget* container) {
  QStringList faults;
  QList<const QWidget*> placed;
  for (const QObject* child : container->children()) {
    const auto* w = qobject_cast<const QWidget*>(child);
    if (!w || w->isWindow() || w->isHidden())
      continue;
    // Qt's own parts of a control (a tab widget's page stack) are looked
    // through, not at.
    if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_"))) {
      faults += LayoutFaults(w);
      continue;
    }
    const bool caption = qobject_cast<const QLabel*>(w) || qobject_cast<const QCheckBox*>(w) ||
                         qobject_cast<const QRadioButton*>(w);
    // A check box's own height may be less than its size hint, which counts
    // room for a focus frame; its text must fit all the same.
    if (caption && !w->property("text").toString().isEmpty() &&
        (w->sizeHint().width() > w->width() || w->fontMetrics().height() > w->height()))
      faults.append(Describe(w) + QStringLiteral(" needs ") +
                    QString::number(w->sizeHint().width()) + QLatin1Char('x') +
                    QString::number(w->sizeHint().height()));
    for (const QWidget* other : placed)
      if (other->geometry().intersects(w->geometry()))
        faults.append(Describe(w) + QStringLiteral(" overlaps ") + Describe(other));
    placed.append(w);
    faults += LayoutFaults(w);
  }
  return faults;
}

TEST_P(TDialogLayoutTest, OptionsCaptionsFitAndNothingOverlaps) {
  Open();
  for (const int page : {0, 1}) {
    Find<QTabWidget>("PageControl1")->setCurrentIndex(page);
    const QStringList faults = LayoutFaults(FForm.get());
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
  }
}

TEST_P(TDialogLayoutTest, AboutTextsFitAndNothingOverlaps) {
  TfrmAbout form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QStringList faults = LayoutFaults(&form);
  EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, TDialogLayoutTest,
                         ::testing::Values("English", "Chinese-Simp", "Chinese-Trad"),
                         [](const auto& row) {
                           std::string name = row.param;
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

} // namespace
