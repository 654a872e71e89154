// What the program does before its window is first painted, watched from
// outside as a separate process: it reads its language file once, and loads
// none of the code that only later commands need.
#include "main_test_support.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

struct TFirstPaintRow {
  const char* Name;
  const char* Language;
};

// How many times the watched file was opened, as the events queued so far
// tell. Closes are watched too: the queue merges an event into an identical
// one just before it, so a run of bare opens would count as one.
int OpenCount(int watch) {
  int opens = 0;
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    const ssize_t got = read(watch, buffer, sizeof buffer);
    if (got <= 0)
      return opens;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->mask & IN_OPEN)
        ++opens;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

class TFirstPaintTest : public ::testing::TestWithParam<TFirstPaintRow> {};

TEST_P(TFirstPaintTest, ReadsTheLanguageFileOnceAndLoadsNoCodeOfLaterCommands) {
  const QString language = QLatin1String(GetParam().Language);
  TProgramFolder folder;
  folder.WriteSettings("[General]\nDisplayLanguage=" + language.toUtf8() + "\n");
  const QString languageFile = folder.Path(QStringLiteral("Languages/") + language + ".lng");

  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  const auto closeWatch = qScopeGuard([watch] { close(watch); });
  ASSERT_GE(
      inotify_add_watch(watch, QFile::encodeName(languageFile).constData(), IN_OPEN | IN_CLOSE), 0);

  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  program.setProcessEnvironment(env);
  program.start(QStringLiteral(FIRST_PAINT_DRIVER), {folder.Path()});
  const auto stop = qScopeGuard([&program] {
    if (program.state() != QProcess::NotRunning) {
      program.kill();
      program.waitForFinished();
    }
  });
  ASSERT_TRUE(program.waitForFinished(60000)) << "no paint within a minute";
  const QList<QByteArray> objects = program.readAllStandardOutput().trimmed().split('\n');
  ASSERT_EQ(objects.value(objects.size() - 1), "painted")
      << program.readAllStandardError().toStdString();

  EXPECT_EQ(OpenCount(watch), 1);
  // Pictures are decoded and drawn without Qt's plugins; the exchange's
  // library and its tree of TLS and directory libraries wait for the first
  // translation.
  for (const QByteArray& object : objects)
    for (const char* later : {"/imageformats/", "/iconengines/", "libQt6Svg", "libcurl"})
      EXPECT_FALSE(object.contains(later)) << object.constData();
}

INSTANTIATE_TEST_SUITE_P(Languages, TFirstPaintTest,
                         ::testing::Values(TFirstPaintRow{"English", "English"},
                                           TFirstPaintRow{"SimplifiedChinese", "Chinese-Simp"}),
                         [](const auto& row) { return std::string(row.param.Name); });

} // namespace
