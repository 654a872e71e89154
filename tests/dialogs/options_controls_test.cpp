#include "app/panel.h"
#include "app/skin.h"
#include "options_test_support.h"

#include <QGroupBox>
#include <QLabel>
#include <QScreen>

namespace {

// Where each control sits: its parent and its bounds within it. A width or
// height of 0 is the control's own fitted size; a check box or radio button
// is at least as wide as given here.
struct TPlace {
  const char* Name;
  const char* Parent;
  QRect Bounds;
};

void PrintTo(const TPlace& place, std::ostream* os) {
  *os << place.Name;
}

const TPlace Places[] = {
    {"PageControl1", "frmOptions", {8, 14, 438, 226}},
    {"chkAutoPaste", "tsGeneral", {10, 12, 407, 17}},
    {"chkAutoCopy", "tsGeneral", {10, 35, 407, 17}},
    {"rgChineseLanguage", "tsGeneral", {10, 65, 407, 55}},
    {"rbSimp", "rgChineseLanguage", {12, 25, 121, 17}},
    {"Panel1", "rgChineseLanguage", {145, 25, 32, 16}},
    {"Image1", "Panel1", {0, 0, 32, 16}},
    {"rbTrad", "rgChineseLanguage", {212, 25, 121, 17}},
    {"Panel2", "rgChineseLanguage", {349, 25, 32, 16}},
    {"Image2", "Panel2", {0, 0, 32, 16}},
    {"rgLang", "tsGeneral", {10, 128, 407, 55}},
    {"labLang", "rgLang", {12, 27, 0, 0}},
    {"cmbLang", "rgLang", {253, 23, 136, 0}},
    {"rgProxySettings", "tsConnection", {10, 7, 407, 178}},
    {"rbNoProxy", "rgProxySettings", {29, 32, 218, 17}},
    {"rbManuallyProxy", "rgProxySettings", {29, 68, 218, 17}},
    {"edtAddress", "rgProxySettings", {85, 100, 121, 22}},
    {"labPort", "rgProxySettings", {240, 103, 0, 0}},
    {"edtPort", "rgProxySettings", {277, 100, 121, 22}},
    {"edtUserName", "rgProxySettings", {85, 136, 121, 22}},
    {"labPassword", "rgProxySettings", {212, 140, 0, 0}},
    {"edtPassword", "rgProxySettings", {277, 136, 121, 22}},
    {"btnDefault", "frmOptions", {12, 246, 75, 25}},
    {"btnOk", "frmOptions", {365, 246, 75, 25}},
};

class TOptionsPlaceTest : public TOptionsTest, public ::testing::WithParamInterface<TPlace> {};

TEST_P(TOptionsPlaceTest, SitsWhereItBelongs) {
  Open();
  const TPlace& place = GetParam();
  QWidget* control = Find(place.Name);
  ASSERT_NE(control, nullptr);
  ASSERT_NE(control->parentWidget(), nullptr);
  EXPECT_EQ(control->parentWidget()->objectName(), QLatin1String(place.Parent));
  EXPECT_EQ(control->pos(), place.Bounds.topLeft());
  const bool checkable = qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control);
  if (checkable) {
    // Wider only as far as its caption needs.
    EXPECT_EQ(control->width(), qMax(place.Bounds.width(), control->sizeHint().width()));
  } else if (place.Bounds.width() > 0) {
    EXPECT_EQ(control->width(), place.Bounds.width());
  } else {
    EXPECT_GE(control->width(), control->sizeHint().width()) << "never cut off";
  }
  if (place.Bounds.height() > 0) {
    EXPECT_EQ(control->height(), place.Bounds.height());
  }
  EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry())) << "inside its parent";
}

INSTANTIATE_TEST_SUITE_P(Controls, TOptionsPlaceTest, ::testing::ValuesIn(Places),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TOptionsTest, IsAFixedDialogCaptionedOptions) {
  TfrmOptions& form = Open();
  EXPECT_EQ(form.objectName(), QStringLiteral("frmOptions"));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Options"));
  EXPECT_EQ(form.size(), QSize(457, 283));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  auto* pages = Find<QTabWidget>("PageControl1");
  ASSERT_EQ(pages->count(), 2);
  EXPECT_EQ(pages->widget(0), Find("tsGeneral"));
  EXPECT_EQ(TabText("tsGeneral"), QStringLiteral("General"));
  EXPECT_EQ(TabText("tsConnection"), QStringLiteral("Connection"));
  EXPECT_FALSE(Find<QComboBox>("cmbLang")->isEditable());
}

TEST_F(TOptionsTest, CaptionsFitTheirTextAndRightAlignedOnesKeepTheirRightEdge) {
  Open();
  const char* const rightAligned[] = {"labAddress", "labUserName"};
  QList<int> rightEdges;
  for (const char* name : rightAligned)
    rightEdges.append(Find(name)->geometry().right());
  const QPoint labPortAt = Find("labPort")->pos();

  PickLanguage(QStringLiteral("Chinese-Trad"));
  EXPECT_EQ(Find<QLabel>("labUserName")->text(), QStringLiteral("使用者名稱："));
  for (qsizetype i = 0; i < 2; ++i) {
    QWidget* label = Find(rightAligned[i]);
    EXPECT_EQ(label->geometry().right(), rightEdges[i]) << rightAligned[i];
    EXPECT_LT(label->geometry().right(), Find("edtAddress")->x()) << rightAligned[i];
    EXPECT_GE(label->x(), 0) << rightAligned[i];
  }
  EXPECT_EQ(Find("labPort")->pos(), labPortAt);
  for (const char* name : {"labLang", "labAddress", "labPort", "labUserName", "labPassword"})
    EXPECT_GE(Find(name)->width(), Find(name)->sizeHint().width()) << name;
}

