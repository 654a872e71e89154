#pragma once

#include <QtGlobal>
#include <atomic>
#include <functional>

class QObject;

// The program's one way to wait. The GUI thread waits in a local event loop:
// the windows repaint, timers and animations run and a window can be
// closed, but no user input reaches the program during the wait. Pointer
// input (clicks, wheel, drags) is dropped: it was aimed at what the window
// showed then. Keys are refused or held back, as the wait says.
//
// Only this file's functions run the event loop from inside a handler, and
// only they start threads.

enum class TWaitInput {
  // Keys are dropped: nothing the user pressed meanwhile runs afterwards.
  Refuse,
  // Keys (and the shortcuts they make) are held and delivered in the order
  // typed, to where they were aimed, as soon as no wait runs any more and
  // no modal box stands in front of their window.
  Defer,
};

enum class TWaitEnd {
  Done,
  TimedOut,
  // The program was asked to quit (its last window closed).
  Quit,
};

// Waits until done() holds, limitMs passes (negative: no limit) or the
// program is asked to quit. done() is asked again after WakeWaits().
TWaitEnd WaitInEventLoop(const std::function<bool()>& done, qint64 limitMs, TWaitInput input);

// Makes every running wait ask its condition again.
void WakeWaits();

// Whether a quit request has reached a wait: later waits end at once.
bool QuitRequested();

// Runs work on a worker thread and waits for it. An exception thrown by
// work is rethrown here. The work must not touch widgets; it gets what it
// needs by value or from the caller's frame: this never returns, normally
// or by an exception, while the work still runs.
void RunOnWorkerThread(const std::function<void()>& work, TWaitInput input = TWaitInput::Refuse);

// Starts work on a thread of its own that the program owns: the caller may
// stop waiting for it, but it is joined before the program ends, after its
// flag has asked it to stop. finished runs on the GUI thread when the work
// has ended, unless context is gone by then. The work owns what it uses.
void StartWorkerJob(std::function<void(const std::atomic_bool& cancelled)> work,
                    const QObject* context, std::function<void()> finished);

// Deletes object on one long-lived thread, out of the window's way (taking
// a document of a million blocks apart takes a while). The object must have
// no parent; its own timers move with it. The thread is joined at exit.
void DisposeOnWorkerThread(QObject* object);
