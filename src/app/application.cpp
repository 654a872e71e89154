#include "app/application.h"

#include "core/app_error.h"
#include "core/app_title.h"
#include "core/product_info.h"

#include <QIcon>
#include <QMessageBox>
#include <QThread>
#include <atomic>
#include <exception>

namespace {

// notify() runs on every thread that has an event loop.
std::atomic<int>& EscapedErrors() {
  static std::atomic<int> count = 0;
  return count;
}

TApplication::TErrorBox& ErrorBoxOverride() {
  static TApplication::TErrorBox box;
  return box;
}

void ShowErrorBox(const QString& message) {
  const QString caption = ApplicationTitle();
  const QString text = ErrorBoxText(message);
  if (ErrorBoxOverride()) {
    ErrorBoxOverride()(caption, text);
    return;
  }
  // A box needs the GUI thread; elsewhere the error can only be logged.
  if (QThread::currentThread() != qApp->thread()) {
    qCritical("%s", qUtf8Printable(text));
    return;
  }
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

} // namespace

QString ErrorBoxText(const QString& message) {
  static const QString sentenceEnds = QStringLiteral(".!?\u3002\uFF01\uFF1F\u2026");
  if (message.isEmpty() || sentenceEnds.contains(message.back()))
    return message;
  return message + QLatin1Char('.');
}

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
    HandleException();
    return false;
  }
}

int TApplication::EscapedErrorCount() {
  return EscapedErrors();
}

void TApplication::HandleException() {
  try {
    throw;
  } catch (const ETralvescoError& error) {
    ShowErrorBox(error.Message());
  } catch (const std::exception& error) {
    ShowErrorBox(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowErrorBox(QStringLiteral("An unexpected error occurred"));
  }
}

void TApplication::SetErrorBoxForTesting(TErrorBox box) {
  ErrorBoxOverride() = std::move(box);
}
