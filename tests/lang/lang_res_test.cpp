#include "core/app_error.h"
#include "lang/font_charset.h"
#include "lang/form_lang_res.h"
#include "lang_test_support.h"
#include "sample_form.h"
#include "settings/ini_file.h"

#include <QAction>
#include <QDialog>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>

// A class of ours that adds a caption through a declared property.
class TCaptioned : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
  using QWidget::QWidget;
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v) { FCaption = v; }

private:
  QString FCaption;
};

namespace {

class TLangResTest : public TLangTest {
protected:
  // A form localiser that reads only (the program's own setting).
  TsmlFormLangRes* Reader(QWidget* form, const QString& file = QStringLiteral("test.lng")) {
    auto* sml = new TsmlFormLangRes(form);
    sml->SetAutoCreateMode(false);
    sml->SetLangFileName(QStringLiteral(".\\Languages\\") + file);
    return sml;
  }

  TfrmSample FForm;
};

TEST_F(TLangResTest, OwnerMustBeAFormOrAFrame) {
  const auto message = [](QObject* owner) {
    try {
      TsmlFormLangRes sml(owner);
      return QStringLiteral("accepted");
    } catch (const ETralvescoError& e) {
      return e.Message();
    }
  };
  const QString refused = QStringLiteral("Owner must be a Form or a DataModule!");
  QObject plain;
  EXPECT_EQ(message(nullptr), refused);
  EXPECT_EQ(message(&plain), refused);
  EXPECT_EQ(message(FForm.btnGo), refused);
  EXPECT_EQ(message(FForm.tsFirst), refused);

  auto* frame = new TFrame(&FForm);
  auto* onFrame = new TsmlFormLangRes(frame);
  EXPECT_EQ(onFrame->OwnerFrame(), frame);
  EXPECT_EQ(onFrame->OwnerForm(), nullptr);
  EXPECT_EQ(onFrame->parent(), frame);

  auto* onForm = new TsmlFormLangRes(&FForm);
  EXPECT_EQ(onForm->OwnerForm(), &FForm);
  EXPECT_EQ(onForm->OwnerFrame(), nullptr);
  EXPECT_EQ(onForm->Section(), QStringLiteral("TfrmSample"));

  // A dialog with a parent is still a window of its own.
  auto* dialog = new QDialog(&FForm);
  EXPECT_NO_THROW(TsmlFormLangRes{dialog});
}

TEST_F(TLangResTest, FileNameIsTakenBesideTheProgramWhateverTheWorkingDirectory) {
  WriteLang(QStringLiteral("English.lng"), "[TfrmSample]\nbtnGo_Caption=From the program folder\n");
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QDir(elsewhere.path()).mkpath(QStringLiteral("Languages")));
  QFile decoy(elsewhere.path() + QStringLiteral("/Languages/English.lng"));
  ASSERT_TRUE(decoy.open(QIODevice::WriteOnly));
  decoy.write("[TfrmSample]\nbtnGo_Caption=From the working directory\n");
  decoy.close();
  const QString oldCurrent = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));

  auto* sml = new TsmlFormLangRes(&FForm);
  sml->SetAutoCreateMode(false);
  EXPECT_EQ(sml->LangFileName(), QStringLiteral("DefLang.ini"));
  sml->SetActive(true);
  const QString expected = QDir::cleanPath(ProgramPath(QStringLiteral("Languages/English.lng")));
  for (const QString& spelling :
       {QStringLiteral(".\\Languages\\English.lng"), QStringLiteral("Languages\\English.lng"),
        QStringLiteral("./Languages/English.lng"), QStringLiteral("Languages/English.lng")}) {
    FForm.btnGo->setText(QStringLiteral("&Go"));
    sml->SetLangFileName(spelling);
    EXPECT_EQ(sml->LangFilePathName(), expected) << spelling.toStdString();
    EXPECT_EQ(sml->LangFileName(), QStringLiteral("English.lng"));
    EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("From the program folder"));
  }
  QDir::setCurrent(oldCurrent);
}

struct TBracketCase {
  const char* Name;
  const char* Value;    // in the file
  const char* Expected; // on the button
};
void PrintTo(const TBracketCase& c, std::ostream* os) {
  *os << c.Name;
}

class TBracketRuleTest : public TLangResTest, public ::testing::WithParamInterface<TBracketCase> {};

