// The pane's pending operations: starting, waiting for a load, timing out;
// the update count and redrawing.
#include "core/app_title.h"
#include "pane_test_support.h"
#include "settings/program_dir.h"
#include "ui/pane/file_loading.h"
#include "ui/pane/pane_log.h"

#include <QFile>
#include <QPainter>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThreadPool>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// Every read the pane offers answers as a busy pane must, and writes do nothing.
void ExpectBusyAnswers(TProfDHTMLEdit2& pane) {
  EXPECT_TRUE(pane.Busy());
  EXPECT_EQ(pane.BodyText(), TProfDHTMLEdit2::BusyMarker);
  EXPECT_EQ(pane.DocumentHTML(), TProfDHTMLEdit2::BusyMarker);
  EXPECT_EQ(pane.SelText(), TProfDHTMLEdit2::BusyMarker);
  EXPECT_EQ(pane.SelStart(), -1);
  EXPECT_FALSE(pane.FindText(QStringLiteral("x"), false, false));
  EXPECT_FALSE(pane.FindNext());
  EXPECT_FALSE(pane.PrintPreview());
  EXPECT_FALSE(pane.LoadFromFile(QStringLiteral("/etc/hostname")));
  bool asked = false;
  PaneDialogs::SetSaveFileNameHandlerForTesting([&asked](const QString&) {
    asked = true;
    return QString();
  });
  EXPECT_EQ(pane.SaveAs(), QString());
  EXPECT_FALSE(asked);
  PaneDialogs::SetSaveFileNameHandlerForTesting(nullptr);
  pane.SetDocumentHTML(QStringLiteral("<p>written while busy</p>"));
  pane.SetBodyText(QStringLiteral("written while busy"));
  pane.SetSelText(QStringLiteral("written while busy"));
  EXPECT_TRUE(pane.Editor()->isReadOnly());
}

TEST(Start, BusyUntilTheFirstDocumentIsComplete) {
  TProfDHTMLEdit2 pane;
  const QSignalSpy created(&pane, &TProfDHTMLEdit2::OnCreate);
  EXPECT_EQ(pane.PendingOperation(), TProfDHTMLEdit2::TPendingOperation::Creating);
  ExpectBusyAnswers(pane);
  QCoreApplication::processEvents();
  EXPECT_FALSE(pane.Busy());
  EXPECT_EQ(created.count(), 1);
  EXPECT_EQ(pane.BodyText(), QString());
  EXPECT_FALSE(pane.Editor()->isReadOnly());
}

TEST(Timeout, DefaultAndIgnoredValues) {
  TProfDHTMLEdit2 pane;
  EXPECT_EQ(pane.Timeout(), 30.0);
  pane.SetTimeout(1.5);
  EXPECT_EQ(pane.Timeout(), 1.5);
  for (const double ignored : {0.0, -1.0, std::nan("")}) {
    pane.SetTimeout(ignored);
    EXPECT_EQ(pane.Timeout(), 1.5);
  }
}

TEST(Update, CountRules) {
  const auto pane = MakeReadyPane();
  EXPECT_EQ(pane->EndUpdate(), 0);
  EXPECT_EQ(pane->BeginUpdate(), 1);
  EXPECT_EQ(pane->BeginUpdate(), 2);
  EXPECT_EQ(pane->EndUpdate(), 1);
  EXPECT_FALSE(pane->Editor()->updatesEnabled());
  EXPECT_EQ(pane->EndUpdate(), 0);
  EXPECT_TRUE(pane->Editor()->updatesEnabled());
  EXPECT_EQ(pane->EndUpdate(), 0);
}

class TPaintCounter : public QObject {
public:
  int Paints = 0;

protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      ++Paints;
    return false;
  }
};

TEST(Update, NothingIsDrawnOrLaidOutUntilTheEnd) {
  const auto pane = MakeReadyPane();
  pane->resize(300, 200);
  pane->show();
  WaitUntil([&pane] { return pane->isVisible(); });
  QCoreApplication::processEvents();
  TPaintCounter counter;
  pane->Editor()->viewport()->installEventFilter(&counter);
  const QTextDocument* shown = pane->Editor()->document();
  pane->BeginUpdate();
  pane->SetDocumentHTML(QStringLiteral("<p>first</p>"));
  pane->SetBodyText(QStringLiteral("second"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("second"), false, false));
  pane->SetSelText(QStringLiteral("third"));
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.Paints, 0);
  EXPECT_EQ(pane->Editor()->document(), shown);
  EXPECT_EQ(pane->BodyText(), QStringLiteral("third"));
  pane->EndUpdate();
  EXPECT_TRUE(WaitUntil([&counter] { return counter.Paints > 0; }));
  EXPECT_EQ(pane->Editor()->toPlainText(), QStringLiteral("third"));
  pane->Editor()->viewport()->removeEventFilter(&counter);
}

// Holds the pane's file reading until released.
class THeldReads {
public:
  THeldReads() {
    SetPaneFileReadHookForTesting([this] {
      Started.release();
      Release.tryAcquire(1, 10000);
    });
  }
  ~THeldReads() {
    Release.release(100);
    SetPaneFileReadHookForTesting(nullptr);
  }
  THeldReads(const THeldReads&) = delete;
  THeldReads& operator=(const THeldReads&) = delete;
  QSemaphore Started;
  QSemaphore Release;
};

