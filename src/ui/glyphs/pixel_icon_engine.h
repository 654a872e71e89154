#pragma once

#include <QIcon>
#include <QIconEngine>
#include <QList>
#include <QString>

// An icon drawn from raw pixels rendered at build time from its SVG at a few
// sizes (":/pixels/<name>-<size>.px"), each read the first time a size needs
// it; what the icon shows is what QIcon showed of the SVG at those sizes. A
// size above all of them is drawn from the SVG itself, which only then
// brings in Qt's SVG support.
class TPixelIconEngine : public QIconEngine {
public:
  TPixelIconEngine(const QString& name, const QList<int>& sizes, const QString& svgPath);

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
  QIconEngine* clone() const override;
  QString key() const override;

private:
  // The icon to draw a picture of this many pixels from.
  QIcon& IconFor(int pixels);

  QString FName;
  QList<int> FSizes; // ascending
  QString FSvgPath;
  QIcon FPixels; // the sizes read so far
  QList<int> FRead;
  QIcon FScalable; // made on first need
};
