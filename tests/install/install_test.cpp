// An installed copy: `cmake --install` through DESTDIR into a temporary
// folder, under /usr as a package puts it; then what the validators, a user
// at a shell and a desktop see of it.
#include "application_test_support.h"
#include "core/product_info.h"
#include "lang/display_language.h"
#include "settings/ini_file.h"
#include "settings/program_dir.h"
#include "settings/settings.h"
#include "ui/dialogs/frm_Options.h"
#include "ui/main/frm_Main.h"
#include "ui/main/loading_animation.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMovie>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString Id = ProductInfo::DesktopId;

struct TRun {
  int ExitCode = -1;
  QString Out;
  QString Err;
};

TRun RunTool(const QString& program, const QStringList& arguments,
             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(program, arguments);
  TRun run;
  if (!process.waitForStarted() || !process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    run.Err = QStringLiteral("did not run: ") + program;
    return run;
  }
  run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.Out = QString::fromUtf8(process.readAllStandardOutput());
  run.Err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

// Ends a process this test started, and waits for it.
struct TStopper {
  QProcess& Process;
  ~TStopper() {
    if (Process.state() != QProcess::NotRunning) {
      Process.kill();
      Process.waitForFinished();
    }
  }
};

// Starts Xvfb on a display it picks itself and answers that display once a
// client can connect to it. Without -noreset the server resets whenever its
// last client leaves (the probe below, or xdotool), and a program connecting
// during the reset is refused. A server that cannot be reached is stopped
// and another one tried.
QString StartPrivateDisplay(QProcess& xvfb) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (xvfb.state() != QProcess::NotRunning) {
      xvfb.kill();
      xvfb.waitForFinished();
    }
    xvfb.start(QStringLiteral("Xvfb"),
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("1024x768x24")});
    if (!xvfb.waitForStarted())
      continue;
    if (!WaitFor([&] { return xvfb.canReadLine() || xvfb.state() != QProcess::Running; }, 30000) ||
        !xvfb.canReadLine())
      continue;
    const QString display = QLatin1Char(':') + QString::fromLatin1(xvfb.readLine()).trimmed();
    const bool reachable = WaitFor(
        [&] {
          return xvfb.state() != QProcess::Running ||
                 RunTool(QStringLiteral("xdpyinfo"), {QStringLiteral("-display"), display})
                         .ExitCode == 0;
        },
        10000);
    if (reachable && xvfb.state() == QProcess::Running)
      return display;
  }
  return {};
}

class TInstalledTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    FRoot = std::make_unique<QTemporaryDir>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), FRoot->path());
    FInstall = RunTool(QStringLiteral(CMAKE_COMMAND),
                       {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                        QStringLiteral("--prefix"), QStringLiteral("/usr")},
                       env);
  }
  static void TearDownTestSuite() { FRoot.reset(); }
  void SetUp() override {
    ASSERT_EQ(FInstall.ExitCode, 0) << FInstall.Out.toStdString() << FInstall.Err.toStdString();
  }

  static QString Usr(const QString& relative) { return FRoot->path() + "/usr/" + relative; }
  static QString Program() { return Usr(QStringLiteral("bin/") + ProductInfo::ProgramName); }

  static std::unique_ptr<QTemporaryDir> FRoot;
  static TRun FInstall;
};
std::unique_ptr<QTemporaryDir> TInstalledTest::FRoot;
TRun TInstalledTest::FInstall;

// --- the layout -----------------------------------------------------------

// Exactly these files, nothing forgotten and nothing extra; each rendered
// icon has the size its folder names.
TEST_F(TInstalledTest, LaysOutItsFilesWhereTheDesktopLooks) {
  QStringList expected{QStringLiteral("bin/tralvesco"),
                       QStringLiteral("share/tralvesco/Languages/English.lng"),
                       QStringLiteral("share/tralvesco/Languages/Chinese-Simp.lng"),
                       QStringLiteral("share/tralvesco/Languages/Chinese-Trad.lng"),
                       QStringLiteral("share/tralvesco/aero.she"),
                       QStringLiteral("share/tralvesco/KorvalineSys.DLL"),
                       QStringLiteral("share/applications/%1.desktop").arg(Id),
                       QStringLiteral("share/metainfo/%1.metainfo.xml").arg(Id),
                       QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(Id),
                       QStringLiteral("share/doc/tralvesco/copyright"),
                       QStringLiteral("share/doc/tralvesco/changelog.gz"),
                       QStringLiteral("share/doc/tralvesco/changelog.Debian.gz"),
                       QStringLiteral("share/man/man1/tralvesco.1.gz"),
                       QStringLiteral("share/lintian/overrides/tralvesco")};
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
    expected.append(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(Id));
  expected.sort();

  QStringList installed;
  QDirIterator files(Usr({}), QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const QString path = files.next();
    installed.append(path.mid(Usr({}).size()));
    if (path.endsWith(QLatin1String(".png"))) {
      const int size =
          path.section(QLatin1Char('/'), -3, -3).section(QLatin1Char('x'), 0, 0).toInt();
      EXPECT_EQ(QImage(path).size(), QSize(size, size)) << path.toStdString();
    }
  }
  installed.sort();
  EXPECT_EQ(installed, expected);
  EXPECT_TRUE(QFileInfo(Program()).isExecutable());
}

