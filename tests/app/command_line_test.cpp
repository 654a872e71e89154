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
  QStringList Arguments; // after the program's path
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
  const TCommandLine commandLine = ParseCommandLine(
      QStringList(QStringLiteral("/usr/bin/tralvesco")) + row.Arguments, outStream, errStream);
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
        TCommandLineCase{"TwoFiles",
                         {"note.txt", "other.txt"},
                         1,
                         {},
                         "tralvesco: one file at a time, not 2",
                         {}}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
