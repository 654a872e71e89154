#include "core/app_error.h"
#include "settings/program_dir.h"
#include "ui/main/loading_animation.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class TLoadingAnimationTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FDir.isValid());
    SetProgramDirForTesting(FDir.path());
  }
  void TearDown() override { SetProgramDirForTesting({}); }

  void InstallModule(const QString& from) {
    ASSERT_TRUE(QFile::copy(from, FDir.filePath(ResourceModuleName)));
  }

  QString ErrorOf(QLabel& image) {
    try {
      ShowLoadingAnimation(&image, QStringLiteral("bar"));
    } catch (const ETralvescoError& e) {
      return e.Message();
    }
    return {};
  }

  QTemporaryDir FDir;
};

TEST_F(TLoadingAnimationTest, PlaysTheModulesAnimationAndSizesTheImageToIt) {
  InstallModule(QStringLiteral(TEST_MODULE_DIR "/KorvalineSys.DLL"));
  QLabel image;
  image.resize(16, 13);
  ShowLoadingAnimation(&image, QStringLiteral("bar"));
  ASSERT_NE(image.movie(), nullptr);
  EXPECT_EQ(image.movie()->state(), QMovie::Running);
  EXPECT_GT(image.movie()->frameCount(), 1);
  EXPECT_EQ(image.size(), image.movie()->currentImage().size());
  EXPECT_NE(image.size(), QSize(16, 13));

  // The module is closed once the picture has its copy, and the animation
  // keeps playing from that copy.
  EXPECT_FALSE(QFile::exists(QStringLiteral(":/ResourceModule/GIF/BAR")));
  QSignalSpy frames(image.movie(), &QMovie::frameChanged);
  EXPECT_TRUE(frames.wait(2000));

  HideLoadingAnimation(&image);
  EXPECT_EQ(image.movie(), nullptr);
  EXPECT_TRUE(image.pixmap().isNull());
}

TEST_F(TLoadingAnimationTest, MissingOrForeignModuleIsResourceNotFound) {
  QLabel image;
  EXPECT_EQ(ErrorOf(image), QStringLiteral("Resource BAR not found"));
  EXPECT_EQ(image.movie(), nullptr);

  QFile junk(FDir.filePath(ResourceModuleName));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("MZ not a resource container");
  junk.close();
  EXPECT_EQ(ErrorOf(image), QStringLiteral("Resource BAR not found"));
  EXPECT_EQ(image.movie(), nullptr);

  // A pipe under the module's name: reading it would wait for a writer.
  ASSERT_TRUE(junk.remove());
  ASSERT_EQ(::mkfifo(QFile::encodeName(junk.fileName()).constData(), 0600), 0);
  EXPECT_EQ(ErrorOf(image), QStringLiteral("Resource BAR not found"));
}

TEST_F(TLoadingAnimationTest, UndecodablePictureIsAnErrorAndLeavesNoPicture) {
  InstallModule(QStringLiteral(TEST_BAD_MODULE));
  QLabel image;
  EXPECT_EQ(ErrorOf(image), QStringLiteral("Resource BAR is not a valid GIF image"));
  EXPECT_EQ(image.movie(), nullptr);
}

// Damaged copies of the shipped module: each must read as a module without the
// picture, never be walked by Qt.
struct TDamage {
  const char* Name;
  std::function<void(QByteArray&)> Apply;
};

quint32 BigEndianAt(const QByteArray& b, qsizetype at) {
  return (quint32(uchar(b[at])) << 24) | (quint32(uchar(b[at + 1])) << 16) |
         (quint32(uchar(b[at + 2])) << 8) | quint32(uchar(b[at + 3]));
}

void PutBigEndian(QByteArray& b, qsizetype at, quint32 value) {
  for (int i = 0; i < 4; ++i)
    b[at + i] = char(value >> (24 - 8 * i));
}

// Header fields: tree, data and names offsets at 8, 12, 16; a node is 22 bytes
// with its first child (directories) or data offset (files) at +10.
qsizetype Tree(const QByteArray& b) {
  return BigEndianAt(b, 8);
}

