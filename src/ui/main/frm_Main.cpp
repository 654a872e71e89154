#include "frm_Main.h"

#include "app/application.h"
#include "app/skin.h"
#include "lang/display_language.h"
#include "settings/product_info.h"
#include "settings/settings.h"

TfrmMain::TfrmMain(QWidget* parent) : TfrmRoot(parent) {
  setObjectName(QStringLiteral("frmMain"));
  // A fixed single border with system menu and minimise only.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFixedSize(528, 545);
  RunCreateStep([this] { FormCreate(this); });
}

void TfrmMain::FormCreate(QObject* sender) {
  Q_UNUSED(sender);
  // The skin comes first so that every window shown from here on wears it.
  SkinH_AttachEx(QStringLiteral("aero.she"), QString());
  TApplication::SetTitle(ProductInfo::ApplicationTitle);
  setWindowTitle(ProductInfo::Title);
  FormSettingsFileName();
  SelectDisplayLanguage();
}
