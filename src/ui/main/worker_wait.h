#pragma once

#include <functional>

// Runs work on a worker thread while the calling (GUI) thread waits in a
// local event loop that leaves user input alone: the windows repaint and
// timers and animations run, but no click, key or shortcut reaches the
// program. Input that arrives meanwhile is dropped when the work ends, not
// delivered afterwards. An exception thrown by work is rethrown here.
//
// The work must not touch widgets; whatever it shares with the GUI thread
// must stay untouched there until this returns.
void RunOnWorkerThread(const std::function<void()>& work);