class TDamagedModuleTest : public TLoadingAnimationTest,
                           public ::testing::WithParamInterface<TDamage> {};

TEST_P(TDamagedModuleTest, ReadsAsAModuleWithoutThePicture) {
  QFile shipped(QStringLiteral(TEST_MODULE_DIR "/KorvalineSys.DLL"));
  ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
  QByteArray bytes = shipped.readAll();
  ASSERT_TRUE(bytes.startsWith("qres"));
  GetParam().Apply(bytes);
  QFile damaged(FDir.filePath(ResourceModuleName));
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write(bytes);
  damaged.close();

  QLabel image;
  EXPECT_EQ(ErrorOf(image), QStringLiteral("Resource BAR not found"));
  EXPECT_EQ(image.movie(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Modules, TDamagedModuleTest,
    ::testing::Values(
        TDamage{"RootChildFarAway",
                [](QByteArray& b) { PutBigEndian(b, Tree(b) + 10, 0x0fffffff); }},
        TDamage{"RootChildCountHuge",
                [](QByteArray& b) { PutBigEndian(b, Tree(b) + 6, 0x7fffffff); }},
        TDamage{"RootIsItsOwnChild", [](QByteArray& b) { PutBigEndian(b, Tree(b) + 10, 0); }},
        TDamage{"TreeOutsideTheFile", [](QByteArray& b) { PutBigEndian(b, 8, 0x00ffffff); }},
        TDamage{"NamesOutsideTheFile", [](QByteArray& b) { PutBigEndian(b, 16, 0xfffffff0); }},
        TDamage{"NameLengthPastTheEnd",
                [](QByteArray& b) {
                  const qsizetype names = BigEndianAt(b, 16);
                  b[names] = char(0x7f);
                }},
        TDamage{"PictureLengthPastTheEnd",
                [](QByteArray& b) { PutBigEndian(b, BigEndianAt(b, 12), 0x7ffffff0); }},
        TDamage{"PictureOffsetPastTheEnd",
                [](QByteArray& b) {
                  // The last node is the picture.
                  const qsizetype last = b.size() - 22;
                  PutBigEndian(b, last + 10, 0x7ffffff0);
                }},
        TDamage{"ClaimsZlibPackingOfAHugeSize",
                [](QByteArray& b) {
                  const qsizetype last = b.size() - 22;
                  b[last + 5] = 0x01;
                  PutBigEndian(b, BigEndianAt(b, 12) + 4, 0xfffffff0);
                }},
        TDamage{"UnknownNodeFlag", [](QByteArray& b) { b[b.size() - 22 + 5] = 0x08; }},
        TDamage{"UnknownVersion", [](QByteArray& b) { PutBigEndian(b, 4, 9); }},
        TDamage{"CutInsideTheTree", [](QByteArray& b) { b.chop(30); }},
        TDamage{"CutInsideTheHeader", [](QByteArray& b) { b.truncate(14); }}),
    [](const auto& row) { return std::string(row.param.Name); });

// Random damage may leave the picture readable or not; it must never take the
// program down, and the outcome is one of the three the caller knows.
TEST_F(TLoadingAnimationTest, RandomlyDamagedModulesNeverCrash) {
  QFile shipped(QStringLiteral(TEST_MODULE_DIR "/KorvalineSys.DLL"));
  ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
  const QByteArray original = shipped.readAll();
  int refused = 0;
  for (quint32 seed = 1; seed <= 60; ++seed) {
    QRandomGenerator random(seed);
    QByteArray bytes = original;
    for (int i = 0; i < 40; ++i)
      bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
    QFile damaged(FDir.filePath(ResourceModuleName));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(bytes);
    damaged.close();
    QLabel image;
    const QString error = ErrorOf(image);
    EXPECT_TRUE(error.isEmpty() || error == QStringLiteral("Resource BAR not found") ||
                error == QStringLiteral("Resource BAR is not a valid GIF image"))
        << qPrintable(error);
    refused += error == QStringLiteral("Resource BAR not found") ? 1 : 0;
    HideLoadingAnimation(&image);
  }
  // Forty changed bytes in a small module hit the tree almost every time.
  EXPECT_GT(refused, 30);
}

} // namespace
