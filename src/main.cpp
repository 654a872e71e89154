#include "app/application.h"
#include "app/command_line.h"
#include "core/app_title.h"
#include "core/product_info.h"
#include "ui/main/frm_Main.h"

#include <QTextStream>

int main(int argc, char* argv[]) {
  if (const std::optional<int> answered = AnswerWithoutWindow(argc, argv))
    return *answered;
  TApplication app(argc, argv);
  SetApplicationTitle(ProductInfo::Title);
  QTextStream out(stdout);
  QTextStream err(stderr);
  const TCommandLine commandLine = ParseCommandLine(TApplication::arguments(), out, err);
  if (commandLine.ExitCode)
    return *commandLine.ExitCode;
  TfrmMain frmMain;
  frmMain.show();
  if (!commandLine.FileName.isEmpty())
    frmMain.OpenOnStart(commandLine.FileName);
  return app.exec();
}
