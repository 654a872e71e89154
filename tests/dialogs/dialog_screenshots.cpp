// Saves pictures of the options dialog (both pages) and the About box as a
// user sees them, skin and language files included, for the README and for
// checking the layouts by eye. Run it from the build's bin folder, which
// holds the data files, under a display (xvfb-run) or offscreen:
//   dialog_screenshots <output folder> [language ...]
// QT_SCALE_FACTOR=2 gives the HiDPI pictures, saved with "@2x" in the name.
#include "app/application.h"
#include "app/skin.h"
#include "screenshot_names.h"
#include "settings/settings.h"
#include "ui/dialogs/frm_About.h"
#include "ui/dialogs/frm_Options.h"

#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

bool Save(QWidget& window, const QString& path) {
  window.show();
  if (!QTest::qWaitForWindowExposed(&window))
    return false;
  QCoreApplication::processEvents();
  const bool saved = window.grab().save(path);
  std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
  return saved;
}

} // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.isEmpty()) {
    std::fprintf(stderr, "usage: dialog_screenshots <output folder> [language ...]\n");
    return 2;
  }
  const QDir out(args.front());
  QDir().mkpath(out.path());
  QStringList languages = args.mid(1);
  if (languages.isEmpty())
    languages = {QStringLiteral("English"), QStringLiteral("Chinese-Simp")};
  const QString scale = app.devicePixelRatio() > 1 ? QStringLiteral("@2x") : QString();

  // Settings of its own, so the program's real ones stay as they are.
  QTemporaryDir settings;
  SettingsFileName = settings.filePath(QStringLiteral("Tralvesco.ini"));
  SkinH_AttachEx(QStringLiteral("aero.she"), QString());

  bool ok = true;
  for (const QString& language : languages) {
    IniWriteString(SettingsFileName, QStringLiteral("General"), QStringLiteral("DisplayLanguage"),
                   language);
    Params = TParams();
    Params.AutoCopy = true;
    Params.DisplayLanguage = language;
    Params.NoProxy = false;
    Params.Address = QStringLiteral("127.0.0.1");
    Params.Port = QStringLiteral("8080");
    Params.UserName = QStringLiteral("reader");
    Params.Password = QStringLiteral("secret");
    const QString tag = ScreenshotTag(language) + scale + QStringLiteral(".png");

    TfrmOptions options;
    ok &= Save(options, out.filePath(QStringLiteral("options-general-") + tag));
    options.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    ok &= Save(options, out.filePath(QStringLiteral("options-connection-") + tag));

    TfrmAbout about;
    ok &= Save(about, out.filePath(QStringLiteral("about-") + tag));
  }
  return ok ? 0 : 1;
}
