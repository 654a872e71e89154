#pragma once

#include "dialogs_test_support.h"
#include "ui/dialogs/frm_Options.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

// Opens the options dialog as the main window does, but shown rather than
// run modally, so a test can drive it step by step.
class TOptionsTest : public TDialogTest {
public:
  void SetUp() override {
    TDialogTest::SetUp();
    Store(QStringLiteral("General"), QStringLiteral("DisplayLanguage"), QStringLiteral("English"));
    Params.DisplayLanguage = QStringLiteral("English");
  }
  void TearDown() override {
    FForm.reset();
    TDialogTest::TearDown();
  }

  TfrmOptions& Open() {
    FForm = std::make_unique<TfrmOptions>();
    FForm->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(FForm.get()));
    FForm->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(FForm.get()));
    return *FForm;
  }

  template <class T = QWidget> T* Find(const char* name) const {
    return Child<T>(FForm.get(), name);
  }

  // Clicks a check box or radio button on its indicator, a push button in
  // its middle; a click elsewhere on a wide check box would miss its text.
  void Click(const char* name) const {
    QWidget* control = Find(name);
    ASSERT_NE(control, nullptr);
    if (qobject_cast<QPushButton*>(control))
      QTest::mouseClick(control, Qt::LeftButton);
    else
      QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
  }

  void Type(const char* name, const QString& text) const {
    auto* edit = Find<QLineEdit>(name);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, text);
  }

  // Picks an entry of the language list the way a user does: open the list
  // from the keyboard, move to the entry, press Enter.
  void PickLanguage(const QString& name) const {
    auto* cmbLang = Find<QComboBox>("cmbLang");
    ASSERT_NE(cmbLang, nullptr);
    const int target = cmbLang->findText(name);
    ASSERT_GE(target, 0) << name.toStdString();
    cmbLang->setFocus();
    QTest::keyClick(cmbLang, Qt::Key_F4);
    QAbstractItemView* list = cmbLang->view();
    ASSERT_TRUE(WaitFor([list] { return list->isVisible(); }));
    while (list->currentIndex().row() < target)
      QTest::keyClick(list, Qt::Key_Down);
    while (list->currentIndex().row() > target)
      QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([list] { return !list->isVisible(); }));
  }

  QString TabText(const char* page) const {
    auto* pages = Find<QTabWidget>("PageControl1");
    return pages->tabText(pages->indexOf(Find(page)));
  }

  // Checks that a read-only proxy field looks different from an editable one.
  void ExpectGreyedOnlyWithoutProxy(const char* field) const {
    auto* edit = Find<QLineEdit>(field);
    ASSERT_NE(edit, nullptr);
    Click("rbManuallyProxy");
    ASSERT_FALSE(edit->isReadOnly());
    const QColor editable = FieldColour(edit);
    Click("rbNoProxy");
    ASSERT_TRUE(edit->isReadOnly());
    EXPECT_NE(FieldColour(edit), editable) << field;
    Click("rbManuallyProxy");
    EXPECT_EQ(FieldColour(edit), editable) << field;
  }

  static QColor FieldColour(QWidget* edit) {
    const QImage image = edit->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(QPointF(edit->width() - 6, edit->height() / 2.0).toPoint() * ratio);
  }

  // A language file whose font for the dialog is 12 points.
  void Enlarge() const {
    ASSERT_TRUE(IniFile::Write(ProgramPath(QStringLiteral("Languages/English.lng")),
                               QStringLiteral("TfrmOptions"), QStringLiteral("frmOptions_FontSize"),
                               QStringLiteral("12")));
  }

  void SetManualProxy(const QString& address, const QString& port) {
    Params.NoProxy = false;
    Params.Address = address;
    Params.Port = port;
  }

  std::unique_ptr<TfrmOptions> FForm;
};

// The three ways a user closes the dialog.
struct TCloseWay {
  const char* Name;
  void (*Close)(TfrmOptions& form);
};

inline void PrintTo(const TCloseWay& way, std::ostream* os) {
  *os << way.Name;
}

inline const TCloseWay CloseWays[] = {
    {"OkButton",
     [](TfrmOptions& form) {
       QTest::mouseClick(Child<QPushButton>(&form, "btnOk"), Qt::LeftButton);
     }},
    {"Escape",
     [](TfrmOptions& form) {
       QWidget* focus = form.focusWidget();
       QTest::keyClick(focus ? focus : &form, Qt::Key_Escape);
     }},
    {"CloseBox", [](TfrmOptions& form) { form.close(); }},
};
