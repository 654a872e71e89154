#include "ui/main/worker_wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <exception>
#include <memory>

namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseMove:
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
    return true;
  default:
    return false;
  }
}

// Swallows user input for the whole program while it exists: what the
// window system holds back during the wait, and input sent straight to a
// widget, which no event-loop flag can hold back.
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

} // namespace

void RunOnWorkerThread(const std::function<void()>& work) {
  std::exception_ptr failure;
  const std::unique_ptr<QThread> worker(QThread::create([&work, &failure] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  }));

  {
    const TInputBlocker blocker;
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    constexpr QEventLoop::ProcessEventsFlags waitFlags = QEventLoop::ExcludeUserInputEvents;
    loop.exec(waitFlags);
    // A request to leave every event loop (QCoreApplication::exit) ends the
    // local one early; the work still has to finish before its results and
    // its captures may be touched.
    while (!worker->isFinished())
      loop.processEvents(waitFlags | QEventLoop::WaitForMoreEvents);
    // The window system kept the input back; let it through now, into the
    // blocker, so that a click made during the wait does not run later.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  worker->wait();
  if (failure)
    std::rethrow_exception(failure);
}
