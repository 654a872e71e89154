#include "app/application.h"
#include "settings/product_info.h"
#include "ui/main/frm_Main.h"

int main(int argc, char* argv[]) {
  TApplication app(argc, argv);
  TApplication::SetTitle(ProductInfo::Title);
  TfrmMain frmMain;
  frmMain.show();
  return app.exec();
}
