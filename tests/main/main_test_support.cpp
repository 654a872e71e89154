#include "main_test_support.h"

#include "app/application.h"
#include "lang/display_language.h"
#include "settings/ini_file.h"
#include "settings/program_dir.h"
#include "settings/settings.h"
#include "ui/main/frm_Main.h"
#include "ui/main/loading_animation.h"
#include "ui/main/open_dialog.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <algorithm>

namespace {
const QString DataDir = QStringLiteral(TRALVESCO_DATA_DIR);
} // namespace

TProgramFolder::TProgramFolder() {
  const QDir dir(FDir.path());
  dir.mkpath(QStringLiteral("Languages"));
  for (const char* name : {"Languages/English.lng", "Languages/Chinese-Simp.lng",
                           "Languages/Chinese-Trad.lng", "aero.she"})
    QFile::copy(DataDir + QLatin1Char('/') + QLatin1String(name), Path(QLatin1String(name)));
  InstallResourceModule();
}

void TProgramFolder::InstallResourceModule() const {
  QFile::copy(QStringLiteral(TEST_MODULE_DIR "/") + ResourceModuleName, Path(ResourceModuleName));
}

QString TProgramFolder::Path(const QString& name) const {
  return FDir.path() + QLatin1Char('/') + name;
}

void TProgramFolder::WriteSettings(const QByteArray& text) const {
  QFile file(SettingsFile());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

std::optional<QString> TProgramFolder::Setting(const QString& section, const QString& key) const {
  return IniFile::Read(SettingsFile(), section, key);
}

void TProgramFolder::RemoveResourceModule() const {
  QFile::remove(Path(ResourceModuleName));
}

void TProgramFolder::WriteLanguage(const QString& name, const QByteArray& text) const {
  QFile file(Path(QStringLiteral("Languages/") + name + QStringLiteral(".lng")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

void TMainWindowTest::SetUp() {
  Params = TParams{};
  ShownBoxes().clear();
  FFolder = std::make_unique<TProgramFolder>();
  SetProgramDirForTesting(FFolder->Path());
  FFolder->WriteSettings(WithServer("[General]\nDisplayLanguage=English\n"));
}

void TMainWindowTest::TearDown() {
  FWindow.reset();
  qApp->setStyleSheet(QString());
  TOpenDialog::SetChooserForTesting({});
  SetProgramDirForTesting({});
  SettingsFileName.clear();
  LangFilePath.clear();
  Params = TParams{};
}

QByteArray TMainWindowTest::WithServer(const QByteArray& settings) const {
  return settings + "\n[Connection]\nServer=" + FServer.Url().toUtf8() + "\n";
}

void TMainWindowTest::Start() {
  FWindow = std::make_unique<TfrmMain>();
  FWindow->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
  FWindow->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(FWindow.get()));
  ASSERT_TRUE(WaitFor([this] { return !Source()->Busy() && !Target()->Busy(); }));
}

TProfDHTMLEdit2* TMainWindowTest::Source() const {
  return Find<TProfDHTMLEdit2>("E1");
}

TProfDHTMLEdit2* TMainWindowTest::Target() const {
  return Find<TProfDHTMLEdit2>("e2");
}

namespace {

// Text beyond ASCII arrives as an input method's commit, as a Chinese input
// method delivers it; key clicks only know the ASCII keys.
void TypeLine(QTextEdit* editor, const QString& line) {
  const bool ascii =
      std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 0x80; });
  if (ascii) {
    QTest::keyClicks(editor, line);
    return;
  }
  QInputMethodEvent commit;
  commit.setCommitString(line);
  QCoreApplication::sendEvent(editor, &commit);
}

} // namespace

void TMainWindowTest::TypeSource(const QString& text) const {
  QTextEdit* editor = Source()->Editor();
  editor->setFocus();
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0)
      QTest::keyClick(editor, Qt::Key_Return);
    TypeLine(editor, lines[i]);
  }
}

void TMainWindowTest::ClickTranslate() const {
  QTest::mouseClick(Find<QPushButton>("btnTranslate"), Qt::LeftButton);
}

QList<QByteArray> TMainWindowTest::SentTexts() const {
  QList<QByteArray> texts;
  for (const TRecordedRequest& request : FServer.Requests())
    texts.append(request.QueryItem("text").value_or(QByteArray()));
  return texts;
}

QByteArray ServiceReply(const QList<QByteArray>& pieces) {
  QByteArray reply = R"({"sentences":[)";
  for (qsizetype i = 0; i < pieces.size(); ++i) {
    if (i > 0)
      reply += ',';
    reply += R"({"trans":")" + pieces[i] + R"(","orig":"x"})";
  }
  return reply + R"(],"src":"en"})";
}
