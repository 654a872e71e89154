#include "settings/app_error.h"
#include "settings/program_dir.h"
#include "ui/main/loading_animation.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LoadingAnimationTest : public ::testing::Test {
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

TEST_F(LoadingAnimationTest, PlaysTheModulesAnimationAndSizesTheImageToIt) {
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

TEST_F(LoadingAnimationTest, MissingOrForeignModuleIsResourceNotFound) {
  QLabel image;
  EXPECT_EQ(ErrorOf(image), QStringLiteral("Resource BAR not found"));
  EXPECT_EQ(image.movie(), nullptr);

  QFile junk(FDir.filePath(ResourceModuleName));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("MZ not a resource container");
  junk.close();
  EXPECT_EQ(ErrorOf(image), QStringLiteral("Resource BAR not found"));
  EXPECT_EQ(image.movie(), nullptr);
}

TEST_F(LoadingAnimationTest, UndecodablePictureIsAnErrorAndLeavesNoPicture) {
  InstallModule(QStringLiteral(TEST_BAD_MODULE));
  QLabel image;
  EXPECT_EQ(ErrorOf(image), QStringLiteral("Resource BAR is not a valid GIF image"));
  EXPECT_EQ(image.movie(), nullptr);
}

} // namespace
