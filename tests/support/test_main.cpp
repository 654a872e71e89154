#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>
#include <memory>

// A suite that needs an application class of its own defines this; the others
// get a plain QApplication.
std::unique_ptr<QApplication> CreateTestApplication(int& argc, char** argv) __attribute__((weak));

#if defined(__SANITIZE_ADDRESS__)
// The error box catches in QApplication::notify, so an error unwinds through
// Qt's event delivery, which is built without unwinding clean-up: a QPointer
// it held on a widget never lets go of its reference-count block. The block
// is Qt's and 32 bytes; every other leak is still reported.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:QtSharedPointer::ExternalRefCountData::getAndRef\n";
}
#endif

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
