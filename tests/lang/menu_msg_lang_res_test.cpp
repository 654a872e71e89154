#include "lang/menu_lang_res.h"
#include "lang/msg_lang_res.h"
#include "lang_test_support.h"
#include "sample_form.h"
#include "settings/ini_file.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

class TMenuLangResTest : public TLangTest {
protected:
  void SetUp() override {
    TLangTest::SetUp();
    pmHelp = new QMenu(&FForm);
    pmHelp->setObjectName(QStringLiteral("pmHelp"));
    miOptions = Item(pmHelp, "miOptions", "Options");
    N1 = pmHelp->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    miMore = Item(pmHelp, "miMore", "More");
    auto* sub = new QMenu(pmHelp);
    miMore->setMenu(sub);
    miWebSite = Item(sub, "miWebSite", "Visit Home");
    // A separator made the old way: an item whose caption is "-".
    N2 = Item(pmHelp, "N2", "-");
    auto* underDash = new QMenu(pmHelp);
    N2->setMenu(underDash);
    miHidden = Item(underDash, "miHidden", "Hidden");
    miAbout = Item(pmHelp, "miAbout", "About");
  }

  static QAction* Item(QMenu* menu, const char* name, const char* text) {
    QAction* item = menu->addAction(QLatin1String(text));
    item->setObjectName(QLatin1String(name));
    return item;
  }

  TsmlMenuLangRes* Localiser() {
    auto* sml = new TsmlMenuLangRes(&FForm);
    sml->SetAutoCreateMode(false);
    sml->SetMenu(pmHelp);
    sml->SetActive(true);
    return sml;
  }

  TfrmSample FForm;
  QMenu* pmHelp = nullptr;
  QAction* miOptions = nullptr;
  QAction* N1 = nullptr;
  QAction* miMore = nullptr;
  QAction* miWebSite = nullptr;
  QAction* N2 = nullptr;
  QAction* miHidden = nullptr;
  QAction* miAbout = nullptr;
};

TEST_F(TMenuLangResTest, ItemsAndSubItemsTakeTheirCaptions) {
  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\n"
                                      "miOptions_Caption=Optionen\n"
                                      "miMore_Caption=Mehr\n"
                                      "miWebSite_Caption=Startseite besuchen\n"
                                      "N2_Caption=Kein Trenner\n"
                                      "miHidden_Caption=Falsch\n"
                                      "miAbout_Caption=\n");
  Localiser()->SetLangFileName(QStringLiteral(".\\Languages\\de.lng"));
  EXPECT_EQ(miOptions->text(), QStringLiteral("Optionen"));
  EXPECT_EQ(miMore->text(), QStringLiteral("Mehr"));
  EXPECT_EQ(miWebSite->text(), QStringLiteral("Startseite besuchen"));
  EXPECT_EQ(N2->text(), QStringLiteral("-"));
  EXPECT_EQ(miHidden->text(), QStringLiteral("Hidden"));
  EXPECT_EQ(miAbout->text(), QStringLiteral("About"));
}

TEST_F(TMenuLangResTest, SeparatorsAreNeverLookedUp) {
  auto* sml = new TsmlMenuLangRes(&FForm);
  sml->SetLangFileName(QStringLiteral(".\\Languages\\Template.lng"));
  sml->SetMenu(pmHelp);
  sml->SetActive(true);
  const QString file = ProgramPath(QStringLiteral("Languages/Template.lng"));
  const auto has = [&](const char* key) {
    return IniFile::Read(file, QStringLiteral("TfrmSample"), QLatin1String(key)).has_value();
  };
  EXPECT_TRUE(has("miOptions_Caption"));
  EXPECT_TRUE(has("miWebSite_Caption"));
  EXPECT_TRUE(has("miAbout_Caption"));
  EXPECT_FALSE(has("N1_Caption"));
  EXPECT_FALSE(has("N2_Caption"));
  EXPECT_FALSE(has("miHidden_Caption"));
}

TEST_F(TMenuLangResTest, ADestroyedMenuIsForgotten) {
  TsmlMenuLangRes* sml = Localiser();
  delete pmHelp;
  EXPECT_EQ(sml->Menu(), nullptr);
  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\nmiOptions_Caption=Optionen\n");
  EXPECT_NO_THROW(sml->SetLangFileName(QStringLiteral("Languages/de.lng")));
}

