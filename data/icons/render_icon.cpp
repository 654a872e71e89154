// Renders the program's scalable icon at the sizes desktops look up in the
// hicolor theme: render_icon <svg> <theme folder> <icon name> <size>...
// writes <theme folder>/<size>x<size>/apps/<icon name>.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char* argv[]) {
  // Drawing into an image needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() < 5) {
    std::fprintf(stderr, "usage: render_icon <svg> <theme folder> <icon name> <size>...\n");
    return 2;
  }
  for (qsizetype i = 4; i < args.size(); ++i) {
    bool ok = false;
    const int size = args[i].toInt(&ok);
    if (!ok || size <= 0 || size > 1024) {
      std::fprintf(stderr, "render_icon: bad size %s\n", qPrintable(args[i]));
      return 2;
    }
    QImageReader reader(args[1]);
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(size);
    const QString target = folder + QLatin1Char('/') + args[3] + QStringLiteral(".png");
    if (image.isNull() || !QDir().mkpath(folder) || !image.save(target, "PNG")) {
      std::fprintf(stderr, "render_icon: cannot render %s at %d: %s\n", qPrintable(args[1]), size,
                   qPrintable(reader.errorString()));
      return 1;
    }
  }
  return 0;
}
