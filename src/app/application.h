#pragma once

#include <QApplication>

// The application object. Errors are shown where Qt calls the program's
// code, through RunHandler (core/error_edge.h); notify() only keeps an error
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

  // Puts the pictures the style would otherwise decode, loading Qt's image
  // plugins, into the pixmap cache; again after a new style or palette.
  static void SeedStylePictures();
};
