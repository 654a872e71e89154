#include "app/application.h"
#include "dialogs_test_support.h"

#include <memory>

QList<TShownBox>& ShownBoxes() {
  static QList<TShownBox> boxes;
  return boxes;
}

std::unique_ptr<QApplication> CreateTestApplication(int& argc, char** argv) {
  auto app = std::make_unique<TApplication>(argc, argv);
  TApplication::SetTitle(QStringLiteral("Tralvesco"));
  TApplication::SetErrorBoxForTesting([](const QString& caption, const QString& text) {
    ShownBoxes().append({caption, text});
  });
  return app;
}
