// Closing the window while the service keeps a translation waiting ends the
// program at once, as a separate process, the way a user closes it.
#include "main_test_support.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <chrono>

using namespace std::chrono_literals;

namespace {

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(WindowClose, ARunAgainstAServerThatNeverAnswersEndsWithTheProgramAtOnce) {
  TTestHttpServer server;
  TTestResponse never;
  never.Ending = TTestResponse::TEnding::StallBeforeAnswer;
  server.SetResponse(never);
  TProgramFolder folder;
  folder.WriteSettings(
      "[General]\nDisplayLanguage=English\n\n[Connection]\nServer=" + server.Url().toUtf8() + "\n");

  QProcess program;
  program.start(QStringLiteral(WINDOW_CLOSE_DRIVER), {folder.Path()});
  ASSERT_TRUE(program.waitForStarted());
  const auto stop = qScopeGuard([&program] {
    if (program.state() != QProcess::NotRunning) {
      program.kill();
      program.waitForFinished();
    }
  });
  ASSERT_TRUE(server.WaitForRequests(1, 30s)) << program.readAllStandardError().toStdString();
  const QByteArray settings = FileBytes(folder.SettingsFile());
  const QDateTime settingsWritten = QFileInfo(folder.SettingsFile()).lastModified();

  QElapsedTimer sinceClose;
  sinceClose.start();
  program.write("close\n");
  const bool ended = program.waitForFinished(10000);
  const qint64 took = sinceClose.elapsed();
  ASSERT_TRUE(ended) << "still running after 10 s";
  EXPECT_LT(took, 1000) << "the program ended " << took << " ms after the close request";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(program.readAllStandardOutput(), "target=\nboxes=0\n")
      << program.readAllStandardError().toStdString();
  EXPECT_EQ(server.RequestCount(), 1);
  EXPECT_EQ(FileBytes(folder.SettingsFile()), settings);
  EXPECT_EQ(QFileInfo(folder.SettingsFile()).lastModified(), settingsWritten);
}

// A file the source pane is still reading when the window closes is given
// up on: the program ends without finishing the load and the write-back.
TEST(WindowClose, ClosingWhileALongFileLoadsEndsTheProgram) {
  TProgramFolder folder;
  folder.WriteSettings("[General]\nDisplayLanguage=English\n");
  const QString path = folder.Path() + QStringLiteral("/long.txt");
  {
    QByteArray text;
    for (int i = 0; i < 1000000; ++i)
      text += QByteArray::number(i).rightJustified(7, '0') + " line\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  QProcess program;
  program.start(QStringLiteral(WINDOW_CLOSE_DRIVER), {folder.Path(), path});
  ASSERT_TRUE(program.waitForStarted());
  const auto stop = qScopeGuard([&program] {
    if (program.state() != QProcess::NotRunning) {
      program.kill();
      program.waitForFinished();
    }
  });
  QByteArray output;
  while (!output.contains("loading") && program.waitForReadyRead(30000))
    output += program.readAllStandardOutput();
  ASSERT_TRUE(output.contains("loading")) << program.readAllStandardError().toStdString();
  program.write("close\n");
  ASSERT_TRUE(program.waitForFinished(10000)) << "still running 10 s after the close request";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
}

} // namespace
