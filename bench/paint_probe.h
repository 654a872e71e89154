#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <sys/resource.h>

// The process's peak resident memory so far, in KiB.
inline long long PeakRssKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly))
    return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').value(0).toLongLong();
  return 0;
}

// The processor time the process has used so far, user and system, in ms.
inline double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Start-up probe shared by the benchmark's child processes: once the
// window's first paint is done, controls and all, it prints
// "shown <peak RSS in KiB> <processor ms>" on stdout and ends the program, so
// the parent can time process start to a painted window. The processor time
// is the steadier figure on a machine other work shares.
class TPaintProbe : public QObject {
public:
  explicit TPaintProbe(QWidget* window) { window->installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    Q_UNUSED(watched);
    if (event->type() == QEvent::Paint && !FDone) {
      FDone = true;
      // The window paints first, then its controls, in the same turn.
      QTimer::singleShot(0, qApp, [] {
        std::printf("shown %lld %.1f\n", PeakRssKiB(), CpuMs());
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    }
    return false;
  }

private:
  bool FDone = false;
};
