// While the service keeps a translation waiting, the window stays alive but
// takes no input, and the client's time-out ends the run; a close request
// ends it at once.
#include "main_test_support.h"

#include "core/worker_wait.h"
#include "settings/settings.h"
#include "translate/reply_parser.h"
#include "ui/main/frm_Main.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <qpa/qwindowsysteminterface.h>

using namespace std::chrono_literals;

namespace {

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
public:
  explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    Q_UNUSED(watched);
    if (event->type() == QEvent::Paint)
      ++FCount;
    return false;
  }
  int FCount = 0;
};

class TStalledTranslationTest : public TMainWindowTest {
protected:
  void SetUp() override {
    TMainWindowTest::SetUp();
    Start();
    TTestResponse stall;
    stall.Ending = TTestResponse::TEnding::StallBeforeAnswer;
    FServer.Enqueue(stall);
    FServer.SetResponse(TTestResponse::Ok(ServiceReply({"late"})));
    FWindow->Http().SetTotalTimeout(1500ms);
    TypeSource(QStringLiteral("Hello"));
  }

  // Runs probe once, on the GUI thread, as soon as the server holds the
  // request; then the click returns when the time-out has ended the run.
  void ClickTranslateAndProbe(const std::function<void()>& probe) {
    bool probed = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (!probed && FServer.RequestCount() == 1 && FWindow->Translating()) {
        probed = true;
        probe();
      }
    });
    poll.start();
    ClickTranslate();
    poll.stop();
    ASSERT_TRUE(probed);
  }
};

TEST_F(TStalledTranslationTest, TheTimeOutEndsTheRunWithTheFailureMessage) {
  ClickTranslateAndProbe([this] {
    // Meanwhile the target pane is empty and the indicator plays, placed
    // behind the target language's name.
    EXPECT_TRUE(Target()->BodyText().isEmpty());
    const auto* imgLoad = Find<QLabel>("ImgLoad");
    ASSERT_NE(imgLoad->movie(), nullptr);
    EXPECT_EQ(imgLoad->movie()->state(), QMovie::Running);
    const auto* labToLang = Find<QLabel>("labToLang");
    EXPECT_EQ(imgLoad->x(), labToLang->x() + labToLang->width() + 20);
  });
  EXPECT_FALSE(FWindow->Translating());
  EXPECT_EQ(Target()->BodyText(), ParseFailureMessage);
  EXPECT_EQ(Find<QLabel>("ImgLoad")->movie(), nullptr);
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

TEST_F(TStalledTranslationTest, ClicksKeysAndPostedInputDoNothing) {
  auto* btnTranslate = Find<QPushButton>("btnTranslate");
  ClickTranslateAndProbe([&] {
    QTest::mouseClick(btnTranslate, Qt::LeftButton);
    QTest::keyClick(FWindow.get(), Qt::Key_T, Qt::AltModifier);
    QTest::keyClick(FWindow.get(), Qt::Key_Return);
    QTest::keyClick(Source()->Editor(), Qt::Key_X);
    // Input that is queued rather than sent must not run after the wait.
    const QPointF centre = QRectF(btnTranslate->rect()).center();
    QCoreApplication::postEvent(btnTranslate,
                                new QMouseEvent(QEvent::MouseButtonPress, centre,
                                                btnTranslate->mapToGlobal(centre), Qt::LeftButton,
                                                Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(btnTranslate,
                                new QMouseEvent(QEvent::MouseButtonRelease, centre,
                                                btnTranslate->mapToGlobal(centre), Qt::LeftButton,
                                                Qt::NoButton, Qt::NoModifier));
  });
  // Let anything still queued arrive.
  for (int i = 0; i < 5; ++i)
    QCoreApplication::processEvents();
  EXPECT_EQ(FServer.RequestCount(), 1);
  EXPECT_EQ(Source()->BodyText(), QStringLiteral("Hello"));
  EXPECT_FALSE(FWindow->Translating());

  // Afterwards input works again.
  ClickTranslate();
  EXPECT_EQ(FServer.RequestCount(), 2);
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("late"));
}

// The close box and Alt+F4 reach the program as the window system's close
// request, queued among the user's input; the request is ended at once and
// leaves no trace.
TEST_F(TStalledTranslationTest, ACloseRequestEndsTheRunAtOnceWithoutATrace) {
  FWindow->Http().SetTotalTimeout(20s);
  QFile settings(FFolder->SettingsFile());
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  const QByteArray settingsBefore = settings.readAll();
  settings.close();
  QElapsedTimer sinceClose;
  ClickTranslateAndProbe([&] {
    QWindowSystemInterface::handleCloseEvent(FWindow->windowHandle());
    sinceClose.start();
  });
  EXPECT_LT(sinceClose.elapsed(), 1000);
  EXPECT_FALSE(FWindow->isVisible());
  EXPECT_FALSE(FWindow->Translating());
  EXPECT_TRUE(Target()->BodyText().isEmpty());
  EXPECT_EQ(Find<QLabel>("ImgLoad")->movie(), nullptr);
  EXPECT_TRUE(ShownBoxes().isEmpty());
  EXPECT_EQ(FServer.RequestCount(), 1);
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  EXPECT_EQ(settings.readAll(), settingsBefore);
}

TEST_F(TStalledTranslationTest, TheWindowRepaintsAndTheIndicatorAnimates) {
  TPaintCounter windowPaints(FWindow.get());
  TPaintCounter indicatorPaints(Find<QLabel>("ImgLoad"));
  int windowAtStart = 0;
  int framesAtStart = 0;
  ClickTranslateAndProbe([&] {
    windowAtStart = windowPaints.FCount;
    framesAtStart = Find<QLabel>("ImgLoad")->movie()->currentFrameNumber();
    FWindow->update();
    // Waiting here would block the run's own loop; the counts are read
    // once the run is over.
    QTimer::singleShot(500ms, FWindow.get(), [&] {
      EXPECT_TRUE(FWindow->Translating());
      EXPECT_GT(windowPaints.FCount, windowAtStart);
      EXPECT_GT(indicatorPaints.FCount, 1);
      EXPECT_NE(Find<QLabel>("ImgLoad")->movie()->currentFrameNumber(), framesAtStart);
    });
  });
  EXPECT_GT(windowPaints.FCount, windowAtStart);
}

TEST_F(TStalledTranslationTest, ActivationDuringTheRunPastesNothing) {
  Params.AutoPaste = true;
  ClickTranslateAndProbe([this] {
    FWindow->FormActivate(FWindow.get());
    EXPECT_EQ(Source()->BodyText(), QStringLiteral("Hello"));
  });
}

// --- the waiting helper itself -------------------------------------------------------

TEST(RunOnWorkerThread, RunsTheWorkElsewhereAndRethrowsItsError) {
  Qt::HANDLE workerThread = nullptr;
  RunOnWorkerThread([&] { workerThread = QThread::currentThreadId(); });
  EXPECT_NE(workerThread, nullptr);
  EXPECT_NE(workerThread, QThread::currentThreadId());

  EXPECT_THROW(RunOnWorkerThread([] { throw std::runtime_error("broken"); }), std::runtime_error);
}

TEST(RunOnWorkerThread, TimersKeepRunningWhileTheWorkWaits) {
  std::atomic<bool> release = false;
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (++ticks == 5)
      release = true;
  });
  ticker.start(5);
  RunOnWorkerThread([&] {
    while (!release)
      QThread::msleep(1);
  });
  EXPECT_GE(ticks, 5);
}

