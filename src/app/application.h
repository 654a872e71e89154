#pragma once

#include <QApplication>
#include <functional>

// The application object. Its notify() is the program's one error handler: an
// error that escapes an event handler ends that handler and is shown in a
// message box (error icon, the application title as caption, the text with a
// full stop added); then the program goes on.
class TApplication : public QApplication {
  Q_OBJECT

public:
  TApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // The application title: the caption of application-titled message boxes.
  // Kept apart from QGuiApplication::applicationDisplayName, which the
  // platform would append to every window title. Until it is set it is the
  // application name.
  static QString Title();
  static void SetTitle(const QString& title);

  // Shows the error box for the exception being handled; call it only from
  // inside a catch block. Works under any QApplication.
  static void HandleException();

  // Tests replace the modal box with a recorder.
  using TErrorBox = std::function<void(const QString& caption, const QString& text)>;
  static void SetErrorBoxForTesting(TErrorBox box);
};

// The message as the error box shows it: a full stop is added unless the text
// is empty or already ends a sentence.
QString ErrorBoxText(const QString& message);
