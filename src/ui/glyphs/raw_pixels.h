#pragma once

#include <QByteArray>
#include <QImage>

// A picture as the program carries it compiled in: its pixels exactly as a
// pixmap holds them, so showing it needs no decoder and none of Qt's image
// plugins (reading one PNG loads every one of them). Made at build time, on
// the machine that runs the program: "TVPX", then width and height as 32-bit
// numbers in the machine's order, then the rows of premultiplied ARGB32.
QByteArray RawPixels(const QImage& image);

// The picture, or a null image when the bytes are not one of these.
QImage FromRawPixels(const QByteArray& bytes);
