// Saves a picture of the main window after a translation, and of the error
// boxes of a failed save and open, as a user sees them,
// skin and language files included, for the README and for checking the
// layout by eye. A local server stands in for the translation service, so
// nothing leaves the machine. Run it from the build's bin folder, which holds
// the data files, under a display (xvfb-run) or offscreen:
//   main_screenshots <output folder> [language ...]
// QT_SCALE_FACTOR=2 gives the HiDPI pictures, saved with "@2x" in the name.
#include "app/application.h"
#include "core/app_title.h"
#include "core/product_info.h"
#include "lang/display_language.h"
#include "screenshot_names.h"
#include "settings/program_dir.h"
#include "settings/settings.h"
#include "test_http_server.h"
#include "ui/main/frm_Main.h"
#include "ui/main/loading_animation.h"
#include "ui/main/open_dialog.h"
#include "ui/pane/pane_dialogs.h"
#include "ui/pane/prof_dhtml_edit.h"
#include "wait_for.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

namespace {

// What the user types; the line break is typed with Enter.
const QStringList SourceLines = {
    QStringLiteral("Tralvesco translates between English and Chinese."),
    QStringLiteral("Type or paste your text in the upper pane and press Translate. "
                   "The translation appears below."),
};

// The service answers sentence by sentence, the line break kept with the
// sentence before it.
QByteArray ServiceReply() {
  const QList<QPair<QString, QString>> sentences = {
      {QStringLiteral("Tralvesco 可在英语和汉语之间互译。\r\n"),
       QStringLiteral("Tralvesco translates between English and Chinese.\r\n")},
      {QStringLiteral("在上方窗格中输入或粘贴文本，然后按“翻译”。"),
       QStringLiteral("Type or paste your text in the upper pane and press Translate. ")},
      {QStringLiteral("译文将显示在下方。"), QStringLiteral("The translation appears below.")},
  };
  QJsonArray array;
  for (const auto& [trans, orig] : sentences)
    array.append(QJsonObject{{QStringLiteral("trans"), trans},
                             {QStringLiteral("orig"), orig},
                             {QStringLiteral("backend"), 1}});
  const QJsonObject reply{{QStringLiteral("sentences"), array},
                          {QStringLiteral("src"), QStringLiteral("en")}};
  return QJsonDocument(reply).toJson(QJsonDocument::Compact);
}

// A program folder of its own, so the program's real settings stay as they
// are: copies of the language files, the skin and the resource module.
bool CopyProgramFiles(const QString& from, const QString& to) {
  bool ok = QDir(to).mkpath(QStringLiteral("Languages"));
  const QDir languages(from + QStringLiteral("Languages"));
  for (const QString& name : languages.entryList({QStringLiteral("*.lng")}, QDir::Files))
    ok &= QFile::copy(languages.filePath(name), to + QStringLiteral("/Languages/") + name);
  for (const QString& name : {QStringLiteral("aero.she"), ResourceModuleName})
    ok &= QFile::copy(from + name, to + QLatin1Char('/') + name);
  return ok;
}

bool WriteSettings(const QString& path, const QString& language, const QString& server) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return false;
  const QString text = QStringLiteral("[General]\nDisplayLanguage=%1\n\n[Connection]\nServer=%2\n")
                           .arg(language, server);
  return file.write(text.toUtf8()) >= 0;
}

bool Fail(const char* what, const QString& language) {
  std::fprintf(stderr, "FAILED (%s): %s\n", qPrintable(language), what);
  return false;
}

// Presses the key under the window and saves the message box it brings up,
// then closes the box.
bool ShootBox(QWidget& window, const QKeySequence& key, const QString& path) {
  bool saved = false;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      if (!box->isVisible())
        return;
      QCoreApplication::processEvents();
      saved = box->grab().save(path);
      box->done(QMessageBox::Ok);
    }
  });
  poll.start();
  // A box closed before leaves the window to be activated again.
  window.activateWindow();
  if (!QTest::qWaitForWindowActive(&window))
    return false;
  QTest::keySequence(&window, key);
  std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
  return saved;
}

