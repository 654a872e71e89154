#pragma once

#include <functional>

// Runs work on a worker thread while the calling (GUI) thread waits in a
// local event loop that swallows user input: the windows repaint, timers and
// animations run and a window can be closed, but no click, key or shortcut
// reaches the program, neither during the wait nor afterwards. An exception
// thrown by work is rethrown here.
//
// The work must not touch widgets; it gets what it needs by value. This
// never returns, normally or by an exception, while the work still runs.
void RunOnWorkerThread(const std::function<void()>& work);