TEST(Load, BusyWhileTheFileIsRead) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("text.txt"));
  WriteFile(path, "loaded\r\ntext");
  const auto pane = MakeReadyPane();
  pane->SetBodyText(QStringLiteral("before"));
  THeldReads reads;
  bool checked = false;
  QTimer::singleShot(0, pane.get(), [&] {
    ExpectBusyAnswers(*pane);
    EXPECT_EQ(pane->PendingOperation(), TProfDHTMLEdit2::TPendingOperation::LoadingFile);
    checked = true;
    reads.Release.release();
  });
  const QSignalSpy loaded(pane.get(), &TProfDHTMLEdit2::OnLoadFromFile);
  EXPECT_TRUE(pane->LoadFromFile(path));
  EXPECT_TRUE(checked);
  EXPECT_FALSE(pane->Busy());
  EXPECT_EQ(loaded.count(), 1);
  EXPECT_EQ(pane->BodyText(), QStringLiteral("loaded\r\ntext"));
  EXPECT_EQ(pane->UpdateCount(), 0);
  EXPECT_EQ(pane->DocumentLocation(), path);
}

TEST(Load, TimeOutShowsTheMessageOnceAndLeavesAnEmptyDocument) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("slow.txt"));
  WriteFile(path, "late text");
  const auto pane = MakeReadyPane();
  pane->SetBodyText(QStringLiteral("before"));
  pane->SetTimeout(0.2);
  SetApplicationTitle(QStringLiteral("Titled"));
  const auto untitle = qScopeGuard([] { SetApplicationTitle({}); });
  TMessageRecorder messages;
  {
    THeldReads reads;
    EXPECT_FALSE(pane->LoadFromFile(path));
    EXPECT_FALSE(pane->Busy());
    reads.Release.release();
  }
  EXPECT_EQ(messages.Texts, QStringList{QStringLiteral("The operation timed out.")});
  EXPECT_EQ(messages.Captions, QStringList{QStringLiteral("Titled")});
  EXPECT_EQ(pane->BodyText(), QString());
  EXPECT_EQ(pane->UpdateCount(), 0);
  // The read that finishes late changes nothing.
  QThreadPool::globalInstance()->waitForDone(5000);
  WaitUntil([] { return false; }, 100);
  EXPECT_EQ(pane->BodyText(), QString());
  EXPECT_EQ(messages.Texts.size(), 1);
  // The pane works normally afterwards.
  pane->SetTimeout(30);
  EXPECT_TRUE(pane->LoadFromFile(path));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("late text"));
}

TEST(Load, TimeOutRaisesOnTimeoutInsteadOfTheMessageWhenConnected) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("slow.txt"));
  WriteFile(path, "x");
  const auto pane = MakeReadyPane();
  pane->SetTimeout(0.1);
  const QSignalSpy timeouts(pane.get(), &TProfDHTMLEdit2::OnTimeout);
  TMessageRecorder messages;
  {
    THeldReads reads;
    EXPECT_FALSE(pane->LoadFromFile(path));
  }
  EXPECT_EQ(timeouts.count(), 1);
  EXPECT_TRUE(messages.Texts.isEmpty());
}

TEST(Load, MissingUnreadableAndBareNames) {
  QTemporaryDir folder;
  SetProgramDirForTesting(folder.path());
  WriteFile(folder.filePath(QStringLiteral("beside.txt")), "beside the program");
  const auto pane = MakeReadyPane();
  pane->SetBodyText(QStringLiteral("kept"));
  EXPECT_FALSE(pane->LoadFromFile(folder.filePath(QStringLiteral("missing.txt"))));
  EXPECT_FALSE(pane->LoadFromFile(folder.path()));
  EXPECT_FALSE(pane->LoadFromFile(QString()));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("kept"));
  EXPECT_TRUE(pane->LoadFromFile(QStringLiteral("beside.txt")));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("beside the program"));
  SetProgramDirForTesting(QString());
}

} // namespace

namespace {

QStringList CaughtLog;

void KeepPaneWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && QByteArray(context.category) == "tralvesco.pane")
    CaughtLog.append(text);
}

// What the pane swallowed, as the log tells it.
template <typename TFailure> QString LoggedFor(const TFailure& failure) {
  CaughtLog.clear();
  const QtMessageHandler previous = qInstallMessageHandler(KeepPaneWarning);
  try {
    throw failure;
  } catch (...) {
    LogCaughtFailure("Reading the body text");
  }
  qInstallMessageHandler(previous);
  return CaughtLog.join(u'|');
}

} // namespace

// The pane answers "ERROR" or drops a write when something fails below it;
// the log still says what failed, out of memory told apart.
TEST(PaneLog, CaughtFailuresKeepTheirReason) {
  EXPECT_EQ(LoggedFor(std::bad_alloc()), QStringLiteral("Reading the body text: out of memory"));
  EXPECT_EQ(LoggedFor(std::runtime_error("The HTML parser failed.")),
            QStringLiteral("Reading the body text failed: The HTML parser failed."));
  EXPECT_EQ(LoggedFor(42), QStringLiteral("Reading the body text failed for an unknown reason"));
}
