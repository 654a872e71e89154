#include "app/run_handler.h"

#include "app/application.h"

#include <cstdio>

bool RunHandler(const std::function<void()>& work) noexcept {
  try {
    work();
    return true;
  } catch (...) {
    try {
      TApplication::HandleException();
    } catch (...) {
      // Not even the box could be shown (no memory left for it); the
      // program still goes on.
      std::fputs("Tralvesco: an error could not be shown.\n", stderr);
    }
  }
  return false;
}
