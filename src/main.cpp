#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QLabel window(QStringLiteral("Tralvesco: the main window comes with the next stage."));
  window.resize(528, 545);
  window.show();
  return app.exec();
}
