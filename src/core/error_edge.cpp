#include "core/error_edge.h"

#include "core/app_error.h"
#include "core/app_title.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdio>
#include <exception>

namespace {

TErrorBox& ErrorBoxOverride() {
  static TErrorBox box;
  return box;
}

} // namespace

void ShowErrorMessage(const QString& message) {
  const QString caption = ApplicationTitle();
  const QString text = ErrorBoxText(message);
  if (ErrorBoxOverride()) {
    ErrorBoxOverride()(caption, text);
    return;
  }
  // A box needs the GUI thread; elsewhere the error can only be logged.
  if (qApp == nullptr || QThread::currentThread() != qApp->thread()) {
    qCritical("%s", qUtf8Printable(text));
    return;
  }
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

bool RunHandler(const std::function<void()>& work) noexcept {
  try {
    work();
    return true;
  } catch (...) {
    try {
      ShowHandledError();
    } catch (...) {
      // Not even the box could be shown (no memory left for it); the
      // program still goes on.
      std::fputs("Tralvesco: an error could not be shown.\n", stderr);
    }
  }
  return false;
}

void ShowHandledError() {
  try {
    throw;
  } catch (const ETralvescoError& error) {
    ShowErrorMessage(error.Message());
  } catch (const std::exception& error) {
    ShowErrorMessage(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowErrorMessage(QStringLiteral("An unexpected error occurred"));
  }
}

QString ErrorBoxText(const QString& message) {
  static const QString sentenceEnds = QStringLiteral(".!?\u3002\uFF01\uFF1F\u2026");
  if (message.isEmpty() || sentenceEnds.contains(message.back()))
    return message;
  // A sentence in Chinese ends with its own full stop.
  if (message.back().script() == QChar::Script_Han || message.back().unicode() >= 0x3000)
    return message + QChar(0x3002);
  return message + QLatin1Char('.');
}

void SetErrorBoxForTesting(TErrorBox box) {
  ErrorBoxOverride() = std::move(box);
}