TEST(WaitInEventLoop, EndsAtItsLimitAndHoldsDeletionsUntilThen) {
  QPointer<QObject> letGo = new QObject;
  bool aliveDuringTheWait = false;
  QTimer::singleShot(0, [&] { letGo->deleteLater(); });
  QTimer::singleShot(40, [&] { aliveDuringTheWait = !letGo.isNull(); });
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(WaitInEventLoop([] { return false; }, 100, TWaitInput::Defer), TWaitEnd::TimedOut);
  EXPECT_GE(clock.elapsed(), 100);
  EXPECT_TRUE(aliveDuringTheWait);
  for (int i = 0; i < 5 && letGo; ++i)
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(letGo.isNull());
}

TEST(WaitInEventLoop, HeldKeysArriveInOrderOnceAModalBoxInFrontOfThemCloses) {
  QWidget window;
  auto* edit = new QLineEdit(&window);
  window.show();
  QTimer::singleShot(0, edit, [edit] { QTest::keyClicks(edit, QStringLiteral("ab")); });
  ASSERT_EQ(WaitInEventLoop([] { return false; }, 50, TWaitInput::Defer), TWaitEnd::TimedOut);
  EXPECT_EQ(edit->text(), QString());

  // As after a load that timed out: the box comes up before the held keys go.
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Tralvesco"), QStringLiteral("late"),
                  QMessageBox::Ok, &window);
  QString behindTheBox = QStringLiteral("never looked");
  QTimer::singleShot(200, &box, [&] {
    behindTheBox = edit->text();
    box.accept();
  });
  box.exec();
  EXPECT_EQ(behindTheBox, QString());
  QElapsedTimer clock;
  clock.start();
  while (edit->text().isEmpty() && clock.elapsed() < 5000)
    QTest::qWait(10);
  EXPECT_EQ(edit->text(), QStringLiteral("ab"));
}

} // namespace
