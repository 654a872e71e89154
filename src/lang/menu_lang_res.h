#pragma once

#include "lang/lang_res.h"

#include <QPointer>
#include <QWidget>

// Localises the items of one menu: a QMenu (pop-up) or QMenuBar (main menu)
// whose QActions are the menu items, each keyed by its objectName.
class TsmlMenuLangRes : public TsmlLangRes {
  Q_OBJECT

public:
  explicit TsmlMenuLangRes(QObject* owner);

  // None once the menu has been destroyed.
  QWidget* Menu() const { return FMenu; }
  void SetMenu(QWidget* menu);

protected:
  void ApplyLanguage() override;

private:
  QPointer<QWidget> FMenu;
};
