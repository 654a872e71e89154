#include "app/application.h"

#include "core/error_edge.h"
#include "core/product_info.h"

#include <QIcon>
#include <atomic>
#include <exception>

namespace {

// notify() runs on every thread that has an event loop.
std::atomic<int>& EscapedErrors() {
  static std::atomic<int> count = 0;
  return count;
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The settings fall-back folder (~/.config/Tralvesco) is named after this.
  setApplicationName(ProductInfo::ApplicationTitle);
  setApplicationVersion(ProductInfo::VersionNumber);
  // Desktops match the windows to the installed desktop entry by this.
  setDesktopFileName(ProductInfo::DesktopId);
  // Every window without an icon of its own, message boxes included, wears
  // this one; it is the same drawing the desktop entry's icon is made from.
  setWindowIcon(QIcon(QStringLiteral(":/icon/tralvesco.svg")));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ++EscapedErrors();
    ShowHandledError();
    return false;
  }
}

int TApplication::EscapedErrorCount() {
  return EscapedErrors();
}
