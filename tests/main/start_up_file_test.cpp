// A file named on the command line: opened into the source pane once the
// window is up, exactly as the open command opens the file it is given.
#include "main_test_support.h"

#include "core/app_title.h"
#include "ui/main/open_dialog.h"
#include "ui/main/translate_command.h"
#include "ui/pane/pane_dialogs.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

struct TStartUpFile {
  const char* Name;
  QByteArray Content; // written to the file; empty: the path is not a file
  bool Folder;        // the path names a folder
  QString Body;       // the source pane's text afterwards
  bool Refused;       // at start, a box names the file and says why it stays closed
  bool AsTheCommand;  // the open command, given the same name, does the same
};

void PrintTo(const TStartUpFile& row, std::ostream* os) {
  *os << row.Name;
}

class TStartUpFileTest : public TMainWindowTest,
                         public ::testing::WithParamInterface<TStartUpFile> {
protected:
  void TearDown() override {
    PaneDialogs::SetMessageHandlerForTesting({});
    TMainWindowTest::TearDown();
  }

  QString MakePath() const {
    const TStartUpFile& row = GetParam();
    const QString path = FFolder->Path(QStringLiteral("start-up"));
    if (row.Folder) {
      EXPECT_TRUE(QDir().mkpath(path));
    } else if (!row.Content.isEmpty()) {
      QFile file(path);
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(row.Content);
    }
    return path;
  }

  // What the window shows and says after an open.
  struct TOutcome {
    QString Body;
    QString Html;
    QStringList Messages;
    qsizetype Boxes = 0;
  };
  TOutcome Outcome(const QStringList& messages) const {
    EXPECT_TRUE(WaitFor([this] { return !Source()->Busy(); }));
    return {Source()->BodyText(), Source()->DocumentHTML(), messages, ShownBoxes().size()};
  }
};

TEST_P(TStartUpFileTest, OpensAsTheOpenCommandDoes) {
  const QString path = MakePath();
  QStringList messages;
  PaneDialogs::SetMessageHandlerForTesting(
      [&](const QString&, const QString& text) { messages.append(text); });

  // As the program starts: the window is shown and the file queued at once,
  // while the panes are still starting.
  FWindow = std::make_unique<TfrmMain>();
  FWindow->show();
  FWindow->OpenOnStart(path);
  ASSERT_TRUE(Source()->Busy()) << "the panes start busy";
  // The open command ends by writing the document back with the header,
  // whether or not the file was loaded, unless it refused the file with a box.
  ASSERT_TRUE(WaitFor([this] {
    return !Source()->Busy() &&
           (Source()->DocumentHTML().contains(Utf8MetaHeader) || !ShownBoxes().empty());
  }));
  const TOutcome onStart = Outcome(messages);
  EXPECT_EQ(onStart.Body.trimmed(), GetParam().Body);
  EXPECT_TRUE(FWindow->isVisible());
  ASSERT_EQ(onStart.Boxes, GetParam().Refused ? 1 : 0);
  if (GetParam().Refused) {
    EXPECT_TRUE(
        ShownBoxes().front().Text.startsWith(QStringLiteral("Cannot open \"%1\": ").arg(path)))
        << ShownBoxes().front().Text.toStdString();
  }

  // The open command on a fresh window, given the same file.
  FWindow = std::make_unique<TfrmMain>();
  FWindow->show();
  ASSERT_TRUE(WaitFor([this] { return !Source()->Busy(); }));
  messages.clear();
  ShownBoxes().clear();
  TOpenDialog::SetChooserForTesting([&](const TOpenDialog&) { return path; });
  QTest::mouseClick(Find<QPushButton>("btnOpen"), Qt::LeftButton);
  const TOutcome byCommand = Outcome(messages);
  EXPECT_EQ(onStart.Body, byCommand.Body);
  if (!GetParam().AsTheCommand)
    return;
  EXPECT_EQ(onStart.Html, byCommand.Html);
  EXPECT_EQ(onStart.Messages, byCommand.Messages);
  EXPECT_EQ(onStart.Boxes, byCommand.Boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TStartUpFileTest,
    ::testing::Values(
        TStartUpFile{"TextFile", "Opened at start\r\n", false, "Opened at start", false, true},
        TStartUpFile{"HtmlFile", "<html><body><p>Hello <b>there</b></p></body></html>", false,
                     "Hello there", false, true},
        // The open dialog never hands over a missing name; the command line
        // may, and the user hears of it.
        TStartUpFile{"Missing", {}, false, {}, true, false},
        TStartUpFile{"Folder", {}, true, {}, true, true}),
    [](const auto& row) { return std::string(row.param.Name); });

// Every window wears the program's icon: the main window, the dialogs it
// opens and the message boxes, all from the one the application carries.
TEST_F(TMainWindowTest, EveryWindowWearsTheProgramIcon) {
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  EXPECT_FALSE(icon.pixmap(32).isNull()) << "the drawing renders";
  Start();
  EXPECT_EQ(FWindow->windowIcon().cacheKey(), icon.cacheKey());

  QStringList seen;
  const auto check = [&](QDialog* dialog) {
    seen.append(dialog->objectName());
    EXPECT_EQ(dialog->windowIcon().cacheKey(), icon.cacheKey())
        << dialog->objectName().toStdString();
    dialog->reject();
  };
  WhenModal(check);
  FWindow->miOptionsClick(nullptr);
  WhenModal(check);
  FWindow->miAboutClick(nullptr);
  EXPECT_EQ(seen, QStringList({"frmOptions", "frmAbout"}));

  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), QStringLiteral("text"),
                  QMessageBox::Ok, FWindow.get());
  EXPECT_EQ(box.windowIcon().cacheKey(), icon.cacheKey());
}

} // namespace
