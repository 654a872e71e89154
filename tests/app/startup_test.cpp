#include "app_test_support.h"
#include "core/app_title.h"
#include "core/product_info.h"
#include "lang/display_language.h"
#include "settings/ini_file.h"
#include "settings/program_dir.h"
#include "settings/settings.h"
#include "ui/main/frm_Main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString DataDir = QStringLiteral(TRALVESCO_DATA_DIR);

// Records the style sheet in force when the first window is shown.
class TFirstShow : public QObject {
public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && !FSeen) {
      if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow()) {
        FSeen = true;
        FStyleSheet = qApp->styleSheet();
      }
    }
    return false;
  }
  bool FSeen = false;
  QString FStyleSheet;
};

// A program folder as the build leaves it, with or without the skin.
class TProgramFolder {
public:
  explicit TProgramFolder(bool withSkin) {
    QDir dir(FDir.path());
    dir.mkpath(QStringLiteral("Languages"));
    QFile::copy(DataDir + QStringLiteral("/Languages/English.lng"),
                dir.filePath(QStringLiteral("Languages/English.lng")));
    if (withSkin)
      QFile::copy(DataDir + QStringLiteral("/aero.she"), dir.filePath(QStringLiteral("aero.she")));
  }
  QString Path(const QString& name = {}) const { return FDir.path() + QLatin1Char('/') + name; }
  QString SkinText() const {
    QFile file(Path(QStringLiteral("aero.she")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

private:
  QTemporaryDir FDir;
};

class TApplicationStartTest : public ::testing::TestWithParam<bool> {
protected:
  void TearDown() override {
    qApp->setStyleSheet(QString());
    SetProgramDirForTesting({});
    SettingsFileName.clear();
    LangFilePath.clear();
  }
};

TEST_P(TApplicationStartTest, TheMainWindowComesUpWithTheSkinAlreadyOn) {
  const bool withSkin = GetParam();
  TProgramFolder folder(withSkin);
  SetProgramDirForTesting(folder.Path());
  ShownBoxes().clear();
  TFirstShow firstShow;
  qApp->installEventFilter(&firstShow);
  SetApplicationTitle(ProductInfo::Title);

  TfrmMain frmMain;
  frmMain.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frmMain));
  qApp->removeEventFilter(&firstShow);

  ASSERT_TRUE(firstShow.FSeen);
  EXPECT_EQ(firstShow.FStyleSheet, folder.SkinText());
  EXPECT_EQ(firstShow.FStyleSheet.isEmpty(), !withSkin);
  EXPECT_EQ(ApplicationTitle(), QStringLiteral("Tralvesco"));
  EXPECT_EQ(frmMain.windowTitle(), ProductInfo::Title);
  EXPECT_EQ(frmMain.size(), QSize(528, 545));
  EXPECT_EQ(SettingsFileName, folder.Path(QStringLiteral("Tralvesco.ini")));
  EXPECT_EQ(
      IniFile::Read(SettingsFileName, QStringLiteral("General"), QStringLiteral("DisplayLanguage")),
      QStringLiteral("English"));
  EXPECT_EQ(LangFilePath, QStringLiteral(".\\Languages\\English.lng"));
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

// The real program, copied into a folder of its own, starts and keeps
// running; Qt reports nothing about its style sheet.
TEST_P(TApplicationStartTest, TheProgramStartsAndRuns) {
  const bool withSkin = GetParam();
  TProgramFolder folder(withSkin);
  const QString program = folder.Path(QStringLiteral("Tralvesco"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TRALVESCO_EXECUTABLE), program));

  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(QDir::tempPath());
  process.start(program, {});
  ASSERT_TRUE(process.waitForStarted());
  const QString settings = folder.Path(QStringLiteral("Tralvesco.ini"));
  const bool started = WaitFor(
      [&] {
        return IniFile::Read(settings, QStringLiteral("General"), QStringLiteral("DisplayLanguage"))
            .has_value();
      },
      30000);
  const bool running = process.state() == QProcess::Running;
  process.kill();
  process.waitForFinished();
  EXPECT_TRUE(started);
  EXPECT_TRUE(running);
  const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
  EXPECT_FALSE(errors.contains(QLatin1String("style"), Qt::CaseInsensitive))
      << errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Skin, TApplicationStartTest, ::testing::Values(true, false),
                         [](const auto& row) {
                           return std::string(row.param ? "WithSkin" : "WithoutSkin");
                         });

} // namespace
