// The main window's costs beside the plainest version of the same work in the
// same run: a whole translation from click to final document beside the bare
// exchange it makes, and the program's start-up beside a bare Qt window.
//
// Run without arguments. The start-up figures come from child processes:
// bench_mainwin_probe (the main window, linked as the program is) and
// bench_bare_window beside it (one empty window).
#include "app/application.h"
#include "ratio_reporter.h"
#include "settings/program_dir.h"
#include "settings/settings.h"
#include "test_http_server.h"
#include "translate/http_client.h"
#include "translate/translation_request.h"
#include "ui/main/frm_Main.h"
#include "ui/main/translate_command.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

const QString SourceUnit = QStringLiteral(u"The quick brown fox jumps over the lazy dog. ");
const QString TranslationUnit =
    QStringLiteral(u"\u654f\u6377\u7684\u68d5\u8272\u72d0\u72f8\u8df3\u8fc7\u4e86\u61d2\u72d7 "
                   u"quick brown fox. ");
// As the reply's JSON text carries them: a written-out backslash, then u.
const char* const EscapesInJson[] = {R"(\\u0026lt;)",  R"(\\u0026gt;)", R"(\\u0026quot;)",
                                     R"(\\u0026amp;)", R"(\\u003d)",    R"(\\u0026#39;)"};

QString Repeat(const QString& unit, qsizetype length) {
  QString text;
  text.reserve(length + unit.size());
  while (text.size() < length)
    text += unit;
  text.truncate(length);
  return text;
}

// A reply of pieces of about 21 KiB each, together some replyBytes long, with
// escape sequences (or line breaks, escaped as JSON escapes them) spread
// evenly among them.
QByteArray Reply(qsizetype replyBytes, int escapes, bool lineBreaks = false) {
  const QByteArray piece = Repeat(TranslationUnit, 400).toUtf8();
  const qsizetype pieces = std::max<qsizetype>(1, replyBytes / (piece.size() + 30));
  QByteArray reply = R"({"sentences":[)";
  int written = 0;
  for (qsizetype i = 0; i < pieces; ++i) {
    if (i > 0)
      reply += ',';
    reply += R"({"trans":")";
    reply += piece;
    const int due = static_cast<int>(escapes * (i + 1) / pieces);
    for (; written < due; ++written) {
      reply += lineBreaks ? R"(\r\n)" : EscapesInJson[written % 6];
      reply += ' ';
    }
    reply += R"(","orig":"x"})";
  }
  return reply + R"(],"src":"en"})";
}