TEST_F(TMenuLangResTest, AMenuBarWorksLikeAPopUpMenu) {
  auto* bar = new QMenuBar(&FForm);
  QAction* miFile = bar->addAction(QStringLiteral("File"));
  miFile->setObjectName(QStringLiteral("miFile"));
  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\nmiFile_Caption=&Datei\n");
  auto* sml = new TsmlMenuLangRes(&FForm);
  sml->SetAutoCreateMode(false);
  sml->SetLangFileName(QStringLiteral("Languages/de.lng"));
  sml->SetActive(true);
  EXPECT_EQ(miFile->text(), QStringLiteral("File")) << "no menu yet";
  sml->SetMenu(bar);
  EXPECT_EQ(miFile->text(), QStringLiteral("&Datei"));
}

class TMsgLangResTest : public TLangTest {
protected:
  TsmlMsgLangRes* Localiser() {
    auto* sml = new TsmlMsgLangRes(&FForm);
    sml->SetAutoCreateMode(false);
    sml->SetMsgList({QStringLiteral("strInfomation=Information"),
                     QStringLiteral("strEnglish=English"), QStringLiteral("strChinese=Chinese")});
    sml->SetActive(true);
    return sml;
  }

  TfrmSample FForm;
};

TEST_F(TMsgLangResTest, NamesAreFoundWithoutRegardToCase) {
  TsmlMsgLangRes* sml = Localiser();
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strEnglish")), QStringLiteral("English"));
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("STRENGLISH")), QStringLiteral("English"));
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strFrench")), QString());
}

TEST_F(TMsgLangResTest, AMessageKeepsTheLastTextAnyFileGave) {
  WriteLang(
      QStringLiteral("zh.lng"),
      "[TfrmSample]\nstrEnglish=\xE8\x8B\xB1\xE6\x96\x87\nstrChinese=<\xE4\xB8\xAD\xE6\x96\x87>\n");
  WriteLang(QStringLiteral("fr.lng"), "[TfrmSample]\nstrEnglish=\nstrInfomation=Renseignements\n");
  TsmlMsgLangRes* sml = Localiser();
  sml->SetLangFileName(QStringLiteral("Languages/zh.lng"));
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strEnglish")), QStringLiteral("英文"));
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strChinese")), QStringLiteral("中文"));
  sml->SetLangFileName(QStringLiteral("Languages/fr.lng"));
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strEnglish")), QStringLiteral("英文"));
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strChinese")), QStringLiteral("中文"));
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strInfomation")), QStringLiteral("Renseignements"));
  EXPECT_EQ(sml->MsgList().size(), 3);
}

TEST_F(TMsgLangResTest, LookingUpNeverReadsTheFile) {
  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\nstrEnglish=Englisch\n");
  TsmlMsgLangRes* sml = Localiser();
  sml->SetLangFileName(QStringLiteral("Languages/de.lng"));
  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\nstrEnglish=Anders\n");
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strEnglish")), QStringLiteral("Englisch"));
}

TEST_F(TMsgLangResTest, ANewListIsAppliedAtOnceAndOddLinesAreTolerated) {
  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\nstrYes=Ja\nstrBare=Nackt\n");
  TsmlMsgLangRes* sml = Localiser();
  sml->SetLangFileName(QStringLiteral("Languages/de.lng"));
  sml->SetMsgList({QStringLiteral("strYes=Yes"), QStringLiteral("strBare"),
                   QStringLiteral("=nameless"), QStringLiteral("strEq=a=b")});
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strYes")), QStringLiteral("Ja"));
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strBare")), QStringLiteral("Nackt"));
  EXPECT_EQ(sml->GetMsgText(QStringLiteral("strEq")), QStringLiteral("a=b"));
  EXPECT_EQ(sml->MsgList().at(2), QStringLiteral("=nameless"));
}

TEST_F(TMsgLangResTest, WriteBackListsEveryMessage) {
  auto* sml = new TsmlMsgLangRes(&FForm);
  sml->SetMsgList({QStringLiteral("strEnglish=English"), QStringLiteral("strEmpty=")});
  sml->SetLangFileName(QStringLiteral("Languages/Template.lng"));
  sml->SetActive(true);
  const QString file = ProgramPath(QStringLiteral("Languages/Template.lng"));
  EXPECT_EQ(IniFile::Read(file, QStringLiteral("TfrmSample"), QStringLiteral("strEnglish")),
            QStringLiteral("English"));
  EXPECT_EQ(IniFile::Read(file, QStringLiteral("TfrmSample"), QStringLiteral("strEmpty")),
            QString());
}

} // namespace
