#include "core/worker_wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <exception>

namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseMove:
  case QEvent::NonClientAreaMouseButtonPress:
  case QEvent::NonClientAreaMouseButtonRelease:
  case QEvent::NonClientAreaMouseButtonDblClick:
  case QEvent::NonClientAreaMouseMove:
  case QEvent::Wheel:
  case QEvent::KeyPress:
  case QEvent::KeyRelease:
  case QEvent::Shortcut:
  case QEvent::ShortcutOverride:
  case QEvent::ContextMenu:
  case QEvent::TouchBegin:
  case QEvent::TouchUpdate:
  case QEvent::TouchEnd:
  case QEvent::TouchCancel:
  case QEvent::TabletPress:
  case QEvent::TabletMove:
  case QEvent::TabletRelease:
  case QEvent::NativeGesture:
  case QEvent::Gesture:
  case QEvent::InputMethod:
  case QEvent::DragEnter:
  case QEvent::DragMove:
  case QEvent::Drop:
    return true;
  default:
    return false;
  }
}

// Swallows user input for the whole program while it exists, whether the
// window system delivers it or it is sent straight to a widget. A close
// request is not input: it passes. (The event loop's own flag for leaving
// input out would hold the window system's close requests back as well.)
class TInputBlocker : public QObject {
public:
  TInputBlocker() { QCoreApplication::instance()->installEventFilter(this); }
  ~TInputBlocker() override { QCoreApplication::instance()->removeEventFilter(this); }
  TInputBlocker(const TInputBlocker&) = delete;
  TInputBlocker& operator=(const TInputBlocker&) = delete;

  bool eventFilter(QObject* watched, QEvent* event) override {
    Q_UNUSED(watched);
    return IsUserInput(event->type());
  }
};

// Owns the worker thread and joins it before letting it go, however the
// wait ends: a thread destroyed while it runs would end the program, and the
// work still points into the caller's frame.
class TJoiningThread {
public:
  explicit TJoiningThread(QThread* thread) : FThread(thread) {}
  ~TJoiningThread() {
    FThread->wait();
    delete FThread;
  }
  TJoiningThread(const TJoiningThread&) = delete;
  TJoiningThread& operator=(const TJoiningThread&) = delete;

  QThread* operator->() const { return FThread; }
  QThread* Thread() const { return FThread; }

private:
  QThread* FThread;
};

} // namespace

void RunOnWorkerThread(const std::function<void()>& work) {
  // Declared before the thread, so it outlives it.
  std::exception_ptr failure;
  const TJoiningThread worker(QThread::create([&work, &failure] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  }));

  {
    const TInputBlocker blocker;
    QEventLoop loop;
    QObject::connect(worker.Thread(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    // A request to leave every event loop (QCoreApplication::exit, as when
    // the last window closes) ends the local one early; the work still has
    // to finish before its results may be touched.
    while (!worker->isFinished())
      loop.processEvents(QEventLoop::WaitForMoreEvents);
    // Input the window system has queued by now meets the blocker too, so
    // that a click made during the wait does not run later.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  worker->wait();
  if (failure)
    std::rethrow_exception(failure);
}