// A program folder beside a local server: the window under measurement reads
// its files and sends its requests there.
class TFixture {
public:
  TFixture() {
    const QString exeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    QDir(FDir.path()).mkpath(QStringLiteral("Languages"));
    for (const char* name : {"Languages/English.lng", "KorvalineSys.DLL", "aero.she"})
      QFile::copy(exeDir + QLatin1String(name),
                  FDir.path() + QLatin1Char('/') + QLatin1String(name));
    QFile settings(FDir.path() + QStringLiteral("/Tralvesco.ini"));
    if (settings.open(QIODevice::WriteOnly))
      settings.write("[General]\nDisplayLanguage=English\n[Connection]\nServer=" +
                     FServer.Url().toUtf8() + "\n");
    settings.close();
    SetProgramDirForTesting(FDir.path());
    FWindow = std::make_unique<TfrmMain>();
    FWindow->show();
    QElapsedTimer started;
    started.start();
    while (FWindow->findChild<TProfDHTMLEdit2*>(QStringLiteral("E1"))->Busy() &&
           started.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }

  TTestHttpServer& Server() { return FServer; }
  TfrmMain& Window() { return *FWindow; }
  QString ProgramFolder() const { return FDir.path(); }

  // Puts the source text in place and the reply on the server.
  void Prepare(const QString& source, const QByteArray& reply) {
    FServer.SetResponse(TTestResponse::Ok(reply));
    FWindow->findChild<TProfDHTMLEdit2*>(QStringLiteral("E1"))->SetBodyText(source);
  }

  void ClickTranslate() {
    FWindow->findChild<QPushButton*>(QStringLiteral("btnTranslate"))->click();
  }

private:
  QTemporaryDir FDir;
  TTestHttpServer FServer;
  std::unique_ptr<TfrmMain> FWindow;
};

// Made on first use and ended by main while the application still exists: a
// window left to the static destructors would outlive it.
std::unique_ptr<TFixture>& FixtureSlot() {
  static std::unique_ptr<TFixture> fixture;
  return fixture;
}

TFixture& Fixture() {
  std::unique_ptr<TFixture>& fixture = FixtureSlot();
  if (!fixture)
    fixture = std::make_unique<TFixture>();
  return *fixture;
}

const QString& SourceText() {
  static const QString text = Repeat(SourceUnit, 2048);
  return text;
}

void CheckResult(benchmark::State& state, const QString& expectedStart) {
  const QString shown =
      Fixture().Window().findChild<TProfDHTMLEdit2*>(QStringLiteral("e2"))->BodyText();
  if (!shown.startsWith(expectedStart.left(20)))
    state.SkipWithError("the target pane does not hold the translation");
}

// --- a translation, click to final document ------------------------------

void Command(benchmark::State& state, const QByteArray& reply) {
  TFixture& fixture = Fixture();
  fixture.Prepare(SourceText(), reply);
  for (auto _ : state)
    fixture.ClickTranslate();
  CheckResult(state, TranslationUnit);
}

void BareExchange(benchmark::State& state, const QByteArray& reply) {
  TFixture& fixture = Fixture();
  fixture.Server().SetResponse(TTestResponse::Ok(reply));
  THttpClient http;
  SetRequestHeaders(http);
  for (auto _ : state) {
    QString answer =
        TranslateText(http, SourceText(), LanguageEnglish, LanguageSimplifiedChinese).Text;
    benchmark::DoNotOptimize(answer.data());
  }
}

// What showing the same document costs a bare text view of the pane's size
// and font: the part of a run that lays the translation out.
void BareView(benchmark::State& state, const QByteArray& reply) {
  QString translation;
  for (const QJsonValue& sentence :
       QJsonDocument::fromJson(reply).object().value(QStringLiteral("sentences")).toArray())
    translation += sentence.toObject().value(QStringLiteral("trans")).toString();
  const QString html = QStringLiteral("<html><body><div>") + translation.toHtmlEscaped() +
                       QStringLiteral("</div></body></html>");
  // The pane's document font, so both lay out the same lines.
  const QFont paneFont = Fixture()
                             .Window()
                             .findChild<TProfDHTMLEdit2*>(QStringLiteral("e2"))
                             ->Editor()
                             ->document()
                             ->defaultFont();
  QTextEdit view;
  view.document()->setDefaultFont(paneFont);
  view.resize(478, 180);
  view.show();
  for (auto _ : state) {
    view.setHtml(html);
    view.setTextCursor(QTextCursor(view.document()));
    QCoreApplication::processEvents();
  }
}

const QByteArray& Reply20KiB() {
  static const QByteArray reply = Reply(20 * 1024, 0);
  return reply;
}

const QByteArray& Reply1MiB() {
  static const QByteArray reply = Reply(1024 * 1024, 10000);
  return reply;
}

void TranslateCommand_20KiB(benchmark::State& state) {
  Command(state, Reply20KiB());
}
void BareExchange_20KiB(benchmark::State& state) {
  BareExchange(state, Reply20KiB());
}
void BareView_20KiB(benchmark::State& state) {
  BareView(state, Reply20KiB());
}
void TranslateCommand_1MiB_10000Escapes(benchmark::State& state) {
  Command(state, Reply1MiB());
}
void BareExchange_1MiB(benchmark::State& state) {
  BareExchange(state, Reply1MiB());
}

void BareView_1MiB(benchmark::State& state) {
  BareView(state, Reply1MiB());
}

const QByteArray& Reply1MiBLines() {
  static const QByteArray reply = Reply(1024 * 1024, 10000, true);
  return reply;
}

// Click to a target pane laid out to its end (its busy cursor gone).
void TranslateCommand_1MiB_10000Breaks(benchmark::State& state) {
  TFixture& fixture = Fixture();
  fixture.Prepare(SourceText(), Reply1MiBLines());
  QWidget* viewport =
      fixture.Window().findChild<TProfDHTMLEdit2*>(QStringLiteral("e2"))->Editor()->viewport();
  for (auto _ : state) {
    fixture.ClickTranslate();
    while (viewport->cursor().shape() == Qt::BusyCursor)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  CheckResult(state, TranslationUnit);
  // Breaks the parser does not recognise would show as text in one long
  // paragraph: a different, slower document than the one measured against.
  const QString shown =
      fixture.Window().findChild<TProfDHTMLEdit2*>(QStringLiteral("e2"))->BodyText();
  if (shown.count(QStringLiteral("\r\n")) < 10000)
    state.SkipWithError("the translation's line breaks did not arrive as breaks");
}

// The same lines shown as plain text, one block per line: the cheapest way
// a text view shows them.
void BareView_1MiBLines(benchmark::State& state) {
  QString translation;
  for (const QJsonValue& sentence : QJsonDocument::fromJson(Reply1MiBLines())
                                        .object()
                                        .value(QStringLiteral("sentences"))
                                        .toArray())
    translation += sentence.toObject().value(QStringLiteral("trans")).toString();
  translation.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  // The pane shows a translation in its own face, at the pane's size.
  QFont font = Fixture()
                   .Window()
                   .findChild<TProfDHTMLEdit2*>(QStringLiteral("e2"))
                   ->Editor()
                   ->document()
                   ->defaultFont();
  font.setFamilies({TranslationFontName});
  QTextEdit view;
  view.document()->setDefaultFont(font);
  view.resize(478, 180);
  view.show();
  for (auto _ : state) {
    view.setPlainText(translation);
    view.setTextCursor(QTextCursor(view.document()));
    // Asking for the size lays all of it out.
    view.document()->documentLayout()->documentSize();
    QCoreApplication::processEvents();
  }
}

// --- start-up -----------------------------------------------------------------

struct TProbe {
  double Seconds = 0; // process start to the window's first paint
  double PeakRssMiB = 0;
  double CpuMs = 0; // user and system time of the probe until the paint
};

// Starts a probe process and times it from the start until it reports the
// window painted; the probe reports its own peak memory.
TProbe RunProbe(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QElapsedTimer clock;
  clock.start();
  process.start(program, arguments);
  TProbe probe;
  while (process.waitForReadyRead(10000) || process.canReadLine()) {
    if (!process.canReadLine())
      continue;
    const QByteArray line = process.readLine().trimmed();
    if (line.startsWith("shown ")) {
      probe.Seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
      const QList<QByteArray> figures = line.mid(6).split(' ');
      probe.PeakRssMiB = figures.value(0).toDouble() / 1024.0;
      probe.CpuMs = figures.value(1).toDouble();
      break;
    }
  }
  process.waitForFinished(10000);
  return probe;
}

void StartUp(benchmark::State& state, const QString& program, const QStringList& arguments) {
  double rss = 0;
  double cpu = 0;
  for (auto _ : state) {
    const TProbe probe = RunProbe(program, arguments);
    if (probe.Seconds <= 0) {
      state.SkipWithError("the probe did not report a shown window");
      return;
    }
    state.SetIterationTime(probe.Seconds);
    rss = std::max(rss, probe.PeakRssMiB);
    cpu += probe.CpuMs;
  }
  state.counters["PeakRSS_MiB"] = rss;
  state.counters["Cpu_ms"] = cpu / static_cast<double>(state.iterations());
}

void StartUp_MainWindow(benchmark::State& state) {
  StartUp(state, QCoreApplication::applicationDirPath() + QStringLiteral("/bench_mainwin_probe"),
          {Fixture().ProgramFolder()});
}

void StartUp_BareWindow(benchmark::State& state) {
  StartUp(state, QCoreApplication::applicationDirPath() + QStringLiteral("/bench_bare_window"), {});
}

void StartUp_BareControls(benchmark::State& state) {
  StartUp(state, QCoreApplication::applicationDirPath() + QStringLiteral("/bench_bare_controls"),
          {});
}

BENCHMARK(TranslateCommand_20KiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareExchange_20KiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareView_20KiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TranslateCommand_1MiB_10000Escapes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BareExchange_1MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareView_1MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(TranslateCommand_1MiB_10000Breaks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BareView_1MiBLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(StartUp_MainWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);
BENCHMARK(StartUp_BareWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);
BENCHMARK(StartUp_BareControls)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto time = [&reporter](const char* name) {
    return reporter.WallTime(std::string(name) + "/real_time");
  };
  const double command20 = time("TranslateCommand_20KiB");
  const double exchange20 = time("BareExchange_20KiB");
  const double command1M =
      reporter.WallTime("TranslateCommand_1MiB_10000Escapes/iterations:5/real_time");
  const double exchange1M = time("BareExchange_1MiB");
  std::printf("\nRatios against the baseline of the same run (wall time):\n");
  // Laying a translation out in a text view is most of a run, so beside the
  // exchange alone the command has no aim; its aim is beside the plainest
  // exchange-and-show.
  reporter.PrintRatio("Translate command / bare exchange (20 KiB reply)", command20, exchange20, 0);
  reporter.PrintRatio("Translate command / (exchange + bare view), 20 KiB", command20,
                      exchange20 + time("BareView_20KiB"), 1.5);
  reporter.PrintRatio("Translate command / bare exchange (1 MiB, 10,000 esc.)", command1M,
                      exchange1M, 0);
  reporter.PrintRatio("Translate command / (exchange + bare view), 1 MiB", command1M,
                      exchange1M + reporter.WallTime("BareView_1MiB/iterations:5/real_time"), 1.5);
  reporter.PrintRatio("Translate command / (exchange + bare view), 1 MiB, 10,000 line breaks",
                      reporter.WallTime("TranslateCommand_1MiB_10000Breaks/iterations:5/real_time"),
                      exchange1M + reporter.WallTime("BareView_1MiBLines/iterations:5/real_time"),
                      1.5);
  std::printf("%-52s %7.1f ms  (aim well under 1000 ms)\n",
              "Translate command, 1 MiB with 10,000 escapes", command1M);
  const std::string startUp = "/iterations:15/manual_time";
  reporter.PrintRatio("Start-up to painted / bare Qt window",
                      reporter.WallTime("StartUp_MainWindow" + startUp),
                      reporter.WallTime("StartUp_BareWindow" + startUp), 1.25);
  reporter.PrintRatio("Start-up processor time / bare Qt window",
                      reporter.Counter("StartUp_MainWindow" + startUp + "/Cpu_ms"),
                      reporter.Counter("StartUp_BareWindow" + startUp + "/Cpu_ms"), 0);
  std::printf("%-52s %7.1f ms / %.1f ms\n", "Start-up, main window / bare window",
              reporter.WallTime("StartUp_MainWindow" + startUp),
              reporter.WallTime("StartUp_BareWindow" + startUp));
  reporter.PrintRatio("Peak RSS after start-up / bare Qt window",
                      reporter.Counter("StartUp_MainWindow" + startUp + "/PeakRSS_MiB"),
                      reporter.Counter("StartUp_BareWindow" + startUp + "/PeakRSS_MiB"), 1.3);
  std::printf("%-52s %7.1f MiB / %.1f MiB\n", "Peak RSS, main window / bare window",
              reporter.Counter("StartUp_MainWindow" + startUp + "/PeakRSS_MiB"),
              reporter.Counter("StartUp_BareWindow" + startUp + "/PeakRSS_MiB"));
  // The same kinds of controls in bare Qt: how much of the gap above is the
  // toolkit's own cost of such a window rather than the program's.
  reporter.PrintRatio("Start-up to painted / bare Qt controls",
                      reporter.WallTime("StartUp_MainWindow" + startUp),
                      reporter.WallTime("StartUp_BareControls" + startUp), 0);
  reporter.PrintRatio("Start-up processor time / bare Qt controls",
                      reporter.Counter("StartUp_MainWindow" + startUp + "/Cpu_ms"),
                      reporter.Counter("StartUp_BareControls" + startUp + "/Cpu_ms"), 0);
  reporter.PrintRatio("Peak RSS after start-up / bare Qt controls",
                      reporter.Counter("StartUp_MainWindow" + startUp + "/PeakRSS_MiB"),
                      reporter.Counter("StartUp_BareControls" + startUp + "/PeakRSS_MiB"), 0);
  reporter.PrintRatio("Bare Qt controls / bare Qt window, processor time",
                      reporter.Counter("StartUp_BareControls" + startUp + "/Cpu_ms"),
                      reporter.Counter("StartUp_BareWindow" + startUp + "/Cpu_ms"), 0);
  reporter.PrintRatio("Bare Qt controls / bare Qt window, peak RSS",
                      reporter.Counter("StartUp_BareControls" + startUp + "/PeakRSS_MiB"),
                      reporter.Counter("StartUp_BareWindow" + startUp + "/PeakRSS_MiB"), 0);
  std::fflush(stdout);
  FixtureSlot().reset();
  benchmark::Shutdown();
  return 0;
}
