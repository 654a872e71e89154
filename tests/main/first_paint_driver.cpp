// The program's window over the program folder given, as main() shows it:
// once its first paint is done, controls and all, it lists the shared
// objects mapped into the process, one a line, then "painted", and ends.
//   first_paint_driver <program folder>
#include "app/application.h"
#include "core/app_title.h"
#include "core/product_info.h"
#include "settings/program_dir.h"
#include "ui/main/frm_Main.h"

#include <QEvent>
#include <QFile>
#include <QSet>
#include <QTimer>
#include <cstdio>

namespace {

void PrintMappedObjects() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly))
    return;
  QSet<QByteArray> seen;
  for (const QByteArray& line : maps.readAll().split('\n')) {
    const qsizetype path = line.indexOf('/');
    if (path < 0)
      continue;
    const QByteArray object = line.mid(path);
    if (!seen.contains(object)) {
      seen.insert(object);
      std::printf("%s\n", object.constData());
    }
  }
}

class TFirstPaint : public QObject {
public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    Q_UNUSED(watched);
    if (event->type() == QEvent::Paint && !FDone) {
      FDone = true;
      // The window paints first, then its controls, in the same turn.
      QTimer::singleShot(0, qApp, [] {
        PrintMappedObjects();
        std::puts("painted");
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    }
    return false;
  }

private:
  bool FDone = false;
};

} // namespace

int main(int argc, char* argv[]) {
  TApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: first_paint_driver <program folder>\n", stderr);
    return 2;
  }
  SetProgramDirForTesting(QString::fromLocal8Bit(argv[1]));
  SetApplicationTitle(ProductInfo::Title);
  TfrmMain frmMain;
  TFirstPaint firstPaint;
  frmMain.installEventFilter(&firstPaint);
  frmMain.show();
  return app.exec();
}
