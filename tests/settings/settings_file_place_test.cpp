#include "core/app_error.h"
#include "settings/program_dir.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
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

// --- which file, for an installed copy and a portable one -----------------

enum class TUserFile { Absent, Unreadable, DanglingLink, FolderIsAFile };

struct TPlaceCase {
  const char* Name;
  bool Installed;           // data in ../share/tralvesco/, not beside the program
  QByteArray Beside;        // the file beside the program; empty: none
  bool BesideUnreadable;    // ... and this user may not read it
  QByteArray SystemDefault; // tralvesco/Tralvesco.ini among the system folders
  TUserFile User;           // the state of the user's own file before the start
  bool UsesBeside;          // the file chosen is the one beside the program
  QByteArray Seeded;        // the chosen file's contents after the start; "-": none
  QString WriteMessage;     // after a write; %1 the chosen file, %2 its folder
};

void PrintTo(const TPlaceCase& row, std::ostream* os) {
  *os << row.Name;
}

const QByteArray Default = "[Connection]\r\nServer=http://127.0.0.1:9\r\n";
const QByteArray Old = "[General]\r\nDisplayLanguage=Chinese-Trad\r\n";

// Every file and folder under a root, with its contents, to see that a start
// and a write leave the program's own tree as they found it.
QStringList Tree(const QString& root) {
  QStringList entries;
  QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    entries.append(path.mid(root.size()) + QLatin1Char(' ') + QString::fromLatin1(Contents(path)));
  }
  entries.sort();
  return entries;
}

class TSettingsPlaceTest : public ::testing::TestWithParam<TPlaceCase> {
protected:
  void TearDown() override {
    SetProgramDirForTesting({});
    SettingsFileName.clear();
  }
};

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

TEST_P(TSettingsPlaceTest, ChoosesTheFileAndNamesItsFault) {
  const TPlaceCase& row = GetParam();
  // Root reads every file: the unreadable cases run as another user.
  if (::geteuid() == 0) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
      GTEST_SKIP() << "setpriv is needed to run as another user";
    QProcess child;
    child.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                          QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                          QStringLiteral("--gtest_filter=Rows/TSettingsPlaceTest.*/") +
                              QString::fromLatin1(row.Name)});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    return;
  }
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString prefix = dir.filePath(QStringLiteral("usr"));
  const QString bin = prefix + QStringLiteral("/bin");
  const QString config = dir.filePath(QStringLiteral("config"));
  const QString systemConfig = dir.filePath(QStringLiteral("etc"));
  const QString userFile = config + QStringLiteral("/Tralvesco/Tralvesco.ini");
  ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(config) && QDir().mkpath(systemConfig));
  ASSERT_TRUE(QDir().mkpath(row.Installed ? prefix + QStringLiteral("/share/tralvesco/Languages")
                                          : bin + QStringLiteral("/Languages")));
  if (!row.Beside.isEmpty()) {
    WriteFile(bin + QStringLiteral("/Tralvesco.ini"), row.Beside);
    if (row.BesideUnreadable) {
      ASSERT_TRUE(QFile::setPermissions(bin + QStringLiteral("/Tralvesco.ini"), {}));
    }
  }
  if (!row.SystemDefault.isEmpty())
    WriteFile(systemConfig + QStringLiteral("/tralvesco/Tralvesco.ini"), row.SystemDefault);
  switch (row.User) {
  case TUserFile::Absent:
    break;
  case TUserFile::Unreadable:
    WriteFile(userFile, Old);
    ASSERT_TRUE(QFile::setPermissions(userFile, QFile::WriteOwner));
    break;
  case TUserFile::DanglingLink:
    ASSERT_TRUE(QDir().mkpath(config + QStringLiteral("/Tralvesco")));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone/Tralvesco.ini")), userFile));
    break;
  case TUserFile::FolderIsAFile:
    WriteFile(config + QStringLiteral("/Tralvesco"), Old);
    break;
  }
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
  qputenv("XDG_CONFIG_DIRS", QFile::encodeName(systemConfig));
  SetProgramDirForTesting(bin);
  const QStringList before = Tree(prefix);

  const QString chosen = FormSettingsFileName();
  EXPECT_EQ(chosen, row.UsesBeside ? bin + QStringLiteral("/Tralvesco.ini") : userFile);
  EXPECT_EQ(Contents(chosen), row.Seeded == "-" ? QByteArray("<unreadable>") : row.Seeded);
  QString message;
  try {
    IniWriteInteger(chosen, QStringLiteral("General"), QStringLiteral("Direction"), 1);
  } catch (const ETralvescoError& error) {
    message = error.Message();
  }
  EXPECT_EQ(message, row.WriteMessage.isEmpty()
                         ? QString()
                         : row.WriteMessage.arg(chosen, config + QStringLiteral("/Tralvesco")));
  if (!row.UsesBeside) {
    EXPECT_EQ(Tree(prefix), before) << "nothing written under the program's prefix";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TSettingsPlaceTest,
    ::testing::Values(TPlaceCase{"InstalledStartsFromTheSystemDefault",
                                 true,
                                 Old,
                                 false,
                                 Default,
                                 TUserFile::Absent,
                                 false,
                                 Default,
                                 {}},
                      TPlaceCase{"InstalledWithoutADefaultStartsEmpty",
                                 true,
                                 {},
                                 false,
                                 {},
                                 TUserFile::Absent,
                                 false,
                                 "-",
                                 {}},
                      TPlaceCase{"PortableKeepsItsFileBesideIt",
                                 false,
                                 Old,
                                 false,
                                 Default,
                                 TUserFile::Absent,
                                 true,
                                 Old,
                                 {}},
                      TPlaceCase{"AnUnreadableFileBesideDoesNotBlock",
                                 false,
                                 Old,
                                 true,
                                 {},
                                 TUserFile::Absent,
                                 false,
                                 "-",
                                 {}},
                      TPlaceCase{"AnUnreadableUserFileIsAReadFault",
                                 true,
                                 {},
                                 false,
                                 Default,
                                 TUserFile::Unreadable,
                                 false,
                                 "-",
                                 QStringLiteral("Unable to read %1")},
                      TPlaceCase{"ADanglingLinkStaysTheUsersFile", true, Old, false, Default,
                                 TUserFile::DanglingLink, false, "-",
                                 QStringLiteral("Unable to write to %1")},
                      TPlaceCase{"AFileInPlaceOfTheFolderIsNamed", true, Old, false, Default,
                                 TUserFile::FolderIsAFile, false, "-",
                                 QStringLiteral("Unable to write to %1: %2 is not a folder")}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
