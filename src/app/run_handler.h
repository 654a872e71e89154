#pragma once

#include <functional>

// Every place where Qt calls the program's code (a slot, an event handler,
// done(), a timer) runs its work through this. An error the work raises ends
// the work here, at Qt's edge, and is shown in the application's error box
// (error icon, the application title as caption, the text with a full stop
// added); then the program goes on. Qt's event and signal delivery is not
// built to be unwound through, so nothing may leave this. True when the work
// ran to its end.
bool RunHandler(const std::function<void()>& work) noexcept;
