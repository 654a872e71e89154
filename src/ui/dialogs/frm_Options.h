#pragma once

#include "app/frm_Root.h"

#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TAutoSizeLabel;
class TPanel;
class TsmlFormLangRes;
class TsmlMsgLangRes;

// The modal "Options" dialog: automatic paste and copy, the Chinese variant,
// the interface language and the proxy, on two pages. It has no Cancel:
// every way of closing it (OK, Esc, the close box) saves all its settings to
// the settings file, once a manual proxy has an address and a port. It fills
// its controls from Params and writes the file, never Params.
class TfrmOptions : public TfrmRoot {
  Q_OBJECT

public:
  explicit TfrmOptions(QWidget* parent = nullptr);

  void FormCreate(QObject* sender);
  void FormShow(QObject* sender);
  // Whether the dialog may close; saves the settings when it may.
  bool FormClose(QObject* sender);
  void btnDefaultClick(QObject* sender);
  void rbNoProxyClick(QObject* sender);
  // Runs only when the user picks an entry.
  void cmbLangChange(QObject* sender);

  // The base names of the *.lng entries in Languages/ beside the program,
  // in the order the file system lists them.
  QStringList ListLanguages() const;
  void LoadOptions();
  void SaveOptions();
  void ApplyDialogLanguage();

  // Every close request (OK, Esc, the close box, reject()) passes FormClose.
  void done(int result) override;

protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void CreateGeneralPage();
  void CreateConnectionPage();
  void CreateLocalisers();
  void FitCaptions();
  void RefuseClose(QLineEdit* emptyField);
  // Accessible names in the interface language: each field by its caption,
  // the page control by the page it shows.
  void NameControls();

  // A save failed and the user was told: the next close request closes,
  // whether or not its save works this time.
  bool FSaveFailed = false;

  QTabWidget* PageControl1 = nullptr;
  QWidget* tsGeneral = nullptr;
  QCheckBox* chkAutoPaste = nullptr;
  QCheckBox* chkAutoCopy = nullptr;
  QGroupBox* rgChineseLanguage = nullptr;
  QRadioButton* rbSimp = nullptr;
  TPanel* Panel1 = nullptr;
  QLabel* Image1 = nullptr;
  QRadioButton* rbTrad = nullptr;
  TPanel* Panel2 = nullptr;
  QLabel* Image2 = nullptr;
  QGroupBox* rgLang = nullptr;
  TAutoSizeLabel* labLang = nullptr;
  QComboBox* cmbLang = nullptr;
  QWidget* tsConnection = nullptr;
  QGroupBox* rgProxySettings = nullptr;
  QRadioButton* rbNoProxy = nullptr;
  QRadioButton* rbManuallyProxy = nullptr;
  TAutoSizeLabel* labAddress = nullptr;
  QLineEdit* edtAddress = nullptr;
  TAutoSizeLabel* labPort = nullptr;
  QLineEdit* edtPort = nullptr;
  TAutoSizeLabel* labUserName = nullptr;
  QLineEdit* edtUserName = nullptr;
  TAutoSizeLabel* labPassword = nullptr;
  QLineEdit* edtPassword = nullptr;
  QPushButton* btnDefault = nullptr;
  QPushButton* btnOk = nullptr;
  TsmlFormLangRes* smlFormLangRes1 = nullptr;
  TsmlMsgLangRes* smlMsgLangRes1 = nullptr;
};

// Creates the dialog over the main window, shows it modally and destroys it
// once it has closed, unless its parent has taken it along already.
void ShowOptionsDialog(QWidget* parent);
