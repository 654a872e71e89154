// Every command of the glyph column from the keyboard: its key presses the
// button a click would, and leaves the window as that click leaves it.
#include "main_test_support.h"

#include "ui/main/open_dialog.h"
#include "ui/pane/pane_dialogs.h"

#include <QFile>
#include <QKeySequence>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <map>

namespace {

const char* const CommandButtons[] = {"btnOpen",  "btnClear",  "btnSave",   "btnCopy",
                                      "btnPaste", "btnSwap",   "btnClear2", "btnSave2",
                                      "btnCopy2", "btnPaste2", "btnPrint"};

struct TKeyRow {
  const char* Name;
  const char* Focus; // the control the user is in when pressing the key
  // Made when asked: the standard keys come from the desktop's theme, which
  // the application object brings.
  QKeySequence (*Key)();
  const char* Button;
};

void PrintTo(const TKeyRow& row, std::ostream* os) {
  *os << row.Name;
}

// What a command can change: the panes, the copy buffer, a saved file, a
// print preview.
struct TOutcome {
  QString Source;
  QString Target;
  QString Buffer;
  QByteArray Saved;
  int Previews = 0;
  bool operator==(const TOutcome&) const = default;
};

void PrintTo(const TOutcome& outcome, std::ostream* os) {
  *os << "source=" << outcome.Source.toStdString() << " target=" << outcome.Target.toStdString()
      << " buffer=" << outcome.Buffer.toStdString() << " saved=" << outcome.Saved.size()
      << " previews=" << outcome.Previews;
}

class TCommandKeyTest : public TMainWindowTest, public ::testing::WithParamInterface<TKeyRow> {
protected:
  void SetUp() override {
    TMainWindowTest::SetUp();
    QFile opened(FFolder->Path(QStringLiteral("opened.txt")));
    ASSERT_TRUE(opened.open(QIODevice::WriteOnly));
    opened.write("words from a file");
    opened.close();
    TOpenDialog::SetChooserForTesting(
        [this](const TOpenDialog&) { return FFolder->Path(QStringLiteral("opened.txt")); });
    PaneDialogs::SetSaveFileNameHandlerForTesting(
        [this](const QString&) { return FFolder->Path(QStringLiteral("saved.html")); });
    PaneDialogs::SetPrintPreviewHandlerForTesting([this](QPrintPreviewDialog&) {
      ++FPreviews;
      return 0;
    });
  }
  void TearDown() override {
    PaneDialogs::SetSaveFileNameHandlerForTesting({});
    PaneDialogs::SetPrintPreviewHandlerForTesting({});
    TMainWindowTest::TearDown();
  }

  // A fresh window with text in both panes and in the copy buffer.
  void StartFresh() {
    FWindow.reset();
    QFile::remove(FFolder->Path(QStringLiteral("saved.html")));
    FPreviews = 0;
    Start();
    Target()->SetBodyText(QStringLiteral("buffered words"));
    QTest::mouseClick(Find<QPushButton>("btnCopy2"), Qt::LeftButton);
    Source()->SetBodyText(QStringLiteral("source words"));
    Target()->SetBodyText(QStringLiteral("target words"));
  }

  QWidget* FocusTarget(const char* name) const {
    const QString wanted = QLatin1String(name);
    if (wanted == QLatin1String("E1"))
      return Source()->Editor();
    if (wanted == QLatin1String("e2"))
      return Target()->Editor();
    return Find<QWidget>(name);
  }

  TOutcome Outcome() const {
    EXPECT_TRUE(WaitFor([this] { return !Source()->Busy() && !Target()->Busy(); }));
    TOutcome outcome{
        Source()->BodyText(), Target()->BodyText(), FWindow->CopyBuffer(), {}, FPreviews};
    QFile saved(FFolder->Path(QStringLiteral("saved.html")));
    if (saved.open(QIODevice::ReadOnly))
      outcome.Saved = saved.readAll();
    return outcome;
  }

  int FPreviews = 0;
};

TEST_P(TCommandKeyTest, PressesTheButtonItNamesWithTheSameResult) {
  const TKeyRow& row = GetParam();

  StartFresh();
  FocusTarget(row.Focus)->setFocus();
  std::map<std::string, std::unique_ptr<QSignalSpy>> clicks;
  for (const char* name : CommandButtons)
    clicks[name] = std::make_unique<QSignalSpy>(Find<QPushButton>(name), &QPushButton::clicked);
  QTest::keySequence(FWindow->focusWidget(), row.Key());
  for (const char* name : CommandButtons) {
    EXPECT_EQ(clicks[name]->count(), qstrcmp(name, row.Button) == 0 ? 1 : 0) << name;
  }
  const TOutcome byKey = Outcome();
  clicks.clear();

  StartFresh();
  QTest::mouseClick(Find<QPushButton>(row.Button), Qt::LeftButton);
  const TOutcome byButton = Outcome();

  EXPECT_EQ(byKey, byButton);
  EXPECT_TRUE(ShownBoxes().isEmpty());
  // The hint tells the key.
  EXPECT_TRUE(Find<QPushButton>(row.Button)
                  ->toolTip()
                  .contains(row.Key().toString(QKeySequence::NativeText)))
      << Find<QPushButton>(row.Button)->toolTip().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TCommandKeyTest,
    ::testing::Values(
        TKeyRow{"OpenFromTheTargetPane", "e2", [] { return QKeySequence(QKeySequence::Open); },
                "btnOpen"},
        TKeyRow{"SaveTheSourcePane", "E1", [] { return QKeySequence(QKeySequence::Save); },
                "btnSave"},
        TKeyRow{"SaveTheTargetPane", "e2", [] { return QKeySequence(QKeySequence::Save); },
                "btnSave2"},
        TKeyRow{"SaveWithNeitherPaneFocused", "btnTranslate",
                [] { return QKeySequence(QKeySequence::Save); }, "btnSave"},
        TKeyRow{"CopyTheSourcePane", "E1",
                [] { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C); }, "btnCopy"},
        TKeyRow{"CopyTheTargetPane", "e2",
                [] { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C); }, "btnCopy2"},
        TKeyRow{"PasteIntoTheSourcePane", "E1",
                [] { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V); }, "btnPaste"},
        TKeyRow{"PasteIntoTheTargetPane", "e2",
                [] { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V); }, "btnPaste2"},
        TKeyRow{"Swap", "E1", [] { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X); },
                "btnSwap"},
        TKeyRow{"ClearTheSourcePane", "E1",
                [] { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete); }, "btnClear"},
        TKeyRow{"ClearTheTargetPane", "e2",
                [] { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete); }, "btnClear2"},
        TKeyRow{"PrintFromTheSourcePane", "E1", [] { return QKeySequence(QKeySequence::Print); },
                "btnPrint"}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
