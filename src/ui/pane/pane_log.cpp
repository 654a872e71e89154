#include "ui/pane/pane_log.h"

#include <exception>
#include <new>

Q_LOGGING_CATEGORY(lcPane, "tralvesco.pane", QtWarningMsg)

void LogCaughtFailure(const char* operation) noexcept {
  try {
    try {
      throw;
    } catch (const std::bad_alloc&) {
      // Building a message may need the memory that just ran out.
      qCWarning(lcPane, "%s: out of memory", operation);
    } catch (const std::exception& failure) {
      qCWarning(lcPane, "%s failed: %s", operation, failure.what());
    } catch (...) {
      qCWarning(lcPane, "%s failed for an unknown reason", operation);
    }
  } catch (...) {
    // Even the log could not take it; the caller goes on with its marker.
  }
}
