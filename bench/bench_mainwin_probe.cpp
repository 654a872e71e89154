// The start-up probe of the main window: the program's window over the program
// folder given, which at its first paint reports its peak memory and quits.
// It links what the program links and nothing of the benchmark's, so what it
// loads before that paint is what the program loads.
#include "app/application.h"
#include "paint_probe.h"
#include "settings/program_dir.h"
#include "ui/main/frm_Main.h"

int main(int argc, char** argv) {
  if (argc != 2)
    return 2;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  int appArgc = 1;
  TApplication app(appArgc, argv);
  SetProgramDirForTesting(QString::fromLocal8Bit(argv[1]));
  TfrmMain window;
  TPaintProbe probe(&window);
  window.show();
  return app.exec();
}
