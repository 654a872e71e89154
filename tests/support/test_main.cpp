#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>
#include <memory>

// A suite that needs an application class of its own defines this; the others
// get a plain QApplication.
std::unique_ptr<QApplication> CreateTestApplication(int& argc, char** argv) __attribute__((weak));

// One QApplication for the whole suite: widgets, timers and
// applicationDirPath() need it. Suites run headless, also when ctest lists
// their cases at build time without the test environment.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QString runtime = QDir::tempPath() + QStringLiteral("/tralvesco-test-runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
  }
  const std::unique_ptr<QApplication> app = CreateTestApplication
                                                ? CreateTestApplication(argc, argv)
                                                : std::make_unique<QApplication>(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
