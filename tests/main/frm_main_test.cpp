// The main window as it comes up: layout, keyboard, start-up from the
// settings file, the direction choice and the language labels.
#include "main_test_support.h"

#include "core/app_title.h"
#include "core/product_info.h"
#include "lang/display_language.h"
#include "settings/settings.h"
#include "ui/main/frm_Main.h"
#include "ui/main/open_dialog.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>

namespace {

class TFrmMainTest : public TMainWindowTest {
protected:
  QLabel* Label(const char* name) const { return Find<QLabel>(name); }
  // Left edge that the label placement rule gives a label behind another.
  static int Behind(const QWidget* before, int gap) { return before->x() + before->width() + gap; }
  void ExpectLabelsPlaced() const {
    EXPECT_EQ(Label("labFromLang")->x(), Behind(Label("labFrom"), 4));
    EXPECT_EQ(Label("labToLang")->x(), Behind(Label("labTo"), 4));
    EXPECT_EQ(Label("ImgLoad")->x(), Behind(Label("labToLang"), 20));
  }
};

// --- layout -----------------------------------------------------------------

struct TPlaceRow {
  const char* Name;
  QRect Geometry;
};

void PrintTo(const TPlaceRow& row, std::ostream* os) {
  *os << row.Name;
}

class TControlPlaceTest : public TFrmMainTest, public ::testing::WithParamInterface<TPlaceRow> {};

TEST_P(TControlPlaceTest, SitsWhereTheLayoutPutsIt) {
  Start();
  const auto* control = Find<QWidget>(GetParam().Name);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->geometry(), GetParam().Geometry);
  EXPECT_TRUE(control->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Layout, TControlPlaceTest,
    ::testing::Values(
        TPlaceRow{"E1", {8, 37, 478, 180}}, TPlaceRow{"e2", {8, 245, 478, 180}},
        TPlaceRow{"rgDirection", {12, 429, 475, 48}}, TPlaceRow{"rbEngToChn", {27, 20, 203, 17}},
        TPlaceRow{"rbChnToEng", {251, 20, 203, 17}}, TPlaceRow{"btnHelp", {13, 488, 88, 25}},
        TPlaceRow{"btnTranslate", {373, 488, 113, 25}}, TPlaceRow{"Bar", {0, 523, 528, 22}},
        TPlaceRow{"btnOpen", {491, 52, 25, 25}}, TPlaceRow{"btnClear", {491, 82, 25, 25}},
        TPlaceRow{"btnSave", {491, 112, 25, 25}}, TPlaceRow{"btnCopy", {491, 142, 25, 25}},
        TPlaceRow{"btnPaste", {491, 172, 25, 25}}, TPlaceRow{"btnSwap", {491, 215, 25, 25}},
        TPlaceRow{"btnClear2", {491, 260, 25, 25}}, TPlaceRow{"btnSave2", {491, 290, 25, 25}},
        TPlaceRow{"btnCopy2", {491, 320, 25, 25}}, TPlaceRow{"btnPaste2", {491, 350, 25, 25}},
        TPlaceRow{"btnPrint", {491, 380, 25, 25}}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TFrmMainTest, IsAFixedWindowWithTheProductTitle) {
  Start();
  EXPECT_EQ(FWindow->size(), QSize(528, 545));
  EXPECT_EQ(FWindow->minimumSize(), FWindow->maximumSize());
  const Qt::WindowFlags flags = FWindow->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(FWindow->windowTitle(), ProductInfo::Title);
  // Message boxes name the program; the window title is left alone.
  EXPECT_EQ(ApplicationTitle(), QStringLiteral("Tralvesco"));
  EXPECT_NE(QGuiApplication::applicationDisplayName(), QStringLiteral("Tralvesco Translator"));
  const auto* bar = Find<QStatusBar>("Bar");
  const QList<QLabel*> panels = bar->findChildren<QLabel*>();
  ASSERT_EQ(panels.size(), 1);
  EXPECT_EQ(panels[0]->text(), ProductInfo::Copyright);
  EXPECT_TRUE(panels[0]->isVisible());
}

TEST_F(TFrmMainTest, CommandColumnButtonsAreFlatGlyphsWithHintsAndTags) {
  Start();
  struct TButton {
    const char* Name;
    const char* Hint;
    int Tag;
  };
  for (const TButton& b :
       {TButton{"btnOpen", "Open", 0}, TButton{"btnClear", "Clear", 0},
        TButton{"btnSave", "Save", 0}, TButton{"btnCopy", "Copy To Clipboard", 0},
        TButton{"btnPaste", "Paste From Clipboard", 0}, TButton{"btnSwap", "Swap", 0},
        TButton{"btnClear2", "Clear", 1}, TButton{"btnSave2", "Save", 1},
        TButton{"btnCopy2", "Copy To Clipboard", 1},
        TButton{"btnPaste2", "Paste From Clipboard", 1}, TButton{"btnPrint", "Print", 0}}) {
    const auto* button = Find<QPushButton>(b.Name);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isFlat()) << b.Name;
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << b.Name;
    // The hint, followed by the button's key.
    EXPECT_TRUE(button->toolTip().startsWith(QLatin1String(b.Hint) + QStringLiteral(" (Ctrl+")))
        << b.Name;
    EXPECT_EQ(button->property("tag"), QVariant(b.Tag)) << b.Name;
    EXPECT_EQ(button->iconSize(), QSize(16, 16)) << b.Name;
    EXPECT_FALSE(button->icon().pixmap(16, 16).isNull()) << b.Name;
    EXPECT_TRUE(button->text().isEmpty()) << b.Name;
  }
  for (const char* name : {"btnHelp", "btnTranslate"})
    EXPECT_FALSE(Find<QPushButton>(name)->icon().pixmap(16, 16).isNull()) << name;
  EXPECT_TRUE(Find<QPushButton>("btnTranslate")->isDefault());
  EXPECT_EQ(Source()->property("tag"), QVariant(0));
  EXPECT_EQ(Target()->property("tag"), QVariant(1));
}

TEST_F(TFrmMainTest, PanesAreSetUpAlike) {
  Start();
  for (TProfDHTMLEdit2* pane : {Source(), Target()}) {
    EXPECT_EQ(pane->Timeout(), 30.0);
    EXPECT_TRUE(pane->UseBrOnCarriageReturn());
    EXPECT_TRUE(pane->UseDivOnCarriageReturn());
    EXPECT_EQ(pane->SourceCodeOptions(),
              AllSourceCodeOptions &
                  ~TProfDHTMLEditSourceCodeOptions(TProfDHTMLEditSourceCodeOption::AddNbsp));
    EXPECT_TRUE(pane->TagsSubstitution().isEmpty());
    // A bar that appears with a long result would lay it out a second time.
    EXPECT_EQ(pane->Editor()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  }
}

TEST_F(TFrmMainTest, HelpMenuHoldsItsItemsWithGlyphs) {
  Start();
  const auto* pmHelp = Find<QMenu>("pmHelp");
  ASSERT_NE(pmHelp, nullptr);
  QStringList shape;
  for (const QAction* item : pmHelp->actions()) {
    shape.append(item->isSeparator() ? QStringLiteral("-") : item->objectName());
    if (!item->isSeparator()) {
      EXPECT_FALSE(item->icon().pixmap(16, 16).isNull()) << item->objectName().toStdString();
    }
  }
  EXPECT_EQ(shape, QStringList({"miOptions", "-", "miWebSite", "miContactUs", "-", "miAbout"}));
  EXPECT_EQ(pmHelp->actions()[0]->text(), QStringLiteral("Options"));
  EXPECT_EQ(pmHelp->actions()[2]->text(), QStringLiteral("Visit Home"));
  EXPECT_EQ(pmHelp->actions()[3]->text(), QStringLiteral("Contact Us"));
  EXPECT_EQ(pmHelp->actions()[5]->text(), QStringLiteral("About"));
}

TEST_F(TFrmMainTest, TabVisitsPanesDirectionHelpAndTranslateInThatOrder) {
  Start();
  EXPECT_TRUE(Source()->Editor()->hasFocus());
  QStringList visited;
  for (int i = 0; i < 6; ++i) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    // A pane's focus sits in its editor.
    const bool inPane = focused->parentWidget() == Source() || focused->parentWidget() == Target();
    visited.append(inPane ? focused->parentWidget()->objectName() : focused->objectName());
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  EXPECT_EQ(visited, QStringList({"E1", "e2", "rbEngToChn", "btnHelp", "btnTranslate", "E1"}));
}

TEST_F(TFrmMainTest, AltHPressesHelp) {
  Start();
  QSignalSpy clicked(Find<QPushButton>("btnHelp"), &QPushButton::clicked);
  QTest::keyClick(FWindow.get(), Qt::Key_H, Qt::AltModifier);
  // A mnemonic presses the button and releases it a moment later.
  EXPECT_TRUE(clicked.wait(2000));
  EXPECT_EQ(clicked.count(), 1);
}

TEST(OpenDialog, FilterBecomesQtNameFilters) {
  TOpenDialog dialog;
  dialog.Filter = QStringLiteral("Text Documents(*.txt)|*.txt|Web pages|*.html;*.htm");
  EXPECT_EQ(dialog.NameFilters(),
            QStringList({"Text Documents(*.txt)", "Web pages (*.html *.htm)"}));
  TOpenDialog::SetChooserForTesting([](const TOpenDialog& d) { return d.DefaultExt + "!"; });
  dialog.DefaultExt = QStringLiteral("txt");
  EXPECT_EQ(dialog.Execute(nullptr), QStringLiteral("txt!"));
  TOpenDialog::SetChooserForTesting({});
}

// --- start-up from the settings file ------------------------------------------

struct TStartRow {
  const char* Name;
  QByteArray General; // the [General] lines, or none for no file
  bool HasFile;
  bool ChineseToEnglish;         // which radio button ends up selected
  std::optional<QString> Stored; // Direction as the file holds it afterwards
};

void PrintTo(const TStartRow& row, std::ostream* os) {
  *os << row.Name;
}

class TMainWindowStartTest : public TFrmMainTest,
                             public ::testing::WithParamInterface<TStartRow> {};

TEST_P(TMainWindowStartTest, ShowsAndStoresTheDirection) {
  const TStartRow& row = GetParam();
  if (row.HasFile)
    FFolder->WriteSettings(row.General);
  else
    QFile::remove(FFolder->SettingsFile());
  Start();

  EXPECT_EQ(Find<QRadioButton>("rbChnToEng")->isChecked(), row.ChineseToEnglish);
  EXPECT_EQ(Find<QRadioButton>("rbEngToChn")->isChecked(), !row.ChineseToEnglish);
  const QString from = row.ChineseToEnglish ? QStringLiteral("Chinese") : QStringLiteral("English");
  const QString to = row.ChineseToEnglish ? QStringLiteral("English") : QStringLiteral("Chinese");
  EXPECT_EQ(Label("labFromLang")->text(), from);
  EXPECT_EQ(Label("labToLang")->text(), to);
  EXPECT_EQ(Params.Direction, row.ChineseToEnglish ? 1 : 0);
  ExpectLabelsPlaced();
  EXPECT_EQ(FFolder->Setting(QStringLiteral("General"), QStringLiteral("Direction")), row.Stored);
  EXPECT_EQ(FFolder->Setting(QStringLiteral("General"), QStringLiteral("DisplayLanguage")),
            QStringLiteral("English"));
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, TMainWindowStartTest,
    ::testing::Values(TStartRow{"DirectionOne", "[General]\nDirection=1\n", true, true,
                                QStringLiteral("1")},
                      TStartRow{"DirectionSevenIsRewrittenAsOne", "[General]\nDirection=7\n", true,
                                true, QStringLiteral("1")},
                      // Written as "00", so a rewrite would show as "0".
                      TStartRow{"DirectionZeroIsNotWritten", "[General]\nDirection=00\n", true,
                                false, QStringLiteral("00")},
                      TStartRow{"NoSettingsFile", {}, false, false, std::nullopt}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TFrmMainTest, ABadProxyPortReachesTheErrorBoxAndTheWindowStays) {
  FFolder->WriteSettings(WithServer("[General]\nDirection=1\n") +
                         "NoProxy=0\nAddress=127.0.0.1\nPort=eighty\n");
  Start();
  ASSERT_EQ(ShownBoxes().size(), 1);
  EXPECT_EQ(ShownBoxes()[0].Caption, QStringLiteral("Tralvesco"));
  EXPECT_EQ(ShownBoxes()[0].Text, QStringLiteral("'eighty' is not a valid integer value."));
  EXPECT_TRUE(FWindow->isVisible());
  // Settings and direction were in place before the proxy step.
  EXPECT_TRUE(Find<QRadioButton>("rbChnToEng")->isChecked());
  EXPECT_EQ(FWindow->Http().ProxyServer(), QStringLiteral("127.0.0.1"));
}

// --- the direction choice ---------------------------------------------------------

TEST_F(TFrmMainTest, ClickingADirectionStoresItAtOnceAndReplacesTheLabels) {
  Start();
  auto* rbChnToEng = Find<QRadioButton>("rbChnToEng");
  QTest::mouseClick(rbChnToEng, Qt::LeftButton);
  EXPECT_TRUE(rbChnToEng->isChecked());
  EXPECT_EQ(Params.Direction, 1);
  EXPECT_EQ(FFolder->Setting(QStringLiteral("General"), QStringLiteral("Direction")),
            QStringLiteral("1"));
  EXPECT_EQ(Label("labFromLang")->text(), QStringLiteral("Chinese"));
  EXPECT_EQ(Label("labToLang")->text(), QStringLiteral("English"));
  ExpectLabelsPlaced();

  // The button already selected runs nothing: the file keeps a value the
  // handler would never write.
  FFolder->WriteSettings(WithServer("[General]\nDirection=01\nDisplayLanguage=English\n"));
  QTest::mouseClick(rbChnToEng, Qt::LeftButton);
  EXPECT_EQ(FFolder->Setting(QStringLiteral("General"), QStringLiteral("Direction")),
            QStringLiteral("01"));

  QTest::mouseClick(Find<QRadioButton>("rbEngToChn"), Qt::LeftButton);
  EXPECT_EQ(FFolder->Setting(QStringLiteral("General"), QStringLiteral("Direction")),
            QStringLiteral("0"));
  EXPECT_EQ(Label("labFromLang")->text(), QStringLiteral("English"));
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

TEST_F(TFrmMainTest, ArrowKeysInTheDirectionGroupChangeTheDirectionToo) {
  Start();
  auto* rbEngToChn = Find<QRadioButton>("rbEngToChn");
  rbEngToChn->setFocus();
  QTest::keyClick(rbEngToChn, Qt::Key_Right);
  EXPECT_TRUE(Find<QRadioButton>("rbChnToEng")->isChecked());
  EXPECT_EQ(FFolder->Setting(QStringLiteral("General"), QStringLiteral("Direction")),
            QStringLiteral("1"));
}

TEST_F(TFrmMainTest, AFailedDirectionWriteReachesTheErrorBox) {
  Start();
  // A folder where the settings file was makes every write fail.
  QFile::remove(FFolder->SettingsFile());
  QDir().mkdir(FFolder->SettingsFile());
  QTest::mouseClick(Find<QRadioButton>("rbChnToEng"), Qt::LeftButton);
  ASSERT_EQ(ShownBoxes().size(), 1);
  EXPECT_EQ(ShownBoxes()[0].Text,
            QStringLiteral("Unable to write to ") + FFolder->SettingsFile() + QLatin1Char('.'));
  EXPECT_TRUE(FWindow->isVisible());
}

// --- display language --------------------------------------------------------------

TEST_F(TFrmMainTest, SimplifiedChineseTranslatesCaptionsHintsAndMenuButNotTheTitle) {
  FFolder->WriteSettings(WithServer("[General]\nDisplayLanguage=Chinese-Simp\n"));
  Start();
  EXPECT_EQ(Find<QPushButton>("btnTranslate")->text(), QStringLiteral("\u7FFB\u8BD1(&T)"));
  EXPECT_EQ(Find<QPushButton>("btnPaste")->toolTip(),
            QStringLiteral("\u4ECE\u526A\u8D34\u677F\u7C98\u8D34\uFF08Ctrl+Shift+V\uFF09"));
  EXPECT_TRUE(Find<QPushButton>("btnPaste")->text().isEmpty());
  EXPECT_EQ(Find<QGroupBox>("rgDirection")->title(), QStringLiteral("\u7FFB\u8BD1\u65B9\u5411"));
  EXPECT_EQ(Label("labFromLang")->text(), QStringLiteral("\u82F1\u6587"));
  EXPECT_EQ(Label("labToLang")->text(), QStringLiteral("\u4E2D\u6587"));
  EXPECT_EQ(Find<QMenu>("pmHelp")->actions()[0]->text(), QStringLiteral("\u9009\u9879"));
  EXPECT_EQ(FWindow->windowTitle(), ProductInfo::Title);
  ExpectLabelsPlaced();
  // Alt+T is still the translate button's.
  QSignalSpy clicked(Find<QPushButton>("btnTranslate"), &QPushButton::clicked);
  QTest::keyClick(FWindow.get(), Qt::Key_T, Qt::AltModifier);
  EXPECT_TRUE(clicked.wait(2000));
  EXPECT_EQ(clicked.count(), 1);
}

TEST_F(TFrmMainTest, LongerCaptionsPushTheLanguageNamesAndThePictureRight) {
  Start();
  const int fromLeft = Label("labFromLang")->x();
  const int toLeft = Label("labToLang")->x();
  const int pictureLeft = Label("ImgLoad")->x();

  FFolder->WriteLanguage(QStringLiteral("Long"),
                         "[TfrmMain]\nlabFrom_Caption=Translate the text written in :\n"
                         "labTo_Caption=And turn it into this language :\n"
                         "strEnglish=The English language\n");
  LangFilePath = QStringLiteral(".\\Languages\\Long.lng");
  FWindow->ApplyDisplayLanguage();
  EXPECT_GT(Label("labFromLang")->x(), fromLeft + 50);
  EXPECT_GT(Label("labToLang")->x(), toLeft + 50);
  EXPECT_GT(Label("ImgLoad")->x(), pictureLeft + 50);
  ExpectLabelsPlaced();

  // New label texts alone do not move anything; a direction change does.
  FWindow->ShowDirection();
  EXPECT_EQ(Label("labFromLang")->text(), QStringLiteral("The English language"));
  const int pictureBefore = Label("ImgLoad")->x();
  QTest::mouseClick(Find<QRadioButton>("rbChnToEng"), Qt::LeftButton);
  EXPECT_EQ(Label("labToLang")->text(), QStringLiteral("The English language"));
  EXPECT_GT(Label("ImgLoad")->x(), pictureBefore + 50);
  ExpectLabelsPlaced();
}

TEST_F(TFrmMainTest, LanguageLabelsAreBoldMaroonAndSizedToTheirText) {
  Start();
  for (const char* name : {"labFrom", "labFromLang", "labTo", "labToLang"}) {
    const QLabel* label = Label(name);
    EXPECT_TRUE(label->font().bold()) << name;
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0x80, 0, 0)) << name;
    EXPECT_EQ(label->size(), label->sizeHint()) << name;
  }
  EXPECT_EQ(Label("labFrom")->pos(), QPoint(9, 17));
  EXPECT_EQ(Label("labTo")->pos(), QPoint(9, 223));
  EXPECT_EQ(Label("labFromLang")->y(), 17);
  EXPECT_EQ(Label("labToLang")->y(), 223);
  EXPECT_EQ(Label("ImgLoad")->y(), 223);
}

} // namespace
