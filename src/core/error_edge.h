#pragma once

#include <QString>
#include <functional>

// Every place where Qt calls the program's code (a slot, an event handler,
// done(), a timer) runs its work through this, in every library. An error the
// work raises ends the work here, at Qt's edge, and is shown in the
// application's error box (error icon, the application title as caption, the
// text with a full stop added); then the program goes on. Qt's event and
// signal delivery is not built to be unwound through, so nothing may leave
// this. True when the work ran to its end.
bool RunHandler(const std::function<void()>& work) noexcept;

// Shows the error box for the exception being handled; call it only from
// inside a catch block (RunHandler and the application's last resort do).
// Works under any QApplication; off the GUI thread the error is logged.
void ShowHandledError();

// Shows the application's error box for a failure that was not raised: the
// same box, so every error the user meets looks alike.
void ShowErrorMessage(const QString& message);

// The message as the error box shows it: a full stop is added unless the text
// is empty or already ends a sentence; after Chinese text, the ideographic one.
QString ErrorBoxText(const QString& message);

// Tests replace the modal box with a recorder.
using TErrorBox = std::function<void(const QString& caption, const QString& text)>;
void SetErrorBoxForTesting(TErrorBox box);
