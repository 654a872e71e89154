#include "app/application.h"
#include "app/command_line.h"
#include "core/app_title.h"
#include "core/product_info.h"
#include "ui/main/frm_Main.h"

int main(int argc, char* argv[]) {
  // Read before the application object exists: a mistake or a question is
  // answered on any terminal, with or without a display.
  const TCommandLine commandLine = ReadCommandLine(argc, argv);
  if (commandLine.ExitCode)
    return *commandLine.ExitCode;
  TApplication app(argc, argv);
  SetApplicationTitle(ProductInfo::Title);
  TfrmMain frmMain;
  frmMain.show();
  if (!commandLine.FileName.isEmpty())
    frmMain.OpenOnStart(commandLine.FileName);
  return app.exec();
}
