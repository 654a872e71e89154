// Long documents in the pane beside a bare QTextEdit showing the same text
// in the same font and size, in the same run: opening files of 100,000 and
// 1,000,000 short lines (until the text shows), by the pane alone and by the
// open command (the load, then the source written back with the character
// set declared); 16 MiB of mixed English and Chinese lines with one long
// line without breaks; a hostile paragraph with 100,000 and 1,000,000
// attributes. Besides the times: the longest stretch the GUI thread spends
// away from its event loop, peak memory after an open, and the processor
// time an open, focused view uses while nothing happens.
//
// Run without arguments, or with --benchmark_filter=<regex> for some rows
// only; --no-probes leaves out the memory and idle figures, which come from
// child processes (this program started again with --probe), one per view,
// so each has a process of its own to measure.
#include "paint_probe.h"
#include "ratio_reporter.h"
#include "ui/main/pane_write_back.h"
#include "ui/pane/engine/engine_document.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace {

constexpr int ViewWidth = 478;
constexpr int ViewHeight = 300;

QString TemporaryPath(const QString& name);

// A plain-text file of `lines` short lines (13 bytes each).
QString LinesFile(int lines) {
  const QString path = TemporaryPath(QStringLiteral("lines%1.txt").arg(lines));
  if (QFile::exists(path))
    return path;
  QByteArray text;
  text.reserve(static_cast<qsizetype>(lines) * 13);
  for (int i = 0; i < lines; ++i)
    text += QByteArray::number(i).rightJustified(7, '0') + " line\n";
  QFile file(path);
  if (file.open(QIODevice::WriteOnly))
    file.write(text);
  return path;
}

QString TemporaryPath(const QString& name) {
  static QTemporaryDir dir;
  return dir.path() + u'/' + name;
}

// 16 MiB of lines mixing English and Chinese, of varying length, with one
// line of 256 Ki characters without a break in their middle.
QString MixedFile() {
  const QString path = TemporaryPath(QStringLiteral("mixed.txt"));
  if (QFile::exists(path))
    return path;
  const QByteArray english = "The quick brown fox jumps over the lazy dog. ";
  const QByteArray chinese = QStringLiteral("混合的中文和英文"
                                            "文本，没有换行。")
                                 .toUtf8();
  constexpr qsizetype Size = 16 * 1024 * 1024 - 4096;
  QByteArray text;
  text.reserve(Size + 4096);
  for (int line = 0; text.size() < Size; ++line) {
    if (line == 1000) {
      for (int i = 0; i < 256 * 1024 / 60; ++i)
        text += english + chinese;
    } else {
      for (int i = 0; i <= line % 7; ++i)
        text += i % 2 ? chinese : english;
    }
    text += '\n';
  }
  QFile file(path);
  if (file.open(QIODevice::WriteOnly))
    file.write(text);
  return path;
}

// One paragraph with `count` attributes, each of about a dozen bytes.
QString HostileFile(int count) {
  const QString path = TemporaryPath(QStringLiteral("attributes%1.html").arg(count));
  if (QFile::exists(path))
    return path;
  QByteArray html = "<html><body><p";
  for (int i = 0; i < count; ++i)
    html += " a" + QByteArray::number(i) + "=\"x\"";
  html += ">text</p></body></html>\n";
  QFile file(path);
  if (file.open(QIODevice::WriteOnly))
    file.write(html);
  return path;
}

// Counts the paints of a widget.
class TPaintCounter : public QObject {
public:
  explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int Paints = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    Q_UNUSED(watched);
    if (event->type() == QEvent::Paint)
      ++Paints;
    return false;
  }
};

// Records how late a 10 ms timer fires: the longest time the GUI thread
// spent without returning to its event loop.
class TLatenessProbe {
public:
  TLatenessProbe() {
    FTimer.setInterval(10);
    FTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&FTimer, &QTimer::timeout, [this] {
      const qint64 now = FClock.elapsed();
      FLongest = std::max(FLongest, now - FLast);
      FLast = now;
    });
    FClock.start();
    FTimer.start();
  }
  // Counts up to now, so a stretch still going on counts too.
  qint64 LongestMs() const { return std::max(FLongest, FClock.elapsed() - FLast); }

