#include "settings/program_dir.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A settings file as an installer leaves it, with a value in a legacy code
// page, so "a copy" has to mean the bytes.
const QByteArray BesideTheProgram = "; set by the installer\r\n"
                                    "[Connection]\r\n"
                                    "Server=http://127.0.0.1:9\r\n"
                                    "NoProxy=0\r\n"
                                    "Password=\xC3\xDC\xC2\xEB\r\n"
                                    "[General]\r\n"
                                    "DisplayLanguage=Chinese-Simp\r\n";

QByteArray Contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The program folder cannot be written by this process: the settings file
// moves to the user's folder, starts as a copy of the one beside the program,
// and from then on is the one read and written.
void CheckReadOnlyProgramFolder(const QString& programDir, const QString& configHome) {
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
  SetProgramDirForTesting(programDir);
  const QString beside = programDir + QStringLiteral("/Tralvesco.ini");
  ASSERT_NE(::access(QFile::encodeName(programDir).constData(), W_OK), 0);

  const QString path = FormSettingsFileName();
  EXPECT_TRUE(path.startsWith(configHome + QLatin1Char('/'))) << path.toStdString();
  EXPECT_EQ(Contents(path), BesideTheProgram);
  EXPECT_EQ(QFile::permissions(path) & (QFile::ReadOther | QFile::ReadGroup), 0);
  LoadSettings();
  EXPECT_EQ(Params.Server, QStringLiteral("http://127.0.0.1:9"));
  EXPECT_FALSE(Params.NoProxy);
  EXPECT_EQ(Params.Password, QStringLiteral("密码"));
  EXPECT_EQ(Params.DisplayLanguage, QStringLiteral("Chinese-Simp"));

  IniWriteInteger(path, QStringLiteral("General"), QStringLiteral("Direction"), 1);
  EXPECT_EQ(Contents(beside), BesideTheProgram);
  // A second start keeps the user's file rather than copying again.
  EXPECT_EQ(FormSettingsFileName(), path);
  LoadSettings();
  EXPECT_EQ(Params.Direction, 1);
  SetProgramDirForTesting({});
}

// Set by the outer test when it runs this suite again as another user.
constexpr const char* InnerFolderVariable = "TRALVESCO_TEST_READONLY_FOLDER";

TEST(SettingsFilePlace, ReadOnlyProgramFolderStartsTheUserFileAsACopy) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString programDir = dir.filePath(QStringLiteral("program"));
  const QString configHome = dir.filePath(QStringLiteral("config"));
  ASSERT_TRUE(QDir().mkpath(programDir) && QDir().mkpath(configHome));
  QFile file(programDir + QStringLiteral("/Tralvesco.ini"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(BesideTheProgram);
  file.close();
  const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                        QFile::ReadOther | QFile::ExeOther;

  if (::geteuid() != 0) {
    ASSERT_TRUE(QFile::setPermissions(programDir, readOnly));
    CheckReadOnlyProgramFolder(programDir, configHome);
    QFile::setPermissions(programDir, readOnly | QFile::WriteOwner);
    return;
  }
  // Root may write anywhere: the check runs as "nobody" in a child process,
  // with the program folder root's and the configuration folder its own.
  const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
  if (setpriv.isEmpty())
    GTEST_SKIP() << "setpriv is needed to run as another user";
  ASSERT_TRUE(QFile::setPermissions(dir.path(), readOnly | QFile::WriteOwner));
  ASSERT_TRUE(QFile::setPermissions(file.fileName(), readOnly));
  ASSERT_EQ(::chown(QFile::encodeName(configHome).constData(), 65534, 65534), 0);
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QString::fromLatin1(InnerFolderVariable), dir.path());
  child.setProcessEnvironment(environment);
  child.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                        QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                        QStringLiteral("--gtest_filter=SettingsFilePlace.AsAnotherUser")});
  ASSERT_TRUE(child.waitForFinished(60000));
  const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  EXPECT_EQ(Contents(file.fileName()), BesideTheProgram);
}

// Runs only inside the child process above.
TEST(SettingsFilePlace, AsAnotherUser) {
  const QString dir = qEnvironmentVariable(InnerFolderVariable);
  if (dir.isEmpty())
    GTEST_SKIP() << "run by ReadOnlyProgramFolderStartsTheUserFileAsACopy";
  CheckReadOnlyProgramFolder(dir + QStringLiteral("/program"), dir + QStringLiteral("/config"));
}

} // namespace
