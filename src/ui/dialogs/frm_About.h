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

  QPushButton* btnOk = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* labProduct = nullptr;
  QLabel* labVer = nullptr;
  QLabel* labCopy = nullptr;
  TsmlFormLangRes* smlFormLangRes1 = nullptr;
  TsmlMsgLangRes* smlMsgLangRes1 = nullptr;
};

// Creates the About box over the main window, shows it modally and destroys
// it once it has closed, unless its parent has taken it along already.
void ShowAboutBox(QWidget* parent);