TEST_P(TBracketRuleTest, OneEnclosingPairIsRemoved) {
  const TBracketCase& c = GetParam();
  WriteLang(QStringLiteral("test.lng"),
            QByteArray("[TfrmSample]\nbtnGo_Caption=") + c.Value + "\n");
  Reader(&FForm)->SetActive(true);
  EXPECT_EQ(FForm.btnGo->text(), QString::fromUtf8(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(Values, TBracketRuleTest,
                         ::testing::Values(TBracketCase{"WordInBrackets", "<Go on>", "Go on"},
                                           TBracketCase{"BracketsAlone", "<>", ""},
                                           TBracketCase{"OpeningOnly", "<Go on", "<Go on"},
                                           TBracketCase{"ClosingOnly", "Go on>", "Go on>"},
                                           TBracketCase{"OnePairOnly", "<<Go>>", "<Go>"},
                                           TBracketCase{"SingleBracket", "<", "<"},
                                           TBracketCase{"Plain", "Weiter", "Weiter"},
                                           TBracketCase{"Chinese", "<\xE7\xBF\xBB\xE8\xAF\x91(&T)>",
                                                        "\xE7\xBF\xBB\xE8\xAF\x91(&T)"}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TLangResTest, BracketTextEnclosesOnlyWhenAsked) {
  auto* sml = Reader(&FForm);
  EXPECT_EQ(sml->BracketText(QStringLiteral("Go")), QStringLiteral("Go"));
  sml->SetAddBracket(true);
  EXPECT_EQ(sml->BracketText(QStringLiteral("Go")), QStringLiteral("<Go>"));
  EXPECT_EQ(sml->BracketText(QString()), QStringLiteral("<>"));
}

struct TFontCase {
  const char* Name;
  const char* Lines; // font keys of frmSample
  const char* Family;
  int PointSize; // -1: sized in pixels
  int PixelSize; // checked when PointSize is -1
  int Charset;
};
void PrintTo(const TFontCase& c, std::ostream* os) {
  *os << c.Name;
}

class TFontKeysTest : public TLangResTest, public ::testing::WithParamInterface<TFontCase> {};

TEST_P(TFontKeysTest, SetWhatTheFileGives) {
  const TFontCase& c = GetParam();
  WriteLang(QStringLiteral("test.lng"), QByteArray("[TfrmSample]\n") + c.Lines);
  auto* sml = Reader(&FForm);
  sml->SetStringProperties({});
  sml->SetStringsProperties({});
  sml->SetActive(true);
  EXPECT_EQ(FForm.font().family(), QString::fromLatin1(c.Family));
  EXPECT_EQ(FForm.font().pointSize(), c.PointSize);
  if (c.PointSize == -1) {
    EXPECT_EQ(FForm.font().pixelSize(), c.PixelSize);
  }
  EXPECT_EQ(FontCharsetOf(&FForm), c.Charset);
  // The window's controls follow its font.
  EXPECT_EQ(FForm.labName->font().family(), FForm.font().family());
}

INSTANTIATE_TEST_SUITE_P(
    Values, TFontKeysTest,
    ::testing::Values(
        TFontCase{"NothingGiven", "", "Tahoma", 9, 0, FontCharset::Default},
        TFontCase{
            "AllGiven",
            "frmSample_FontName=<Noto Sans>\nfrmSample_FontSize=12\nfrmSample_FontCharset=0\n",
            "Noto Sans", 12, 0, FontCharset::Ansi},
        TFontCase{"CharsetZeroIsACharset", "frmSample_FontCharset=0\n", "Tahoma", 9, 0, 0},
        TFontCase{"CharsetMinusOneLeavesIt", "frmSample_FontCharset=-1\n", "Tahoma", 9, 0,
                  FontCharset::Default},
        TFontCase{"CharsetOutOfRangeLeavesIt", "frmSample_FontCharset=300\n", "Tahoma", 9, 0,
                  FontCharset::Default},
        TFontCase{"ChineseCharset", "frmSample_FontCharset=134\n", "Tahoma", 9, 0,
                  FontCharset::Gb2312},
        TFontCase{"SizeZeroLeavesIt", "frmSample_FontSize=0\n", "Tahoma", 9, 0,
                  FontCharset::Default},
        TFontCase{"SizeNotANumberLeavesIt", "frmSample_FontSize=large\n", "Tahoma", 9, 0,
                  FontCharset::Default},
        TFontCase{"NegativeSizeIsPixels", "frmSample_FontSize=-16\n", "Tahoma", -1, 16,
                  FontCharset::Default},
        TFontCase{"EmptyNameLeavesIt", "frmSample_FontName=\n", "Tahoma", 9, 0,
                  FontCharset::Default}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TLangResTest, ChineseCharsetPutsAChineseFaceBehindTheChosenOne) {
  if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
    GTEST_SKIP() << "no Chinese font installed";
  SetFontCharset(&FForm, FontCharset::Gb2312);
  const QStringList families = FForm.font().families();
  ASSERT_EQ(families.size(), 2);
  EXPECT_EQ(families[0], QStringLiteral("Tahoma"));
  EXPECT_TRUE(
      QFontDatabase::writingSystems(families[1]).contains(QFontDatabase::SimplifiedChinese));
  // Going back to a Western character set drops it again.
  SetFontCharset(&FForm, FontCharset::Ansi);
  EXPECT_EQ(FForm.font().families(), QStringList{QStringLiteral("Tahoma")});
}

TEST_F(TLangResTest, WriteBackMakesACompleteTemplateThatReadsBackUnchanged) {
  auto* writer = new TsmlFormLangRes(&FForm);
  writer->SetStringProperties({QStringLiteral("Caption"), QStringLiteral("Hint")});
  writer->SetAddBracket(true);
  writer->SetLangFileName(QStringLiteral(".\\Languages\\Template.lng"));
  ASSERT_FALSE(QFile::exists(ProgramPath(QStringLiteral("Languages/Template.lng"))));
  writer->SetActive(true);

  const QString file = ProgramPath(QStringLiteral("Languages/Template.lng"));
  const auto value = [&](const char* key) {
    return IniFile::Read(file, QStringLiteral("TfrmSample"), QLatin1String(key))
        .value_or(QStringLiteral("(missing)"));
  };
  EXPECT_EQ(value("frmSample_FontName"), QStringLiteral("<Tahoma>"));
  EXPECT_EQ(value("frmSample_FontSize"), QStringLiteral("9"));
  EXPECT_EQ(value("frmSample_FontCharset"), QStringLiteral("1"));
  EXPECT_EQ(value("frmSample_Caption"), QStringLiteral("<Sample Window>"));
  EXPECT_EQ(value("frmSample_Hint"), QStringLiteral("<>"));
  EXPECT_EQ(value("btnGo_Caption"), QStringLiteral("<&Go>"));
  EXPECT_EQ(value("btnGo_Hint"), QStringLiteral("<Go now>"));
  EXPECT_EQ(value("rgBox_Caption"), QStringLiteral("<Direction>"));
  EXPECT_EQ(value("tsSecond_Caption"), QStringLiteral("<Second>"));
  EXPECT_EQ(value("labOnPage_Caption"), QStringLiteral("<On a page>"));
  EXPECT_EQ(value("tbTabs_Tabs[1]"), QStringLiteral("<Two>"));
  EXPECT_EQ(value("cmbPick_Items[0]"), QStringLiteral("<Red>"));
  EXPECT_EQ(value("edtName_Hint"), QStringLiteral("<>"));
  // Kinds without the property, and timers, have no key.
  EXPECT_EQ(value("edtName_Caption"), QStringLiteral("(missing)"));
  EXPECT_EQ(value("cmbPick_Caption"), QStringLiteral("(missing)"));
  EXPECT_EQ(value("PageControl1_Tabs[0]"), QStringLiteral("(missing)"));
  EXPECT_EQ(value("tmrTick_Caption"), QStringLiteral("(missing)"));
  EXPECT_EQ(value("tmrTick_Hint"), QStringLiteral("(missing)"));

  // A second application, on a fresh copy of the window, shows the same
  // texts, and finds nothing left to write.
  const QByteArray templateBytes = ReadLang(QStringLiteral("Template.lng"));
  TfrmSample second;
  second.btnGo->setText(QStringLiteral("changed"));
  auto* reader = new TsmlFormLangRes(&second);
  reader->SetStringProperties({QStringLiteral("Caption"), QStringLiteral("Hint")});
  reader->SetLangFileName(QStringLiteral(".\\Languages\\Template.lng"));
  reader->SetActive(true);
  EXPECT_EQ(second.btnGo->text(), QStringLiteral("&Go"));
  EXPECT_EQ(second.btnGo->toolTip(), QStringLiteral("Go now"));
  EXPECT_EQ(second.PageControl1->tabText(1), QStringLiteral("Second"));
  EXPECT_EQ(second.tbTabs->tabText(0), QStringLiteral("One"));
  EXPECT_EQ(second.cmbPick->itemText(1), QStringLiteral("Green"));
  EXPECT_EQ(second.windowTitle(), QStringLiteral("Sample Window"));
  EXPECT_EQ(second.font().family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(second.font().pointSize(), 9);
  EXPECT_EQ(ReadLang(QStringLiteral("Template.lng")), templateBytes);
}

TEST_F(TLangResTest, WriteBackSkipsEmptyTextsWhenAsked) {
  auto* writer = new TsmlFormLangRes(&FForm);
  writer->SetStringProperties({QStringLiteral("Caption"), QStringLiteral("Hint")});
  writer->SetIgnoreEmptyString(true);
  writer->SetLangFileName(QStringLiteral("Languages/Template.lng"));
  writer->SetActive(true);
  const QString file = ProgramPath(QStringLiteral("Languages/Template.lng"));
  EXPECT_EQ(IniFile::Read(file, QStringLiteral("TfrmSample"), QStringLiteral("btnGo_Hint")),
            QStringLiteral("Go now"));
  EXPECT_FALSE(IniFile::Read(file, QStringLiteral("TfrmSample"), QStringLiteral("edtName_Hint")));
  // The font is written whatever the setting.
  EXPECT_TRUE(
      IniFile::Read(file, QStringLiteral("TfrmSample"), QStringLiteral("frmSample_FontName")));
}

TEST_F(TLangResTest, AFailedWriteBackReportsTheFile) {
  auto* writer = new TsmlFormLangRes(&FForm);
  writer->SetLangFileName(QStringLiteral(".\\NoSuchFolder\\Template.lng"));
  try {
    writer->SetActive(true);
    FAIL() << "no error";
  } catch (const ETralvescoError& e) {
    EXPECT_EQ(e.Message(),
              QStringLiteral("Unable to write to ") +
                  QDir::cleanPath(ProgramPath(QStringLiteral("NoSuchFolder/Template.lng"))));
  }
}

TEST_F(TLangResTest, AMissingFileChangesNothingAndCreatesNothing) {
  auto* sml = Reader(&FForm, QStringLiteral("Missing.lng"));
  sml->SetStringProperties({QStringLiteral("Caption"), QStringLiteral("Hint")});
  sml->SetActive(true);
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("&Go"));
  EXPECT_EQ(FForm.btnGo->toolTip(), QStringLiteral("Go now"));
  EXPECT_EQ(FForm.font().family(), QStringLiteral("Tahoma"));
  EXPECT_FALSE(QFile::exists(ProgramPath(QStringLiteral("Languages/Missing.lng"))));
}

TEST_F(TLangResTest, EachSettingAppliesTheFileAfreshWhileActive) {
  WriteLang(QStringLiteral("test.lng"), "[TfrmSample]\nbtnGo_Caption=First\n");
  auto* sml = Reader(&FForm);
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("&Go")) << "inactive localisers apply nothing";
  sml->SetActive(true);
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("First"));

  WriteLang(QStringLiteral("test.lng"), "[TfrmSample]\nbtnGo_Caption=Second\n");
  sml->SetAddBracket(true);
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("First")) << "AddBracket waits for the next one";
  sml->SetLangFileName(QStringLiteral("Languages/test.lng"));
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("Second"));

  WriteLang(QStringLiteral("test.lng"), "[TfrmSample]\nbtnGo_Caption=Third\n");
  sml->SetIgnoreEmptyString(true);
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("Third"));

  WriteLang(QStringLiteral("test.lng"), "[TfrmSample]\nbtnGo_Caption=Fourth\n");
  sml->SetActive(false);
  sml->SetLangFileName(QStringLiteral("Languages/test.lng"));
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("Third"));
}

