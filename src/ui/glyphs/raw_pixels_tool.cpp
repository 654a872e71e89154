// A build tool, not part of the program: renders pictures into the raw pixels
// the program carries (raw_pixels.h).
//   raw_pixels <out folder> <sizes> <picture>...
// writes <out folder>/<picture's base name>-<size>.px for each size (a comma
// list) of a scalable picture, drawn as QIcon draws it at that size; with
// "native" as sizes, <base name>.px at the picture's own size. A picture may
// be one of Qt's own resources (":/...").
#include "ui/glyphs/raw_pixels.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <cstdio>

namespace {

bool Write(const QString& path, const QImage& image) {
  QFile file(path);
  return !image.isNull() && file.open(QIODevice::WriteOnly) && file.write(RawPixels(image)) >= 0 &&
         file.flush();
}

} // namespace

int main(int argc, char* argv[]) {
  // Drawing into an image needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The widgets library holds the style's own pictures.
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 4) {
    std::fprintf(stderr, "usage: raw_pixels <out folder> <sizes>|native <picture>...\n");
    return 2;
  }
  const QString folder = args[1];
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "raw_pixels: cannot make %s\n", qPrintable(folder));
    return 1;
  }
  QList<int> sizes;
  if (args[2] != QLatin1String("native")) {
    for (const QString& field : args[2].split(QLatin1Char(','))) {
      bool ok = false;
      const int size = field.toInt(&ok);
      if (!ok || size <= 0 || size > 1024) {
        std::fprintf(stderr, "raw_pixels: bad size %s\n", qPrintable(field));
        return 2;
      }
      sizes.append(size);
    }
  }
  for (qsizetype i = 3; i < args.size(); ++i) {
    const QString base = folder + QLatin1Char('/') + QFileInfo(args[i]).completeBaseName();
    bool written = true;
    if (sizes.isEmpty()) {
      written = Write(base + QStringLiteral(".px"), QPixmap(args[i]).toImage());
    } else {
      const QIcon picture(args[i]);
      for (const int size : sizes)
        written = written && Write(base + QStringLiteral("-%1.px").arg(size),
                                   picture.pixmap(QSize(size, size), 1.0).toImage());
    }
    if (!written) {
      std::fprintf(stderr, "raw_pixels: cannot render %s\n", qPrintable(args[i]));
      return 1;
    }
  }
  return 0;
}
