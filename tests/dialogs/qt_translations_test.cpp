// Qt's own texts follow the interface language: picked in the options, the
// language file brings Qt's translation with it, and English takes it away.
#include "lang/display_language.h"
#include "options_test_support.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The texts of the boxes and dialogs Qt makes for the program.
struct TQtTexts {
  QString Ok;         // a message box's OK, as the error box has
  QString OpenFile;   // a file dialog's accept button
  QString CancelFile; // and its cancel button
  bool operator==(const TQtTexts&) const = default;
};

void PrintTo(const TQtTexts& texts, std::ostream* os) {
  *os << texts.Ok.toStdString() << " | " << texts.OpenFile.toStdString() << " | "
      << texts.CancelFile.toStdString();
}

TQtTexts MadeNow() {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("caption"), QStringLiteral("text"),
                  QMessageBox::Ok);
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  return {box.button(QMessageBox::Ok)->text(), dialog.labelText(QFileDialog::Accept),
          dialog.labelText(QFileDialog::Reject)};
}

TEST_F(TOptionsTest, QtsOwnTextsSwitchWithThePickedLanguage) {
  const TQtTexts english{QStringLiteral("OK"), QStringLiteral("&Open"), QStringLiteral("Cancel")};
  Open();
  EXPECT_EQ(MadeNow(), english);

  PickLanguage(QStringLiteral("Chinese-Simp"));
  EXPECT_EQ(MadeNow(),
            (TQtTexts{QStringLiteral("确定"), QStringLiteral("打开(&O)"), QStringLiteral("取消")}));

  PickLanguage(QStringLiteral("Chinese-Trad"));
  EXPECT_EQ(MadeNow(),
            (TQtTexts{QStringLiteral("確定"), QStringLiteral("開啟(&O)"), QStringLiteral("取消")}));

  PickLanguage(QStringLiteral("English"));
  EXPECT_EQ(MadeNow(), english);
}

// A language file is known by its contents, not its name: one named in any
// way, in any letter case, is listed, loaded, and brings Qt's translation for
// its FontCharset.
struct TNamedFile {
  const char* Name;
  const char* FileName; // in Languages/
  const char* Shipped;  // the shipped file it is a copy of
  const char* Caption;  // the dialog's "Default" button in that file
  const char* QtOk;     // Qt's OK in that language
};

void PrintTo(const TNamedFile& row, std::ostream* os) {
  *os << row.Name;
}

class TLanguageFileNameTest : public TOptionsTest,
                              public ::testing::WithParamInterface<TNamedFile> {};

TEST_P(TLanguageFileNameTest, IsListedLoadedAndTranslatesQt) {
  const TNamedFile& row = GetParam();
  ASSERT_TRUE(
      QFile::copy(DataDir() + QStringLiteral("/Languages/") + row.Shipped + QStringLiteral(".lng"),
                  ProgramPath(QStringLiteral("Languages/") + QString::fromUtf8(row.FileName))));
  const QString language = QString::fromUtf8(row.FileName).chopped(4);
  Open();
  PickLanguage(language);
  EXPECT_EQ(Stored(QStringLiteral("General"), QStringLiteral("DisplayLanguage")), language);
  EXPECT_EQ(Find<QPushButton>("btnDefault")->text(), QString::fromUtf8(row.Caption));
  EXPECT_EQ(MadeNow().Ok, QString::fromUtf8(row.QtOk));

  // Opened again, the stored name finds the same file.
  FForm.reset();
  Open();
  EXPECT_EQ(Find<QPushButton>("btnDefault")->text(), QString::fromUtf8(row.Caption));
  PickLanguage(QStringLiteral("English"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, TLanguageFileNameTest,
    ::testing::Values(
        TNamedFile{"TraditionalUnderItsOwnName", "繁體中文.lng", "Chinese-Trad", "預設值", "確定"},
        TNamedFile{"SimplifiedUnderAnotherName", "Putonghua.lng", "Chinese-Simp", "默认值", "确定"},
        TNamedFile{"UpperCaseExtension", "Upper.LNG", "Chinese-Simp", "默认值", "确定"},
        TNamedFile{"EnglishUnderAnotherName", "British.lng", "English", "Default", "OK"}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
