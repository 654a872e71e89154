#include "core/worker_wait.h"

#include "core/error_edge.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <climits>
#include <deque>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

namespace {

Q_LOGGING_CATEGORY(WorkerWait, "tralvesco.wait")

bool IsPointerInput(QEvent::Type type) {
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
  case QEvent::DragEnter:
  case QEvent::DragMove:
  case QEvent::Drop:
    return true;
  default:
    return false;
  }
}

// A modal box that opened after the wait (a time-out message, say) blocks
// the window the held keys were aimed at; the window system would not let
// a key through to it, so neither do we.
bool IsBlockedByModalBox(QObject* receiver) {
  const QWindow* modal = QGuiApplication::modalWindow();
  if (!modal)
    return false;
  const QWindow* target = qobject_cast<QWindow*>(receiver);
  if (const auto* widget = qobject_cast<QWidget*>(receiver))
    target = widget->window()->windowHandle();
  return target && target != modal && !modal->isAncestorOf(target);
}

// A shortcut override only asks the focus widget whether it wants the key
// itself; it passes, so that the key then takes the road it would take
// without a wait.
bool IsKeyInput(QEvent::Type type) {
  return type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::Shortcut ||
         type == QEvent::InputMethod;
}

// Keeps user input from the program while a wait runs, whether the window
// system delivers it or it is sent straight to a widget. A close request is
// not input: it passes. (The event loop's own flag for leaving input out
// would hold the window system's close requests back as well.)
class TInputGate : public QObject {
public:
  void Enter(TWaitInput input) {
    if (FDepth++ == 0)
      QCoreApplication::instance()->installEventFilter(this);
    if (input == TWaitInput::Refuse)
      ++FRefusing;
  }

  void Leave(TWaitInput input) {
    if (input == TWaitInput::Refuse)
      --FRefusing;
    if (--FDepth > 0)
      return;
    QCoreApplication::instance()->removeEventFilter(this);
    for (const QPointer<QObject>& object : std::exchange(FDeleteLater, {}))
      if (object)
        object->deleteLater();
    if (!FHeld.empty())
      QTimer::singleShot(0, this, [this] { RunHandler([this] { Deliver(); }); });
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    // Whoever waits may be among the objects a handler meanwhile lets go
    // of: they go once no wait runs.
    if (type == QEvent::DeferredDelete) {
      RunHandler([&] { FDeleteLater.emplace_back(watched); });
      return true;
    }
    if (IsPointerInput(type))
      return true;
    if (!IsKeyInput(type))
      return false;
    if (FRefusing == 0)
      RunHandler([&] {
        FHeld.push_back({QPointer<QObject>(watched), std::unique_ptr<QEvent>(event->clone())});
      });
    return true;
  }

private:
  // The held keys in the order typed. A key that starts a wait of its own
  // ends this round; the end of that wait starts the next one. Keys wait
  // behind a modal box until it closes, and keep their order.
  void Deliver() {
    while (FDepth == 0 && !FHeld.empty()) {
      if (IsBlockedByModalBox(FHeld.front().Receiver)) {
        QTimer::singleShot(50, this, [this] { RunHandler([this] { Deliver(); }); });
        return;
      }
      const THeld held = std::move(FHeld.front());
      FHeld.pop_front();
      if (held.Receiver)
        QCoreApplication::sendEvent(held.Receiver, held.Event.get());
    }
  }

  struct THeld {
    QPointer<QObject> Receiver;
    std::unique_ptr<QEvent> Event;
  };
  int FDepth = 0;
  int FRefusing = 0;
  std::deque<THeld> FHeld;
  std::vector<QPointer<QObject>> FDeleteLater;
};

TInputGate& Gate() {
  static auto* gate = new TInputGate;
  return *gate;
}

class TGateScope {
public:
  explicit TGateScope(TWaitInput input) : FInput(input) { Gate().Enter(input); }
  ~TGateScope() {
    // Input the window system has queued by now meets the gate too, so that
    // a click made during the wait does not run later and held keys keep
    // their order.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    Gate().Leave(FInput);
  }
  TGateScope(const TGateScope&) = delete;
  TGateScope& operator=(const TGateScope&) = delete;

private:
  TWaitInput FInput;
};

// The local loops now running, innermost last, and whether each was woken.
struct TRunningLoop {
  QEventLoop* Loop;
  bool Woken = false;
};
std::vector<TRunningLoop*> RunningLoops;
bool QuitSeen = false;

} // namespace

void WakeWaits() {
  for (TRunningLoop* running : RunningLoops) {
    running->Woken = true;
    running->Loop->quit();
  }
}

bool QuitRequested() {
  return QuitSeen;
}

