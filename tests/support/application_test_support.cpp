// Compiled into a suite (not a library): its CreateTestApplication has to
// replace test_main.cpp's weak one at link time.
#include "application_test_support.h"

#include "app/application.h"
#include "core/app_title.h"
#include "core/error_edge.h"

#include <memory>

QList<TShownBox>& ShownBoxes() {
  static QList<TShownBox> boxes;
  return boxes;
}

std::unique_ptr<QApplication> CreateTestApplication(int& argc, char** argv) {
  auto app = std::make_unique<TApplication>(argc, argv);
  // As the program names itself at start-up.
  SetApplicationTitle(QStringLiteral("Tralvesco"));
  SetErrorBoxForTesting([](const QString& caption, const QString& text) {
    static int escapedBefore = 0;
    const int escaped = TApplication::EscapedErrorCount();
    EXPECT_EQ(escaped, escapedBefore) << "this error left its handler: " << text.toStdString();
    escapedBefore = escaped;
    ShownBoxes().append({caption, text});
  });
  return app;
}
