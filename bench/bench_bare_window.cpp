// The start-up baseline: a bare Qt program that shows one empty window.
#include "paint_probe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QWidget window;
  window.resize(528, 545);
  TPaintProbe probe(&window);
  window.show();
  return app.exec();
}
