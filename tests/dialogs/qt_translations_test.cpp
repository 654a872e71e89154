// Qt's own texts follow the interface language: picked in the options, the
// language file brings Qt's translation with it, and English takes it away.
#include "lang/display_language.h"
#include "options_test_support.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The texts of the boxes and dialogs Qt makes for the program.
struct TQtTexts {
  QString Ok;         // a message box's OK, as the error box has
  QString OpenFile;   // a file dialog's accept button
  QString CancelFile; // and its cancel button
  bool operator==(const TQtTexts&) const = default;
};

void PrintTo(const TQtTexts& texts, std::ostream* os) {
  *os << texts.Ok.toStdString() << " | " << texts.OpenFile.toStdString() << " | "
      << texts.CancelFile.toStdString();
}

TQtTexts MadeNow() {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("caption"), QStringLiteral("text"),
                  QMessageBox::Ok);
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  return {box.button(QMessageBox::Ok)->text(), dialog.labelText(QFileDialog::Accept),
          dialog.labelText(QFileDialog::Reject)};
}

TEST_F(TOptionsTest, QtsOwnTextsSwitchWithThePickedLanguage) {
  const TQtTexts english{QStringLiteral("OK"), QStringLiteral("&Open"), QStringLiteral("Cancel")};
  Open();
  EXPECT_EQ(MadeNow(), english);

  PickLanguage(QStringLiteral("Chinese-Simp"));
  EXPECT_EQ(MadeNow(),
            (TQtTexts{QStringLiteral("确定"), QStringLiteral("打开(&O)"), QStringLiteral("取消")}));

  PickLanguage(QStringLiteral("Chinese-Trad"));
  EXPECT_EQ(MadeNow(),
            (TQtTexts{QStringLiteral("確定"), QStringLiteral("開啟(&O)"), QStringLiteral("取消")}));

  PickLanguage(QStringLiteral("English"));
  EXPECT_EQ(MadeNow(), english);
}

} // namespace
