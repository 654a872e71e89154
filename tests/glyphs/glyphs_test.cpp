#include "ui/glyphs/glyphs.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>
#include <string>

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

// The glyphs are shown from pixels rendered at build time; at every size a
// scale asks for, they must be what QIcon drew from the SVG, so the switch
// changes nothing the user sees.
struct TGlyphSizeRow {
  const char* Name;
  int Pixels;
};

class TGlyphPixelsTest : public ::testing::TestWithParam<TGlyphSizeRow> {};

TEST_P(TGlyphPixelsTest, AreWhatTheSvgDrawsAtThatSize) {
  const int pixels = GetParam().Pixels;
  for (const char* name : {"open", "clear", "save", "copy", "paste", "swap", "print", "help",
                           "translate", "options", "website", "contact", "about"}) {
    const QIcon shown = Glyph(QString::fromLatin1(name));
    const QIcon drawn(QStringLiteral(":/glyphs/%1.svg").arg(QLatin1String(name)));
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
      const QImage expected = drawn.pixmap(QSize(pixels, pixels), 1.0, mode).toImage();
      const QImage actual = shown.pixmap(QSize(pixels, pixels), 1.0, mode).toImage();
      ASSERT_FALSE(expected.isNull()) << name;
      EXPECT_EQ(actual.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                expected.convertToFormat(QImage::Format_ARGB32_Premultiplied))
          << name << " at " << pixels << " px, mode " << mode;
    }
  }
}

// 16 px at the usual scales, and one above them all (drawn from the SVG).
INSTANTIATE_TEST_SUITE_P(
    Scales, TGlyphPixelsTest,
    ::testing::Values(TGlyphSizeRow{"Scale1", 16}, TGlyphSizeRow{"Scale125", 20},
                      TGlyphSizeRow{"Scale15", 24}, TGlyphSizeRow{"Scale2", 32},
                      TGlyphSizeRow{"Scale25", 40}, TGlyphSizeRow{"Scale3", 48},
                      TGlyphSizeRow{"Scale4", 64}),
    [](const auto& row) { return std::string(row.param.Name); });

// Drawn smaller from the next size up, so only its size can be checked.
TEST(Glyphs, ASizeBetweenTheRenderedOnesComesOutAtThatSize) {
  EXPECT_EQ(Glyph(QStringLiteral("open")).pixmap(QSize(28, 28), 1.0).size(), QSize(28, 28));
  EXPECT_EQ(Glyph(QStringLiteral("open")).actualSize(QSize(28, 28)), QSize(28, 28));
}

TEST(Glyphs, TheProgramIconIsWhatItsSvgDraws) {
  const QIcon drawn(QStringLiteral(":/icon/tralvesco.svg"));
  for (const int pixels : {16, 32, 64, 128})
    EXPECT_EQ(ProgramIcon().pixmap(QSize(pixels, pixels), 1.0).toImage(),
              drawn.pixmap(QSize(pixels, pixels), 1.0)
                  .toImage()
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied))
        << pixels;
}

TEST(Glyphs, TheGroupBoxFrameIsTheStylesOwnPicture) {
  const QImage own(
      QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
  ASSERT_FALSE(own.isNull());
  EXPECT_EQ(GroupBoxFramePixmap().toImage(),
            own.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

} // namespace
