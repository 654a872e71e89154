#include "ui/glyphs/pixel_icon_engine.h"

#include "core/error_edge.h"
#include "ui/glyphs/raw_pixels.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

TPixelIconEngine::TPixelIconEngine(const QString& name, const QList<int>& sizes,
                                   const QString& svgPath)
    : FName(name), FSizes(sizes), FSvgPath(svgPath) {
  std::sort(FSizes.begin(), FSizes.end());
}

QIcon& TPixelIconEngine::IconFor(int pixels) {
  // The smallest rendering at least as large, scaled down if need be, as
  // QIcon picks among pixmaps.
  const auto fits = std::lower_bound(FSizes.cbegin(), FSizes.cend(), pixels);
  if (fits != FSizes.cend()) {
    const int size = *fits;
    if (FRead.contains(size))
      return FPixels;
    QFile file(QStringLiteral(":/pixels/%1-%2.px").arg(FName).arg(size));
    const QImage image = file.open(QIODevice::ReadOnly) ? FromRawPixels(file.readAll()) : QImage();
    if (!image.isNull()) {
      FPixels.addPixmap(QPixmap::fromImage(image));
      FRead.append(size);
      return FPixels;
    }
  }
  if (FScalable.isNull())
    FScalable = QIcon(FSvgPath);
  return FScalable;
}

void TPixelIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                             QIcon::State state) {
  // Qt calls this while it paints.
  RunHandler([&] {
    const QPaintDevice* device = painter->device();
    const qreal ratio = device ? device->devicePixelRatio() : qApp->devicePixelRatio();
    painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
  });
}

QPixmap TPixelIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
  QPixmap drawn;
  RunHandler([&] {
    drawn = IconFor(std::max(size.width(), size.height())).pixmap(size, 1.0, mode, state);
  });
  return drawn;
}

QSize TPixelIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) {
  Q_UNUSED(mode);
  Q_UNUSED(state);
  // Square and scalable, as the SVG was.
  const int side = std::min(size.width(), size.height());
  return {side, side};
}

QList<QSize> TPixelIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) {
  Q_UNUSED(mode);
  Q_UNUSED(state);
  QList<QSize> sizes;
  for (const int size : FSizes)
    sizes.append(QSize(size, size));
  return sizes;
}

QIconEngine* TPixelIconEngine::clone() const {
  return new TPixelIconEngine(*this);
}

QString TPixelIconEngine::key() const {
  return QStringLiteral("TPixelIconEngine");
}
