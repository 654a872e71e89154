#include "ui/glyphs/glyphs.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

// A glyph that fails to load (missing file, SVG plug-in absent) gives a null
// or fully transparent pixmap; the buttons would then show nothing.
bool HasVisiblePixels(const QIcon& icon, int size) {
  const QImage image = icon.pixmap(size, size).toImage();
  if (image.isNull())
    return false;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0)
        return true;
  return false;
}

TEST(Glyphs, EveryGlyphDrawsAtNormalAndDoubleSize) {
  for (const char* name : {"open", "clear", "save", "copy", "paste", "swap", "print", "help",
                           "translate", "options", "website", "contact", "about"}) {
    const QIcon glyph = Glyph(QString::fromLatin1(name));
    EXPECT_TRUE(HasVisiblePixels(glyph, 16)) << name;
    EXPECT_TRUE(HasVisiblePixels(glyph, 32)) << name;
  }
}

TEST(Glyphs, ChinesePicturesAre32By16) {
  for (bool traditional : {false, true}) {
    const QIcon picture = HanziPicture(traditional);
    EXPECT_EQ(picture.availableSizes().value(0), QSize(32, 16));
    EXPECT_TRUE(HasVisiblePixels(picture, 32));
  }
}

} // namespace
