#include "ui/glyphs/glyphs.h"

#include "ui/glyphs/pixel_icon_engine.h"
#include "ui/glyphs/raw_pixels.h"

#include <QFile>

namespace {

// The glyphs' 16 pixels at the usual scales (1, 1.25, 1.5, 2, 2.5 and 3),
// and the program icon at the sizes a window system asks a scalable icon
// for; CMakeLists.txt renders these.
const QList<int> GlyphSizes = {16, 20, 24, 32, 40, 48};
const QList<int> ProgramIconSizes = {16, 32, 64, 128};

} // namespace

QIcon Glyph(const QString& name) {
  return QIcon(new TPixelIconEngine(name, GlyphSizes,
                                    QStringLiteral(":/glyphs/") + name + QStringLiteral(".svg")));
}

QIcon ProgramIcon() {
  return QIcon(new TPixelIconEngine(QStringLiteral("tralvesco"), ProgramIconSizes,
                                    QStringLiteral(":/icon/tralvesco.svg")));
}

QPixmap GroupBoxFramePixmap() {
  QFile file(QStringLiteral(":/pixels/fusion_groupbox.px"));
  return file.open(QIODevice::ReadOnly) ? QPixmap::fromImage(FromRawPixels(file.readAll()))
                                        : QPixmap();
}

QIcon HanziPicture(bool traditional) {
  // QIcon picks the @2x file by itself on a scaled screen.
  return QIcon(traditional ? QStringLiteral(":/glyphs/hanzi_trad.png")
                           : QStringLiteral(":/glyphs/hanzi_simp.png"));
}