bool Shoot(const QString& programDir, const QString& language, const QString& path) {
  QTemporaryDir folder;
  if (!CopyProgramFiles(programDir, folder.path()))
    return Fail("copying the program files", language);
  TTestHttpServer server;
  server.SetResponse(TTestResponse::Ok(ServiceReply()));
  if (!WriteSettings(folder.filePath(QStringLiteral("Tralvesco.ini")), language, server.Url()))
    return Fail("writing the settings", language);
  SetProgramDirForTesting(folder.path());
  Params = TParams();

  bool ok = true;
  {
    TfrmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
      return Fail("showing the window", language);
    window.activateWindow();
    auto* source = window.findChild<TProfDHTMLEdit2*>(QStringLiteral("E1"));
    auto* target = window.findChild<TProfDHTMLEdit2*>(QStringLiteral("e2"));
    auto* translate = window.findChild<QPushButton*>(QStringLiteral("btnTranslate"));
    if (!source || !target || !translate)
      return Fail("finding the panes and the button", language);
    if (!WaitFor([&] { return !source->Busy() && !target->Busy(); }))
      return Fail("waiting for the panes", language);

    QTextEdit* editor = source->Editor();
    editor->setFocus();
    for (qsizetype i = 0; i < SourceLines.size(); ++i) {
      if (i > 0)
        QTest::keyClick(editor, Qt::Key_Return);
      QTest::keyClicks(editor, SourceLines[i]);
    }
    QTest::mouseClick(translate, Qt::LeftButton);
    if (!WaitFor([&] { return !window.Translating() && !target->BodyText().isEmpty(); }))
      return Fail("waiting for the translation", language);
    if (server.RequestCount() != 1 || !target->BodyText().contains(QStringLiteral("译文")))
      return Fail("translating", language);
    QCoreApplication::processEvents();

    ok = window.grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));

    // The boxes a failed save and a folder given to open bring up.
    const QString missing = folder.filePath(QStringLiteral("missing/notes.html"));
    PaneDialogs::SetSaveFileNameHandlerForTesting([missing](const QString&) { return missing; });
    editor->setFocus();
    const QString boxes = QFileInfo(path).path() + QLatin1Char('/');
    const QString suffix = QFileInfo(path).fileName().mid(QStringLiteral("main").size());
    ok &= ShootBox(window, QKeySequence::Save, boxes + QStringLiteral("error-save") + suffix);
    PaneDialogs::SetSaveFileNameHandlerForTesting({});
    TOpenDialog::SetChooserForTesting(
        [&folder](const TOpenDialog&) { return folder.filePath(QStringLiteral("Languages")); });
    ok &= ShootBox(window, QKeySequence::Open, boxes + QStringLiteral("error-open") + suffix);
    TOpenDialog::SetChooserForTesting({});
  }
  qApp->setStyleSheet(QString());
  SetProgramDirForTesting({});
  SettingsFileName.clear();
  LangFilePath.clear();
  return ok;
}

} // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.isEmpty()) {
    std::fprintf(stderr, "usage: main_screenshots <output folder> [language ...]\n");
    return 2;
  }
  SetApplicationTitle(ProductInfo::Title);
  const QDir out(args.front());
  QDir().mkpath(out.path());
  QStringList languages = args.mid(1);
  if (languages.isEmpty())
    languages = {QStringLiteral("English"), QStringLiteral("Chinese-Simp")};
  const QString scale = app.devicePixelRatio() > 1 ? QStringLiteral("@2x") : QString();

  // The build's bin folder, before the program is pointed at each copy.
  const QString programDir = ProgramDir();
  bool ok = true;
  for (const QString& language : languages)
    ok &= Shoot(programDir, language,
                out.filePath(QStringLiteral("main-") + ScreenshotTag(language) + scale +
                             QStringLiteral(".png")));
  return ok ? 0 : 1;
}