TEST_F(TInstalledTest, TheValidatorsFindNothingToSay) {
  const TRun desktop = RunTool(QStringLiteral("desktop-file-validate"),
                               {Usr(QStringLiteral("share/applications/%1.desktop").arg(Id))});
  EXPECT_EQ(desktop.ExitCode, 0);
  EXPECT_EQ(desktop.Out + desktop.Err, QString());

  const TRun metainfo = RunTool(QStringLiteral("appstreamcli"),
                                {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                 Usr(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(Id))});
  EXPECT_EQ(metainfo.ExitCode, 0) << metainfo.Out.toStdString();
  // Errors and warnings are lines "E: …" and "W: …"; infos and pedantic
  // remarks would be "I:" and "P:", and there are none of those either.
  const QString said = metainfo.Out + metainfo.Err;
  EXPECT_FALSE(said.contains(
      QRegularExpression(QStringLiteral("^[EWIP]: "), QRegularExpression::MultilineOption)))
      << said.toStdString();
}

// --- the installed program --------------------------------------------------

TEST_F(TInstalledTest, AnswersVersionAndHelpWithoutADisplay) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    env.remove(QLatin1String(name));
  const TRun version = RunTool(Program(), {QStringLiteral("--version")}, env);
  EXPECT_EQ(version.ExitCode, 0) << version.Err.toStdString();
  EXPECT_EQ(version.Out, QStringLiteral("Tralvesco Translator " PROJECT_VERSION "\n"));
  const TRun help = RunTool(Program(), {QStringLiteral("--help")}, env);
  EXPECT_EQ(help.ExitCode, 0) << help.Err.toStdString();
  EXPECT_TRUE(help.Out.contains(QStringLiteral("[options] [file]"))) << help.Out.toStdString();

  // Mistakes too are answered before any window is thought of.
  const TRun unknown = RunTool(Program(), {QStringLiteral("--bogus")}, env);
  EXPECT_EQ(unknown.ExitCode, 1);
  EXPECT_TRUE(unknown.Err.startsWith(QStringLiteral("tralvesco: Unknown option 'bogus'.")))
      << unknown.Err.toStdString();
  const TRun two = RunTool(Program(), {QStringLiteral("a"), QStringLiteral("b")}, env);
  EXPECT_EQ(two.ExitCode, 1);
  EXPECT_EQ(two.Err, QStringLiteral("tralvesco: one file at a time, not 2\n"));
}

// Every file and folder under the installed prefix, with its size and mode.
QStringList PrefixTree(const QString& root) {
  QStringList entries;
  QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    entries.append(QStringLiteral("%1 %2 %3")
                       .arg(info.filePath())
                       .arg(info.size())
                       .arg(static_cast<int>(info.permissions())));
  }
  entries.sort();
  return entries;
}

