// The program as its main() runs it, driven as a user drives it: once the
// window is up it types into the source pane and clicks Translate, or, given
// a file, opens it as from the command line and prints "loading" once the
// source pane is reading it. When a
// line arrives on standard input it asks for the window to close the way the
// window system does for the close box or Alt+F4. When the program ends it
// prints what the target pane holds and how many error boxes it showed.
//   window_close_driver <program folder> [file]
#include "app/application.h"
#include "core/app_title.h"
#include "core/error_edge.h"
#include "core/product_info.h"
#include "settings/program_dir.h"
#include "ui/main/frm_Main.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <qpa/qwindowsysteminterface.h>
#include <unistd.h>

int main(int argc, char* argv[]) {
  TApplication app(argc, argv);
  if (argc != 2 && argc != 3) {
    std::fputs("usage: window_close_driver <program folder> [file]\n", stderr);
    return 2;
  }
  SetProgramDirForTesting(QString::fromLocal8Bit(argv[1]));
  SetApplicationTitle(ProductInfo::Title);
  int boxes = 0;
  SetErrorBoxForTesting([&boxes](const QString&, const QString& text) {
    std::fprintf(stderr, "error box: %s\n", qUtf8Printable(text));
    ++boxes;
  });

  TfrmMain frmMain;
  frmMain.show();
  auto* source = frmMain.findChild<TProfDHTMLEdit2*>(QStringLiteral("E1"));
  auto* target = frmMain.findChild<TProfDHTMLEdit2*>(QStringLiteral("e2"));
  auto* btnTranslate = frmMain.findChild<QPushButton*>(QStringLiteral("btnTranslate"));

  QSocketNotifier closeRequest(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&closeRequest, &QSocketNotifier::activated, [&] {
    closeRequest.setEnabled(false);
    QWindowSystemInterface::handleCloseEvent(frmMain.windowHandle());
  });

  // The panes take a turn of the event loop to get ready.
  QTimer start;
  start.setInterval(10);
  const QString file = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
  if (!file.isEmpty())
    frmMain.OpenOnStart(file);
  QObject::connect(&start, &QTimer::timeout, [&] {
    if (!file.isEmpty()) {
      if (source->PendingOperation() == TProfDHTMLEdit2::TPendingOperation::LoadingFile) {
        start.stop();
        std::puts("loading");
        std::fflush(stdout);
      }
      return;
    }
    if (source->Busy() || target->Busy())
      return;
    start.stop();
    QTest::keyClicks(source->Editor(), QStringLiteral("Hello"));
    // Returns when the run has ended.
    QTest::mouseClick(btnTranslate, Qt::LeftButton);
  });
  start.start();

  const int code = app.exec();
  std::printf("target=%s\nboxes=%d\n", qUtf8Printable(target->BodyText()), boxes);
  return code;
}
