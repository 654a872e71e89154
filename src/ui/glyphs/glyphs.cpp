#include "ui/glyphs/glyphs.h"

QIcon Glyph(const QString& name) {
  return QIcon(QStringLiteral(":/glyphs/") + name + QStringLiteral(".svg"));
}

QIcon HanziPicture(bool traditional) {
  // QIcon picks the @2x file by itself on a scaled screen.
  return QIcon(traditional ? QStringLiteral(":/glyphs/hanzi_trad.png")
                           : QStringLiteral(":/glyphs/hanzi_simp.png"));
}
