#include "app/command_line.h"
#include "app_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

struct TCommandLineCase {
  const char* Name;
  QStringList Arguments; // after the program's path; %F stands for the working folder
  std::optional<int> ExitCode;
  QString Out;      // expected standard output, in full
  QString ErrStart; // what the error output begins with ("" for none at all)
  QString File;     // relative to the working folder; "" for none
};

void PrintTo(const TCommandLineCase& row, std::ostream* os) {
  *os << row.Arguments.join(QLatin1Char(' ')).toStdString();
}

class TCommandLineTest : public ::testing::TestWithParam<TCommandLineCase> {};

TEST_P(TCommandLineTest, Answers) {
  const TCommandLineCase& row = GetParam();
  QTemporaryDir folder;
  {
    QFile note(folder.filePath(QStringLiteral("note.txt")));
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.write("a note\n");
  }
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(folder.path()));

  QString out;
  QString err;
  QTextStream outStream(&out);
  QTextStream errStream(&err);
  QStringList arguments(QStringLiteral("/usr/bin/tralvesco"));
  for (const QString& argument : row.Arguments)
    arguments.append(QString(argument).replace(QStringLiteral("%F"), folder.path()));
  const TCommandLine commandLine = ParseCommandLine(arguments, outStream, errStream);
  outStream.flush();
  errStream.flush();
  QDir::setCurrent(before);

  EXPECT_EQ(commandLine.ExitCode, row.ExitCode);
  EXPECT_EQ(out, row.Out);
  if (row.ErrStart.isEmpty())
    EXPECT_EQ(err, QString());
  else
    EXPECT_TRUE(err.startsWith(row.ErrStart)) << err.toStdString();
  EXPECT_EQ(commandLine.FileName,
            row.File.isEmpty() ? QString()
                               : QDir::cleanPath(QDir(folder.path()).absoluteFilePath(row.File)));
}

const QString Version = QStringLiteral("Tralvesco Translator " PROJECT_VERSION "\n");

INSTANTIATE_TEST_SUITE_P(
    Rows, TCommandLineTest,
    ::testing::Values(
        TCommandLineCase{"Nothing", {}, std::nullopt, {}, {}, {}},
        TCommandLineCase{"Version", {"--version"}, 0, Version, {}, {}},
        TCommandLineCase{"ShortVersion", {"-v"}, 0, Version, {}, {}},
        TCommandLineCase{"VersionWinsOverAFile", {"note.txt", "--version"}, 0, Version, {}, {}},
        TCommandLineCase{
            "AFileFromTheWorkingFolder", {"note.txt"}, std::nullopt, {}, {}, "note.txt"},
        TCommandLineCase{"AFileAfterTheEndOfOptions",
                         {"--", "-v"},
                         std::nullopt,
                         {},
                         "tralvesco: cannot read -v",
                         "-v"},
        TCommandLineCase{"AMissingFileStillOpensTheWindow",
                         {"missing.txt"},
                         std::nullopt,
                         {},
                         "tralvesco: cannot read missing.txt",
                         "missing.txt"},
        TCommandLineCase{
            "AFolderIsNoFile", {"."}, std::nullopt, {}, "tralvesco: cannot read .", "."},
        TCommandLineCase{
            "AnUnknownOption", {"--bogus"}, 1, {}, "tralvesco: Unknown option 'bogus'.", {}},
        TCommandLineCase{"ADashWordIsOneUnknownOptionAndTheWayOut",
                         {"-dash.txt"},
                         1,
                         {},
                         "tralvesco: Unknown option 'dash.txt'.\nTo open a file whose name "
                         "begins with '-', put '--' before it: tralvesco -- -dash.txt\n",
                         {}},
        TCommandLineCase{"StandardInputIsNotRead",
                         {"-"},
                         1,
                         {},
                         "tralvesco: cannot open -: the program does not read standard input",
                         {}},
        TCommandLineCase{
            "AFileUrlNamesTheLocalFile", {"file://%F/note.txt"}, std::nullopt, {}, {}, "note.txt"},
        TCommandLineCase{"AMissingFileUrlIsStillNamed",
                         {"file://%F/gone%20away.txt"},
                         std::nullopt,
                         {},
                         "tralvesco: cannot read file://",
                         "gone away.txt"},
        TCommandLineCase{"AWebAddressIsRefused",
                         {"http://127.0.0.1/note.txt"},
                         1,
                         {},
                         "tralvesco: cannot open http://127.0.0.1/note.txt: only local files",
                         {}},
        TCommandLineCase{"QtsOwnOptionsArePassedOver",
                         {"-platform", "offscreen", "--style=fusion", "-reverse", "note.txt"},
                         std::nullopt,
                         {},
                         {},
                         "note.txt"},
        TCommandLineCase{"TwoFiles",
                         {"note.txt", "other.txt"},
                         1,
                         {},
                         "tralvesco: one file at a time, not 2",
                         {}}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