TEST_F(TOptionsTest, TabMovesThroughTheControlsInDesignOrder) {
  const QStringList order{"PageControl1", "chkAutoPaste", "chkAutoCopy", "rbSimp",
                          "rbTrad",       "cmbLang",      "rbNoProxy",   "rbManuallyProxy",
                          "edtAddress",   "edtPort",      "edtUserName", "edtPassword",
                          "btnDefault",   "btnOk"};
  TfrmOptions& form = Open();
  // The focus chain, with each control's own parts folded into it.
  QStringList chain;
  QWidget* w = Find<QTabWidget>("PageControl1")->focusProxy();
  ASSERT_NE(w, nullptr);
  do {
    for (QWidget* owner = w; owner && owner != &form; owner = owner->parentWidget()) {
      if (order.contains(owner->objectName())) {
        if (chain.isEmpty() || chain.back() != owner->objectName())
          chain.append(owner->objectName());
        break;
      }
    }
    w = w->nextInFocusChain();
  } while (w != Find<QTabWidget>("PageControl1")->focusProxy());
  chain.removeDuplicates();
  EXPECT_EQ(chain, order);
}

TEST_F(TOptionsTest, ThePasswordShowsAStarForEveryCharacter) {
  SetManualProxy(QStringLiteral("127.0.0.1"), QStringLiteral("8080"));
  Open();
  Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
  Type("edtPassword", QStringLiteral("s3cr=t"));
  auto* edtPassword = Find<QLineEdit>("edtPassword");
  EXPECT_EQ(edtPassword->text(), QStringLiteral("s3cr=t"));
  EXPECT_EQ(edtPassword->displayText(), QStringLiteral("******"));
}

TEST_F(TOptionsTest, ThePicturesSitOnPanelsOfTheirOwnColour) {
  Open();
  for (const char* name : {"Panel1", "Panel2"}) {
    auto* panel = Find<TPanel>(name);
    EXPECT_FALSE(panel->IsButtonFace()) << name;
    EXPECT_TRUE(panel->autoFillBackground()) << name << ": the base form's step ran";
  }
  for (const char* name : {"Image1", "Image2"}) {
    auto* image = Find<QLabel>(name);
    EXPECT_FALSE(image->pixmap().isNull()) << name;
    EXPECT_EQ(image->pixmap().deviceIndependentSize(), QSizeF(32, 16)) << name;
    EXPECT_TRUE(image->text().isEmpty()) << name;
  }
}

TEST_F(TOptionsTest, IsCentredOverItsParent) {
  QWidget mainWindow;
  mainWindow.setGeometry(100, 80, 700, 600);
  mainWindow.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
  TfrmOptions form(&mainWindow);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QPoint offset = form.frameGeometry().center() - mainWindow.frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 4);
}

// The skin is the whole application's: these tests put it on and take it off.
class TSkinnedOptionsTest : public TOptionsTest {
protected:
  void SetUp() override {
    TOptionsTest::SetUp();
    SetProgramDirForTesting(DataDir());
    ASSERT_TRUE(SkinH_AttachEx(QStringLiteral("aero.she"), QString()));
    SetProgramDirForTesting(FProgramDir.path());
  }
  void TearDown() override {
    TOptionsTest::TearDown();
    qApp->setStyleSheet(QString());
  }
};

TEST_F(TOptionsTest, ReadOnlyProxyFieldsLookDifferentWithoutTheSkin) {
  Open();
  Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
  ExpectGreyedOnlyWithoutProxy("edtAddress");
  ExpectGreyedOnlyWithoutProxy("edtPassword");
}

TEST_F(TSkinnedOptionsTest, ReadOnlyProxyFieldsLookDifferentUnderTheSkin) {
  Open();
  Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
  ExpectGreyedOnlyWithoutProxy("edtAddress");
  ExpectGreyedOnlyWithoutProxy("edtPassword");
}

TEST_F(TSkinnedOptionsTest, ThePasswordShowsStarsUnderTheSkinToo) {
  Open();
  Click("rbManuallyProxy");
  Type("edtPassword", QStringLiteral("abc"));
  EXPECT_EQ(Find<QLineEdit>("edtPassword")->displayText(), QStringLiteral("***"));
}

// The password field has a style sheet of its own; the window's font from
// the language file must reach it all the same.
void ExpectTheFontReachesEveryField(TOptionsTest& test) {
  test.Enlarge();
  test.Open();
  for (const char* name : {"edtAddress", "edtPassword", "labPassword"})
    EXPECT_EQ(test.Find(name)->font().pointSize(), 12) << name;
}

TEST_F(TOptionsTest, TheLanguageFilesFontReachesEveryFieldWithoutTheSkin) {
  ExpectTheFontReachesEveryField(*this);
}

TEST_F(TSkinnedOptionsTest, TheLanguageFilesFontReachesEveryFieldUnderTheSkin) {
  ExpectTheFontReachesEveryField(*this);
}

} // namespace
