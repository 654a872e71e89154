#pragma once

#include "app/frm_Root.h"

class QGroupBox;
class QLabel;
class QPushButton;
class TsmlFormLangRes;
class TsmlMsgLangRes;

// The About box: the product title, version and copyright line, the same in
// every language, while its button follows the language file.
class TfrmAbout : public TfrmRoot {
  Q_OBJECT

public:
  explicit TfrmAbout(QWidget* parent = nullptr);

  void FormCreate(QObject* sender);

private:
  void CreateLocalisers();

  QPushButton* btnOk;
  QGroupBox* GroupBox1;
  QLabel* labProduct;
  QLabel* labVer;
  QLabel* labCopy;
  TsmlFormLangRes* smlFormLangRes1;
  TsmlMsgLangRes* smlMsgLangRes1;
};

// Creates the About box over the main window, shows it modally and destroys
// it once it has closed, unless its parent has taken it along already.
void ShowAboutBox(QWidget* parent);
