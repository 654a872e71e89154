#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPane)

// Logs the exception being handled, for a pane operation that answers its
// marker text or drops a write instead of raising: the user sees the marker,
// the log keeps the reason. Call it only inside a catch block.
void LogCaughtFailure(const char* operation) noexcept;