TEST_F(TLangResTest, ReadsSurviveBadBytesAndLongValues) {
  QByteArray text("\xFF\xFE\x00garbage\r\n", 12);
  text += "[TfrmSample]\r\nbtnGo_Caption=\xC3\x28ok\r\nlabName_Caption=";
  text += QByteArray(5000, 'x');
  text += "\r\n";
  WriteLang(QStringLiteral("test.lng"), QByteArray("\x01\x02\x03", 3) + text);
  Reader(&FForm)->SetActive(true);
  EXPECT_TRUE(FForm.btnGo->text().endsWith(QStringLiteral("ok")));
  EXPECT_EQ(FForm.labName->text().size(), 2047);
}

struct TPropertyCase {
  const char* Name;
  QObject* (*Make)(QWidget* form);
  const char* Property;
  bool Has;
};
void PrintTo(const TPropertyCase& c, std::ostream* os) {
  *os << c.Name;
}

class THasPropertyTest : public TLangResTest,
                         public ::testing::WithParamInterface<TPropertyCase> {};

TEST_P(THasPropertyTest, FollowsTheControlKind) {
  const TPropertyCase& c = GetParam();
  QObject* component = c.Make(&FForm);
  EXPECT_EQ(TsmlLangRes::HasProperty(component, QLatin1String(c.Property)), c.Has);
}

