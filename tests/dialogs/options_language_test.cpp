#include "lang/display_language.h"
#include "options_test_support.h"

#include <QGroupBox>
#include <QLabel>
#include <gmock/gmock.h>

namespace {

const QString General = QStringLiteral("General");
const QString Connection = QStringLiteral("Connection");
const QString SimpPath = QStringLiteral(".\\Languages\\Chinese-Simp.lng");
const QString EnglishPath = QStringLiteral(".\\Languages\\English.lng");

TEST_F(TOptionsTest, OpensInTheStoredLanguage) {
  Store(General, QStringLiteral("DisplayLanguage"), QStringLiteral("Chinese-Simp"));
  TfrmOptions& form = Open();
  EXPECT_EQ(LangFilePath, SimpPath);
  EXPECT_EQ(Find<QRadioButton>("rbSimp")->text(), QStringLiteral("简体中文"));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Options"));
}

TEST_F(TOptionsTest, APickSavesAtOnceAndRelocalisesTheDialog) {
  TfrmOptions& form = Open();
  ASSERT_EQ(Find<QPushButton>("btnDefault")->text(), QStringLiteral("Default"));
  Click("chkAutoCopy");

  PickLanguage(QStringLiteral("Chinese-Simp"));
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(Stored(General, QStringLiteral("DisplayLanguage")), QStringLiteral("Chinese-Simp"));
  EXPECT_EQ(Stored(General, QStringLiteral("AutoCopy")), QStringLiteral("1"))
      << "the pick saves every setting";
  EXPECT_EQ(LangFilePath, SimpPath);
  EXPECT_EQ(Find<QPushButton>("btnDefault")->text(), QStringLiteral("默认值"));
  EXPECT_EQ(Find<QGroupBox>("rgProxySettings")->title(), QStringLiteral("代理服务器设置"));
  EXPECT_EQ(Find<QLabel>("labAddress")->text(), QStringLiteral("地址："));
  EXPECT_EQ(TabText("tsConnection"), QStringLiteral("连接"));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Options"));
  EXPECT_EQ(Find<QComboBox>("cmbLang")->currentText(), QStringLiteral("Chinese-Simp"))
      << "the entries are file names, never translated";

  PickLanguage(QStringLiteral("English"));
  EXPECT_EQ(Stored(General, QStringLiteral("DisplayLanguage")), QStringLiteral("English"));
  EXPECT_EQ(Find<QPushButton>("btnDefault")->text(), QStringLiteral("Default"));
  EXPECT_EQ(Find<QGroupBox>("rgLang")->title(), QStringLiteral("Interface language setting"));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Options"));
}

TEST_F(TOptionsTest, APickWritesAnUnfinishedProxyAtOnceThoughTheDialogCannotClose) {
  SetManualProxy(QString(), QString());
  TfrmOptions& form = Open();
  PickLanguage(QStringLiteral("Chinese-Trad"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("NoProxy")), QStringLiteral("0"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("Address")), QString());
  form.close();
  EXPECT_TRUE(form.isVisible());
}

TEST_F(TOptionsTest, APickThatCannotBeSavedChangesNothingElse) {
  TfrmOptions& form = Open();
  LangFilePath = EnglishPath;
  SettingsFileName = ProgramPath(QStringLiteral("Blocked.ini"));
  ASSERT_TRUE(QDir().mkpath(SettingsFileName));
  PickLanguage(QStringLiteral("Chinese-Simp"));
  ASSERT_EQ(ShownBoxes().size(), 1);
  EXPECT_TRUE(ShownBoxes().front().Text.startsWith(QStringLiteral("Unable to write to ")));
  EXPECT_EQ(LangFilePath, EnglishPath);
  EXPECT_EQ(Find<QPushButton>("btnDefault")->text(), QStringLiteral("Default"));
  EXPECT_TRUE(form.isVisible());
}

TEST_F(TOptionsTest, DefaultThenOkStoresEnglishButKeepsTheLanguageInForce) {
  Store(General, QStringLiteral("DisplayLanguage"), QStringLiteral("Chinese-Simp"));
  Params.DisplayLanguage = QStringLiteral("Chinese-Simp");
  Params.AutoPaste = true;
  Params.AutoCopy = true;
  Params.ChineseLanguage = 1;
  SetManualProxy(QStringLiteral("127.0.0.1"), QStringLiteral("8080"));
  TfrmOptions& form = Open();
  const QString captionBefore = Find<QPushButton>("btnDefault")->text();
  ASSERT_EQ(captionBefore, QStringLiteral("默认值"));

  Click("btnDefault");
  EXPECT_FALSE(Find<QCheckBox>("chkAutoPaste")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("chkAutoCopy")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("rbSimp")->isChecked());
  EXPECT_EQ(Find<QComboBox>("cmbLang")->currentText(), QStringLiteral("English"));
  EXPECT_TRUE(Find<QRadioButton>("rbNoProxy")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>("rbManuallyProxy")->isChecked());
  EXPECT_TRUE(Find<QLineEdit>("edtAddress")->isReadOnly());
  EXPECT_EQ(Find<QLineEdit>("edtAddress")->text(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(Stored(General, QStringLiteral("AutoPaste")), std::nullopt) << "nothing written yet";
  EXPECT_EQ(Find<QPushButton>("btnDefault")->text(), captionBefore) << "not a pick";

  Click("btnOk");
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Stored(General, QStringLiteral("DisplayLanguage")), QStringLiteral("English"));
  EXPECT_EQ(Stored(General, QStringLiteral("AutoPaste")), QStringLiteral("0"));
  EXPECT_EQ(Stored(General, QStringLiteral("ChineseLanguage")), QStringLiteral("0"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("NoProxy")), QStringLiteral("1"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("Address")), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(LangFilePath, SimpPath);
}

TEST_F(TOptionsTest, DefaultLeavesNoSelectionWhenThereIsNoEnglishEntry) {
  ASSERT_TRUE(QFile::remove(ProgramPath(QStringLiteral("Languages/English.lng"))));
  Store(General, QStringLiteral("DisplayLanguage"), QStringLiteral("Chinese-Trad"));
  Params.DisplayLanguage = QStringLiteral("Chinese-Trad");
  Open();
  EXPECT_EQ(Find<QComboBox>("cmbLang")->currentText(), QStringLiteral("Chinese-Trad"));
  Click("btnDefault");
  EXPECT_EQ(Find<QComboBox>("cmbLang")->currentIndex(), -1);
}

// The list holds every entry the pattern matches, as the folder lists them.
TEST_F(TOptionsTest, TheListHoldsEveryMatchingEntryByItsBaseName) {
  const QDir languages(ProgramPath(QStringLiteral("Languages")));
  ASSERT_TRUE(QFile::remove(languages.filePath(QStringLiteral("Chinese-Trad.lng"))));
  for (const char* name : {".Hidden.lng", "Old.Deutsch.lng", "SHOUT.LNG", "notes.txt", "x.lngx"}) {
    QFile file(languages.filePath(QLatin1String(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  ASSERT_TRUE(languages.mkdir(QStringLiteral("Folder.lng")));
  ASSERT_TRUE(languages.mkdir(QStringLiteral("Other")));

  Open();
  const QStringList listed = FForm->ListLanguages();
  EXPECT_THAT(listed, ::testing::UnorderedElementsAre("English", "Chinese-Simp", ".Hidden",
                                                      "Old.Deutsch", "SHOUT", "Folder"));
  const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
  QStringList folderOrder;
  for (const QFileInfo& entry :
       languages.entryInfoList({QStringLiteral("*.lng")}, all, QDir::Unsorted))
    folderOrder.append(entry.completeBaseName());
  EXPECT_EQ(listed, folderOrder);
  auto* cmbLang = Find<QComboBox>("cmbLang");
  QStringList items;
  for (int i = 0; i < cmbLang->count(); ++i)
    items.append(cmbLang->itemText(i));
  EXPECT_EQ(items, listed);
}

TEST_F(TOptionsTest, WithoutLanguageFilesTheListIsEmptyAndAnEmptyNameIsSaved) {
  ASSERT_TRUE(QDir(ProgramPath(QStringLiteral("Languages"))).removeRecursively());
  TfrmOptions& form = Open();
  EXPECT_EQ(Find<QComboBox>("cmbLang")->count(), 0);
  EXPECT_EQ(Find<QPushButton>("btnDefault")->text(), QStringLiteral("Default"));
  Click("btnOk");
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Stored(General, QStringLiteral("DisplayLanguage")), QString());
}

// Language files hold plain text: a caption that looks like markup shows as
// written, its label wide enough for every written character.
class TOptionsCaptionTest : public TOptionsTest,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(TOptionsCaptionTest, ACaptionThatLooksLikeMarkupShowsAsWritten) {
  const QString caption = QString::fromUtf8(GetParam());
  ASSERT_TRUE(IniFile::Write(ProgramPath(QStringLiteral("Languages/English.lng")),
                             QStringLiteral("TfrmOptions"), QStringLiteral("labAddress_Caption"),
                             caption));
  Open();
  auto* labAddress = Find<QLabel>("labAddress");
  ASSERT_NE(labAddress, nullptr);
  EXPECT_EQ(labAddress->text(), caption);
  EXPECT_GE(labAddress->width(), labAddress->fontMetrics().horizontalAdvance(caption));
}

INSTANTIATE_TEST_SUITE_P(Markup, TOptionsCaptionTest,
                         ::testing::Values("Addr <b>bold</b>:", "one<br>two", "a &lt; b"));

} // namespace
