#pragma once

#include <QApplication>
#include <functional>

// The application object. Errors are shown where Qt calls the program's
// code, through RunHandler (app/run_handler.h); notify() only keeps an error
// that still got past such an edge from ending the program, and counts it.
class TApplication : public QApplication {
  Q_OBJECT

public:
  TApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // How many errors have reached notify(). Each one crossed Qt's event
  // delivery, which Qt does not survive reliably: a handler that is missing
  // its RunHandler.
  static int EscapedErrorCount();

  // Shows the error box for the exception being handled; call it only from
  // inside a catch block (RunHandler does). Works under any QApplication.
  static void HandleException();

  // Tests replace the modal box with a recorder.
  using TErrorBox = std::function<void(const QString& caption, const QString& text)>;
  static void SetErrorBoxForTesting(TErrorBox box);
};

// The message as the error box shows it: a full stop is added unless the text
// is empty or already ends a sentence.
QString ErrorBoxText(const QString& message);