// On an X server of its own, the installed program maps its window with the
// title and icon a desktop shows, in the language the administrator's
// default names, which it finds only in share/tralvesco/. Run by whoever
// runs the tests (root, here) with its prefix writable, it leaves the prefix
// as it was: its settings are the user's, started from that default.
TEST_F(TInstalledTest, ComesUpOnADisplayWithItsIconInTheLanguageOfItsSettings) {
  ASSERT_EQ(
      QDir(Usr(QStringLiteral("bin"))).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
      QStringList(ProductInfo::ProgramName))
      << "nothing of its data beside it";
  QTemporaryDir home;
  const QString systemDefault = home.filePath(QStringLiteral("etc/tralvesco/Tralvesco.ini"));
  ASSERT_TRUE(QDir().mkpath(QFileInfo(systemDefault).absolutePath()));
  ASSERT_TRUE(IniFile::Write(systemDefault, QStringLiteral("General"),
                             QStringLiteral("DisplayLanguage"), QStringLiteral("Chinese-Trad")));
  const QString settings = home.filePath(QStringLiteral("config/Tralvesco/Tralvesco.ini"));
  const QStringList prefixBefore = PrefixTree(Usr({}));

  QProcess xvfb;
  const TStopper stopXvfb{xvfb};
  const QString display = StartPrivateDisplay(xvfb);
  ASSERT_FALSE(display.isEmpty()) << "no X server could be started";

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  env.insert(QStringLiteral("HOME"), home.path());
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
  env.insert(QStringLiteral("XDG_CONFIG_DIRS"), home.filePath(QStringLiteral("etc")));
  QProcess program;
  const TStopper stopProgram{program};
  program.setProcessEnvironment(env);
  program.setWorkingDirectory(home.path());
  program.start(Program(), {});
  ASSERT_TRUE(program.waitForStarted());

  const auto x = [&](const QString& tool, const QStringList& arguments) {
    return RunTool(tool, arguments, env);
  };
  QString window;
  ASSERT_TRUE(WaitFor(
      [&] {
        const TRun found = x(QStringLiteral("xdotool"),
                             {QStringLiteral("search"), QStringLiteral("--name"),
                              QLatin1Char('^') + ProductInfo::Title + QLatin1Char('$')});
        window = found.Out.section(QLatin1Char('\n'), 0, 0).trimmed();
        return !window.isEmpty() || program.state() != QProcess::Running;
      },
      30000));
  ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();

  const TRun icon =
      x(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_ICON")});
  EXPECT_TRUE(icon.Out.contains(QStringLiteral("Icon (32 x 32)")))
      << icon.Out.left(200).toStdString();
  EXPECT_EQ(IniFile::Read(settings, QStringLiteral("General"), QStringLiteral("DisplayLanguage")),
            QStringLiteral("Chinese-Trad"))
      << "a language file it could not find would have been replaced by English";
  EXPECT_EQ(program.state(), QProcess::Running);
  EXPECT_EQ(PrefixTree(Usr({})), prefixBefore) << "nothing written under the prefix";
}

// In this process, pointed at the installed program's folder: the skin, the
// languages and the loading animation all come from share/tralvesco/.
TEST_F(TInstalledTest, FindsItsSkinLanguagesAndAnimationInTheSharedFolder) {
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
  SetProgramDirForTesting(Usr(QStringLiteral("bin")));
  FormSettingsFileName();
  ASSERT_TRUE(SettingsFileName.startsWith(config.path())) << SettingsFileName.toStdString();
  ASSERT_TRUE(IniFile::Write(SettingsFileName, QStringLiteral("General"),
                             QStringLiteral("DisplayLanguage"), QStringLiteral("Chinese-Simp")));
  ShownBoxes().clear();
  {
    TfrmMain frmMain;
    frmMain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frmMain));
    QFile skin(Usr(QStringLiteral("share/tralvesco/aero.she")));
    ASSERT_TRUE(skin.open(QIODevice::ReadOnly));
    EXPECT_EQ(qApp->styleSheet(), QString::fromUtf8(skin.readAll()));
    EXPECT_EQ(LangFilePath, QStringLiteral(".\\Languages\\Chinese-Simp.lng"));
    const auto* labFrom = frmMain.findChild<QLabel*>(QStringLiteral("labFrom"));
    ASSERT_NE(labFrom, nullptr);
    EXPECT_EQ(labFrom->text(), QStringLiteral("源语言："));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("确定"))
        << "Qt's own texts in the language of the window";

    TfrmOptions options;
    QStringList languages = options.ListLanguages();
    languages.sort();
    EXPECT_EQ(languages, QStringList({"Chinese-Simp", "Chinese-Trad", "English"}));

    QLabel image;
    ShowLoadingAnimation(&image, QStringLiteral("bar"));
    ASSERT_NE(image.movie(), nullptr);
    EXPECT_TRUE(image.movie()->isValid());
    HideLoadingAnimation(&image);
  }
  EXPECT_TRUE(ShownBoxes().isEmpty());
  qApp->setStyleSheet(QString());
  SetProgramDirForTesting({});
  SettingsFileName.clear();
  LangFilePath.clear();
}

} // namespace
