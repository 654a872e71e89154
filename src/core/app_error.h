#pragma once

#include <QString>
#include <stdexcept>

// The error that escapes an event handler and reaches the application's error
// box. It carries the user-facing text unchanged; the box adds the full stop.
class ETralvescoError : public std::runtime_error {
public:
  explicit ETralvescoError(const QString& message)
      : std::runtime_error(message.toStdString()), FMessage(message) {}
  const QString& Message() const noexcept { return FMessage; }

private:
  QString FMessage;
};