TWaitEnd WaitInEventLoop(const std::function<bool()>& done, qint64 limitMs, TWaitInput input) {
  const TGateScope gate(input);
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (QuitSeen)
      return TWaitEnd::Quit;
    if (limitMs >= 0 && clock.elapsed() > limitMs)
      return TWaitEnd::TimedOut;
    QEventLoop loop;
    TRunningLoop running{&loop};
    RunningLoops.push_back(&running);
    QTimer limit;
    bool limitReached = false;
    if (limitMs >= 0) {
      limit.setSingleShot(true);
      limit.setTimerType(Qt::PreciseTimer);
      QObject::connect(&limit, &QTimer::timeout, &loop, [&limitReached, &loop] {
        limitReached = true;
        loop.quit();
      });
      limit.start(static_cast<int>(std::clamp<qint64>(limitMs - clock.elapsed() + 1, 0, INT_MAX)));
    }
    loop.exec();
    RunningLoops.erase(std::find(RunningLoops.begin(), RunningLoops.end(), &running));
    // Neither woken nor timed out: a request to leave every event loop
    // (QCoreApplication::exit, as when the last window closes).
    if (!running.Woken && !limitReached) {
      qCInfo(WorkerWait, "quit requested during a wait");
      QuitSeen = true;
    }
  }
  return TWaitEnd::Done;
}

namespace {

// Threads that may outlive a wait, joined before the program ends.
struct TKeptThread {
  QPointer<QThread> Thread;
  std::shared_ptr<std::atomic_bool> Cancelled;
};
std::vector<TKeptThread> KeptThreads;
QThread* Disposer = nullptr;

void JoinKeptThreads() {
  for (const TKeptThread& kept : KeptThreads)
    kept.Cancelled->store(true);
  for (const TKeptThread& kept : KeptThreads) {
    if (kept.Thread) {
      kept.Thread->wait();
      delete kept.Thread.data();
    }
  }
  KeptThreads.clear();
  if (Disposer) {
    Disposer->quit();
    Disposer->wait();
    delete Disposer;
    Disposer = nullptr;
  }
}

void JoinAtExit() {
  static const bool registered = [] {
    qAddPostRoutine(&JoinKeptThreads);
    return true;
  }();
  Q_UNUSED(registered);
}

} // namespace

void RunOnWorkerThread(const std::function<void()>& work, TWaitInput input) {
  std::exception_ptr failure;
  std::atomic_bool finished = false;
  const std::unique_ptr<QThread> worker(QThread::create([&work, &failure, &finished] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    finished = true;
  }));
  // The worker is joined however the wait ends: a thread destroyed while it
  // runs would end the program, and the work points into the caller's frame.
  const auto join = qScopeGuard([&worker] { worker->wait(); });
  QObject::connect(worker.get(), &QThread::finished, &Gate(), &WakeWaits);
  worker->start();
  if (WaitInEventLoop([&finished] { return finished.load(); }, -1, input) == TWaitEnd::Quit) {
    // Leaving early is not possible: the work still has to finish before
    // its results may be touched.
    const TGateScope gate(input);
    QEventLoop loop;
    while (!finished)
      loop.processEvents(QEventLoop::WaitForMoreEvents);
  }
  worker->wait();
  if (failure)
    std::rethrow_exception(failure);
}

void StartWorkerJob(std::function<void(const std::atomic_bool& cancelled)> work,
                    const QObject* context, std::function<void()> finished) {
  JoinAtExit();
  auto cancelled = std::make_shared<std::atomic_bool>(false);
  QThread* thread = QThread::create([work = std::move(work), cancelled] {
    try {
      work(*cancelled);
    } catch (const std::exception& error) {
      qCWarning(WorkerWait, "a worker job failed: %s", error.what());
    } catch (...) {
      qCWarning(WorkerWait, "a worker job failed");
    }
  });
  KeptThreads.erase(std::remove_if(KeptThreads.begin(), KeptThreads.end(),
                                   [](const TKeptThread& kept) { return !kept.Thread; }),
                    KeptThreads.end());
  KeptThreads.push_back({thread, cancelled});
  QObject::connect(thread, &QThread::finished, context,
                   [finished = std::move(finished)] { RunHandler(finished); });
  QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
  QObject::connect(thread, &QThread::finished, &Gate(), &WakeWaits);
  thread->start();
}

void DisposeOnWorkerThread(QObject* object) {
  JoinAtExit();
  if (!Disposer) {
    Disposer = new QThread;
    Disposer->setObjectName(QStringLiteral("disposer"));
    Disposer->start(QThread::LowPriority);
  }
  // Its timers, which only the thread they are registered with can stop,
  // move with it; the disposer's loop then deletes it.
  object->moveToThread(Disposer);
  object->deleteLater();
}