private:
  QTimer FTimer;
  QElapsedTimer FClock;
  qint64 FLast = 0;
  qint64 FLongest = 0;
};

// Runs the event loop until the condition holds, waiting for events rather
// than spinning, so the loop leaves the processor to the work it waits for.
void ProcessUntil(const std::function<bool()>& done) {
  QTimer wake;
  wake.start(20);
  while (!done())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Lets the event loop run with nothing to do for a while.
void RunIdle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// The pane as the main window holds it.
struct TPaneView {
  TPaneView() {
    // A load that outlasts the time-out would leave an empty pane.
    Pane.SetTimeout(3600);
    Pane.resize(ViewWidth, ViewHeight);
    Pane.show();
    ProcessUntil([this] { return !Pane.Busy(); });
  }
  QTextEdit& Editor() { return *Pane.Editor(); }
  void Open(const QString& path) {
    if (!Pane.LoadFromFile(path))
      Failed = true;
  }
  bool Failed = false;
  // The pane shows a busy cursor until its layout is complete.
  bool LaidOut() { return Editor().viewport()->cursor().shape() != Qt::BusyCursor; }
  TProfDHTMLEdit2 Pane;
};

// The plainest way to show the same file in the same font and size.
struct TBareView {
  TBareView() {
    View.document()->setDefaultFont(EngineDefaultFont());
    View.resize(ViewWidth, ViewHeight);
    View.show();
    QCoreApplication::processEvents();
  }
  QTextEdit& Editor() { return View; }
  void Open(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
      View.setPlainText(QString::fromUtf8(file.readAll()));
  }
  // Asking for the document's size lays all of it out.
  bool LaidOut() {
    View.document()->documentLayout()->documentSize();
    return true;
  }
  QTextEdit View;
};

// Open to first paint of the new text.
template <typename TView> void OpenPath(benchmark::State& state, const QString& path) {
  TView view;
  for (auto _ : state) {
    state.PauseTiming();
    view.Editor().clear();
    ProcessUntil([&view] { return view.LaidOut(); });
    TPaintCounter paints(view.Editor().viewport());
    state.ResumeTiming();
    view.Open(path);
    ProcessUntil([&paints] { return paints.Paints > 0; });
  }
  if constexpr (std::is_base_of_v<TPaneView, TView>)
    if (view.Failed)
      state.SkipWithError("the pane refused or failed the file");
}

template <typename TView> void Open(benchmark::State& state) {
  OpenPath<TView>(state, LinesFile(static_cast<int>(state.range(0))));
}

void PaneOpen(benchmark::State& state) {
  Open<TPaneView>(state);
}
void BareOpen(benchmark::State& state) {
  Open<TBareView>(state);
}

// What the open command does with the pane: the load, then the document
// declared UTF-8.
struct TOpenCommandView : TPaneView {
  void Open(const QString& path) {
    if (!LoadDeclaredUtf8(Pane, path))
      Failed = true;
  }
};

void PaneOpenCommand(benchmark::State& state) {
  Open<TOpenCommandView>(state);
}

void OpenCommandFile(benchmark::State& state, QString (*file)()) {
  OpenPath<TOpenCommandView>(state, file());
}
void BareOpenFile(benchmark::State& state, QString (*file)()) {
  OpenPath<TBareView>(state, file());
}
void OpenCommandAttributes(benchmark::State& state) {
  OpenPath<TOpenCommandView>(state, HostileFile(static_cast<int>(state.range(0))));
}

// The longest GUI-thread stretch from the open until the layout of the
// whole document is complete.
template <typename TView> void LongestStretchPath(benchmark::State& state, const QString& path) {
  TView view;
  qint64 longest = 0;
  for (auto _ : state) {
    view.Editor().clear();
    TLatenessProbe probe;
    QTimer::singleShot(0, [&view, &path] { view.Open(path); });
    QCoreApplication::processEvents();
    ProcessUntil([&view] { return view.LaidOut(); });
    longest = std::max(longest, probe.LongestMs());
  }
  state.counters["longest_ms"] = static_cast<double>(longest);
}

template <typename TView> void LongestStretch(benchmark::State& state) {
  LongestStretchPath<TView>(state, LinesFile(static_cast<int>(state.range(0))));
}

void PaneOpenLongestStretch(benchmark::State& state) {
  LongestStretch<TPaneView>(state);
}
void OpenCommandLongestStretch(benchmark::State& state) {
  LongestStretch<TOpenCommandView>(state);
}
void OpenCommandLongestStretchFile(benchmark::State& state, QString (*file)()) {
  LongestStretchPath<TOpenCommandView>(state, file());
}

// --- child processes: peak memory and idle processor time ---------------

double ProcessCpuSeconds() {
  timespec time{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

// Opens the file in one view, waits until it is laid out, focuses it and
// then lets the event loop run idle; prints "<peak RSS KiB> <idle CPU %>".
template <typename TView> int Probe(const QString& path) {
  TView view;
  view.Open(path);
  ProcessUntil([&view] { return view.LaidOut(); });
  QWidget* window = view.Editor().window();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  view.Editor().setFocus();
  RunIdle(500);
  const double cpuBefore = ProcessCpuSeconds();
  QElapsedTimer idle;
  idle.start();
  RunIdle(5000);
  const double cpuPercent =
      100.0 * (ProcessCpuSeconds() - cpuBefore) / (static_cast<double>(idle.elapsed()) / 1000.0);
  std::printf("%lld %.2f\n", PeakRssKiB(), cpuPercent);
  return 0;
}

struct TProbeResult {
  double PeakRssMiB = 0;
  double IdleCpuPercent = -1;
};

TProbeResult RunProbe(const char* view, const QString& path) {
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--probe"), QString::fromLatin1(view), path});
  process.waitForFinished(600000);
  const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
  TProbeResult result;
  if (fields.size() == 2) {
    result.PeakRssMiB = fields[0].toDouble() / 1024.0;
    result.IdleCpuPercent = fields[1].toDouble();
  }
  return result;
}

BENCHMARK(PaneOpen)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(PaneOpenCommand)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BareOpen)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(PaneOpenLongestStretch)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(OpenCommandLongestStretch)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(OpenCommandFile, mixed, &MixedFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BareOpenFile, mixed, &MixedFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(OpenCommandLongestStretchFile, mixed, &MixedFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(OpenCommandAttributes)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 4 && std::string(argv[1]) == "--probe") {
    const QString path = QString::fromLocal8Bit(argv[3]);
    const std::string view = argv[2];
    if (view == "pane")
      return Probe<TPaneView>(path);
    if (view == "command")
      return Probe<TOpenCommandView>(path);
    return Probe<TBareView>(path);
  }
  bool probes = true;
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "--no-probes") {
      probes = false;
      std::copy(argv + i + 1, argv + argc, argv + i);
      --argc;
      break;
    }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto wall = [&reporter](const std::string& name) {
    return reporter.WallTime(name + "/iterations:3/real_time");
  };
  std::printf("\nRatios against the baseline of the same run (wall time):\n");
  reporter.PrintRatio("Open 100,000 lines / bare setPlainText", wall("PaneOpen/100000"),
                      wall("BareOpen/100000"), 2.0);
  reporter.PrintRatio("Open 1,000,000 lines / bare setPlainText", wall("PaneOpen/1000000"),
                      wall("BareOpen/1000000"), 2.0);
  reporter.PrintRatio("Open 1,000,000 / 100,000 lines (linear: 10)", wall("PaneOpen/1000000"),
                      wall("PaneOpen/100000"), 12.0);
  const auto once = [&reporter](const std::string& name) {
    return reporter.WallTime(name + "/iterations:1/real_time");
  };
  reporter.PrintRatio("Open command 100,000 lines / bare setPlainText",
                      once("PaneOpenCommand/100000"), wall("BareOpen/100000"), 2.0);
  reporter.PrintRatio("Open command 1,000,000 lines / bare setPlainText",
                      once("PaneOpenCommand/1000000"), wall("BareOpen/1000000"), 2.0);
  reporter.PrintRatio("Open command 16 MiB mixed text / bare setPlainText",
                      wall("OpenCommandFile/mixed"), wall("BareOpenFile/mixed"), 2.0);
  reporter.PrintRatio("Open command 1,000,000 / 100,000 attributes (linear)",
                      once("OpenCommandAttributes/1000000"), once("OpenCommandAttributes/100000"),
                      12.0);
  reporter.PrintRatio("Open command 100,000 attributes / 100,000 lines",
                      once("OpenCommandAttributes/100000"), once("PaneOpenCommand/100000"), 0);
  reporter.PrintRatio("Bare setPlainText 1,000,000 / 100,000 (reference)", wall("BareOpen/1000000"),
                      wall("BareOpen/100000"), 0);
  std::printf("%-52s %7.0f ms  (aim <= 200 ms)\n",
              "Longest GUI-thread stretch, 1,000,000-line load",
              reporter.Counter("PaneOpenLongestStretch/1000000/iterations:1/real_time/longest_ms"));
  std::printf(
      "%-52s %7.0f ms  (aim <= 100 ms)\n", "Longest GUI-thread stretch, open command",
      reporter.Counter("OpenCommandLongestStretch/1000000/iterations:1/real_time/longest_ms"));
  std::printf(
      "%-52s %7.0f ms  (aim <= 200 ms)\n", "Longest GUI-thread stretch, 16 MiB mixed text",
      reporter.Counter("OpenCommandLongestStretchFile/mixed/iterations:1/real_time/longest_ms"));
  if (!probes) {
    std::fflush(stdout);
    benchmark::Shutdown();
    return 0;
  }

  const TProbeResult paneMemory = RunProbe("pane", LinesFile(1000000));
  const TProbeResult bareMemory = RunProbe("bare", LinesFile(1000000));
  reporter.PrintRatio("Peak memory, 1,000,000-line open / bare view", paneMemory.PeakRssMiB,
                      bareMemory.PeakRssMiB, 3.0);
  std::printf("%-52s %7.1f MiB / %.1f MiB\n", "Peak memory, pane / bare view",
              paneMemory.PeakRssMiB, bareMemory.PeakRssMiB);
  const TProbeResult commandMemory = RunProbe("command", LinesFile(1000000));
  reporter.PrintRatio("Peak memory, 1,000,000-line open command / bare", commandMemory.PeakRssMiB,
                      bareMemory.PeakRssMiB, 2.0);
  const TProbeResult mixedCommand = RunProbe("command", MixedFile());
  const TProbeResult mixedBare = RunProbe("bare", MixedFile());
  reporter.PrintRatio("Peak memory, 16 MiB mixed open command / bare", mixedCommand.PeakRssMiB,
                      mixedBare.PeakRssMiB, 2.0);
  const QString threeMiB = LinesFile(3 * 1024 * 1024 / 13);
  const TProbeResult paneIdle = RunProbe("pane", threeMiB);
  const TProbeResult bareIdle = RunProbe("bare", threeMiB);
  std::printf("%-52s %6.2f %% / %.2f %%  (aim: as the bare view)\n",
              "Idle CPU, 3 MB text open and focused, pane / bare", paneIdle.IdleCpuPercent,
              bareIdle.IdleCpuPercent);
  std::fflush(stdout);
  benchmark::Shutdown();
  return 0;
}
