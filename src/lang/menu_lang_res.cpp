#include "lang/menu_lang_res.h"

#include <QAction>
#include <QWidget>

TsmlMenuLangRes::TsmlMenuLangRes(QObject* owner) : TsmlLangRes(owner) {}

void TsmlMenuLangRes::SetMenu(QWidget* menu) {
  FMenu = menu;
  Refresh();
}

void TsmlMenuLangRes::ApplyLanguage() {
  if (!FMenu)
    return;
  for (QAction* item : FMenu->actions())
    ApplyMenuItem(item);
}
