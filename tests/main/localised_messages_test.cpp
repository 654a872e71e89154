// The program's own messages in a Chinese interface: the whole text in the
// interface language, the system's reason too, in the one error box.
#include "main_test_support.h"

#include "core/app_title.h"
#include "core/system_reason.h"
#include "lang/display_language.h"
#include "lang/qt_translations.h"
#include "settings/settings.h"
#include "ui/main/open_dialog.h"
#include "ui/pane/pane_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cerrno>
#include <cstring>

namespace {

// Closes any message box that is not the program's error box (those only
// record under test), so that a wrong kind of box fails the test instead of
// waiting for a user.
class TStrayBoxes {
public:
  TStrayBoxes() {
    FTimer.setInterval(20);
    QObject::connect(&FTimer, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        Texts.append(box->text());
        box->done(QMessageBox::Ok);
      }
    });
    FTimer.start();
  }
  QStringList Texts;

private:
  QTimer FTimer;
};

class TLocalisedMessageTest;

struct TMessageRow {
  const char* Name;
  const char* Language;
  const char* Settings; // more of [Connection]
  // Does what makes the message; gives the path the message names.
  QString (*Act)(TLocalisedMessageTest& test);
  const char* Expected; // %1: that path
};

void PrintTo(const TMessageRow& row, std::ostream* os) {
  *os << row.Name;
}

class TLocalisedMessageTest : public TMainWindowTest,
                              public ::testing::WithParamInterface<TMessageRow> {
public:
  void TearDown() override {
    PaneDialogs::SetSaveFileNameHandlerForTesting({});
    UseQtTranslations(QString());
    TMainWindowTest::TearDown();
  }

  QString SaveSourceTo(const QString& relative) {
    const QString path = FFolder->Path(relative);
    PaneDialogs::SetSaveFileNameHandlerForTesting([path](const QString&) { return path; });
    Source()->SetBodyText(QStringLiteral("some words"));
    Source()->Editor()->setFocus();
    QTest::keySequence(Source()->Editor(), QKeySequence(QKeySequence::Save));
    return QDir::toNativeSeparators(path);
  }

  QString OpenFile(const QString& relative) {
    const QString path = FFolder->Path(relative);
    TOpenDialog::SetChooserForTesting([path](const TOpenDialog&) { return path; });
    QTest::mouseClick(Find<QPushButton>("btnOpen"), Qt::LeftButton);
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
  }
};

TEST_P(TLocalisedMessageTest, SaysItAllInTheInterfaceLanguageInTheErrorBox) {
  const TMessageRow& row = GetParam();
  ASSERT_TRUE(QDir(FFolder->Path()).mkpath(QStringLiteral("folder.html")));
  FFolder->WriteSettings(WithServer(QByteArray("[General]\nDisplayLanguage=") + row.Language) +
                         row.Settings);
  TStrayBoxes strays;
  Start();
  const QString path = row.Act(*this);
  EXPECT_TRUE(WaitFor([] { return !ShownBoxes().isEmpty(); }));
  ASSERT_EQ(ShownBoxes().size(), 1) << strays.Texts.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(ShownBoxes()[0].Caption, ApplicationTitle());
  EXPECT_EQ(ShownBoxes()[0].Text, QString::fromUtf8(row.Expected).arg(path));
  EXPECT_TRUE(strays.Texts.isEmpty()) << strays.Texts.join(QLatin1Char('\n')).toStdString();
  ShownBoxes().clear();
}

INSTANTIATE_TEST_SUITE_P(
    Messages, TLocalisedMessageTest,
    ::testing::Values(TMessageRow{"SaveIntoAMissingFolder", "Chinese-Simp", "",
                                  [](TLocalisedMessageTest& test) {
                                    return test.SaveSourceTo(QStringLiteral("missing/x.html"));
                                  },
                                  "无法保存“%1”：找不到该文件或文件夹。"},
                      TMessageRow{"SaveOverAFolder", "Chinese-Trad", "",
                                  [](TLocalisedMessageTest& test) {
                                    return test.SaveSourceTo(QStringLiteral("folder.html"));
                                  },
                                  "無法儲存「%1」：它是一個資料夾。"},
                      TMessageRow{"OpenAFolder", "Chinese-Simp", "",
                                  [](TLocalisedMessageTest& test) {
                                    return test.OpenFile(QStringLiteral("folder.html"));
                                  },
                                  "无法打开“%1”：它不是普通文件（而是文件夹、管道或设备）。"},
                      TMessageRow{"ProxyWithAPath", "Chinese-Trad",
                                  "NoProxy=0\nAddress=http://proxy.invalid/x\nPort=8080\n",
                                  [](TLocalisedMessageTest&) {
                                    return QStringLiteral("http://proxy.invalid/x");
                                  },
                                  "「%1」不是有效的代理伺服器位址：請只填寫主機名稱或 IP 位址。"},
                      TMessageRow{"SaveIntoAMissingFolderInEnglish", "English", "",
                                  [](TLocalisedMessageTest& test) {
                                    return test.SaveSourceTo(QStringLiteral("missing/x.html"));
                                  },
                                  "Cannot save \"%1\": no such file or folder."}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TMainWindowTest, CommonSystemReasonsComeInTheInterfaceLanguage) {
  FFolder->WriteSettings("[General]\nDisplayLanguage=Chinese-Trad\n");
  SettingsFileName = FFolder->SettingsFile();
  SelectDisplayLanguage();
  EXPECT_EQ(SystemReason(ENOENT), QStringLiteral("找不到該檔案或資料夾"));
  EXPECT_EQ(SystemReason(EACCES), QStringLiteral("權限不足"));
  EXPECT_EQ(SystemReason(EISDIR), QStringLiteral("它是一個資料夾"));
  EXPECT_EQ(SystemReason(ENOSPC), QStringLiteral("磁碟已滿"));
  EXPECT_EQ(SystemReason(EROFS), QStringLiteral("檔案系統為唯讀"));
  EXPECT_EQ(SystemReason(EIO), QString::fromLocal8Bit(std::strerror(EIO)));
}

} // namespace