template <class T> QObject* Child(QWidget* form) {
  return new T(form);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, THasPropertyTest,
    ::testing::Values(
        TPropertyCase{"LabelCaption", Child<QLabel>, "Caption", true},
        TPropertyCase{"LabelHint", Child<QLabel>, "Hint", true},
        TPropertyCase{"LabelTabs", Child<QLabel>, "Tabs", false},
        TPropertyCase{"NamesIgnoreCase", Child<QLabel>, "caption", true},
        TPropertyCase{"ButtonCaption", Child<QPushButton>, "Caption", true},
        TPropertyCase{"RadioCaption", Child<QRadioButton>, "Caption", true},
        TPropertyCase{"GroupBoxCaption", Child<QGroupBox>, "Caption", true},
        TPropertyCase{"EditCaption", Child<QLineEdit>, "Caption", false},
        TPropertyCase{"EditHint", Child<QLineEdit>, "Hint", true},
        TPropertyCase{"TabBarTabs", Child<QTabBar>, "Tabs", true},
        TPropertyCase{"PageControlTabs", Child<QTabWidget>, "Tabs", false},
        TPropertyCase{"PageCaption",
                      [](QWidget* form) -> QObject* {
                        auto* tabs = new QTabWidget(form);
                        auto* page = new QWidget;
                        tabs->addTab(page, QStringLiteral("P"));
                        return page;
                      },
                      "Caption", true},
        TPropertyCase{"PlainWidgetCaption", Child<QWidget>, "Caption", false},
        TPropertyCase{"ComboItems", Child<QComboBox>, "Items", true},
        TPropertyCase{"ComboCaption", Child<QComboBox>, "Caption", false},
        TPropertyCase{"ListBoxItems", Child<QListWidget>, "Items", true},
        TPropertyCase{"PopupMenuHint", Child<QMenu>, "Hint", false},
        TPropertyCase{"MenuItemCaption",
                      [](QWidget* form) -> QObject* { return new QAction(form); }, "Caption", true},
        TPropertyCase{"TimerHint", [](QWidget* form) -> QObject* { return new QTimer(form); },
                      "Hint", false},
        TPropertyCase{"WindowCaption", [](QWidget* form) -> QObject* { return form; }, "Caption",
                      true},
        TPropertyCase{"WidgetFont", Child<QLabel>, "Font", true},
        TPropertyCase{"UnknownName", Child<QLabel>, "Colour", false},
        TPropertyCase{"DeclaredProperty", Child<TCaptioned>, "Caption", true},
        TPropertyCase{"NarrowedByTheControl",
                      [](QWidget* form) -> QObject* {
                        auto* picture = new QLabel(form);
                        picture->setProperty("langProperties", QStringList{QStringLiteral("Hint")});
                        return picture;
                      },
                      "Caption", false}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TLangResTest, DeclaredPropertiesAreTranslated) {
  auto* panel = new TCaptioned(&FForm);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->SetCaption(QStringLiteral("before"));
  WriteLang(QStringLiteral("test.lng"), "[TfrmSample]\nPanel1_Caption=after\n");
  Reader(&FForm)->SetActive(true);
  EXPECT_EQ(panel->Caption(), QStringLiteral("after"));
}

} // namespace

#include "lang_res_test.moc"
