#include "ui/dialogs/frm_Options.h"

#include "app/accessible_names.h"
#include "app/auto_size_label.h"
#include "app/named.h"
#include "app/panel.h"
#include "core/error_edge.h"
#include "lang/display_language.h"
#include "lang/form_lang_res.h"
#include "lang/form_localisers.h"
#include "lang/msg_lang_res.h"
#include "lang/qt_translations.h"
#include "settings/proxy_policy.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "ui/glyphs/glyphs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QTabWidget>

namespace {

using SettingsSection::Connection;
using SettingsSection::General;
const QString English = QStringLiteral("English");

// The light background the pictures of the two Chinese words are drawn on;
// their panels paint it too, so a picture never sits in a grey box.
const QColor PictureBackground(0xEE, 0xF4, 0xFB);

template <class T> T* Placed(T* widget, const char* name, const QRect& bounds) {
  Named(widget, name)->setGeometry(bounds);
  return widget;
}

TAutoSizeLabel* Caption(QWidget* parent, const char* name, const QString& text, const QPoint& at,
                        Qt::Alignment alignment = Qt::AlignLeft) {
  auto* label = Named(new TAutoSizeLabel(text, parent), name);
  label->setAlignment(alignment | Qt::AlignVCenter);
  label->move(at);
  return label;
}

QLabel* Picture(TPanel* panel, const char* name, bool traditional) {
  auto* image = Placed(new QLabel(panel), name, QRect(0, 0, 32, 16));
  image->setPixmap(HanziPicture(traditional).pixmap(QSize(32, 16), panel->devicePixelRatioF()));
  // A picture has a hint but no caption for a language file to replace.
  image->setProperty("langProperties", QStringList{QStringLiteral("Hint")});
  return image;
}

TPanel* PicturePanel(QWidget* parent, const char* name, const QRect& bounds) {
  auto* panel = Placed(new TPanel(parent), name, bounds);
  panel->SetColor(PictureBackground);
  return panel;
}

} // namespace

TfrmOptions::TfrmOptions(QWidget* parent) : TfrmRoot(parent) {
  setObjectName(QStringLiteral("frmOptions"));
  // The same caption in every language: the localiser leaves it alone.
  setWindowTitle(QStringLiteral("Options"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(457, 283);

  PageControl1 = Placed(new QTabWidget(this), "PageControl1", QRect(8, 14, 438, 226));
  CreateGeneralPage();
  CreateConnectionPage();
  btnDefault = Placed(new QPushButton(QStringLiteral("Default"), this), "btnDefault",
                      QRect(12, 246, 75, 25));
  btnOk = Placed(new QPushButton(QStringLiteral("&OK"), this), "btnOk", QRect(365, 246, 75, 25));
  btnOk->setDefault(true);
  // Esc closes the dialog like OK: there is no Cancel, every close saves.
  SetCancelButton(btnOk);

  const QList<QWidget*> tabOrder{PageControl1, chkAutoPaste, chkAutoCopy,     rbSimp,     rbTrad,
                                 cmbLang,      rbNoProxy,    rbManuallyProxy, edtAddress, edtPort,
                                 edtUserName,  edtPassword,  btnDefault,      btnOk};
  for (qsizetype i = 1; i < tabOrder.size(); ++i)
    setTabOrder(tabOrder[i - 1], tabOrder[i]);

  connect(btnDefault, &QPushButton::clicked, this,
          [this] { RunHandler([this] { btnDefaultClick(btnDefault); }); });
  // accept() closes through done(), which guards its own work.
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
  // Checking either button in code runs the handler too, as a click would.
  connect(rbNoProxy, &QRadioButton::toggled, this,
          [this] { RunHandler([this] { rbNoProxyClick(rbNoProxy); }); });
  connect(rbManuallyProxy, &QRadioButton::toggled, this,
          [this] { RunHandler([this] { rbNoProxyClick(rbManuallyProxy); }); });
  // activated, not currentIndexChanged: only a pick by the user counts. A
  // pick that cannot be saved ends there: the dialog keeps its language.
  connect(cmbLang, &QComboBox::activated, this,
          [this] { RunHandler([this] { cmbLangChange(cmbLang); }); });
  // The page control takes the focus; a screen reader names it by the page
  // it shows.
  connect(PageControl1, &QTabWidget::currentChanged, this,
          [this] { RunHandler([this] { NameControls(); }); });

  FitCaptions();
  CreateLocalisers();
  RunCreateStep([this] { FormCreate(this); });
}

void TfrmOptions::CreateGeneralPage() {
  tsGeneral = Named(new QWidget, "tsGeneral");
  PageControl1->addTab(tsGeneral, QStringLiteral("General"));
  chkAutoPaste = Placed(
      new QCheckBox(QStringLiteral("Auto paste from clipboard in source language."), tsGeneral),
      "chkAutoPaste", QRect(10, 12, 407, 17));
  chkAutoCopy =
      Placed(new QCheckBox(QStringLiteral("Auto copy to clipboard in target language."), tsGeneral),
             "chkAutoCopy", QRect(10, 35, 407, 17));

  rgChineseLanguage = Placed(new QGroupBox(QStringLiteral("Chinese"), tsGeneral),
                             "rgChineseLanguage", QRect(10, 65, 407, 55));
  rbSimp = Placed(new QRadioButton(QStringLiteral("Simplified Chinese"), rgChineseLanguage),
                  "rbSimp", QRect(12, 25, 121, 17));
  Panel1 = PicturePanel(rgChineseLanguage, "Panel1", QRect(145, 25, 32, 16));
  Image1 = Picture(Panel1, "Image1", false);
  rbTrad = Placed(new QRadioButton(QStringLiteral("Traditional Chinese"), rgChineseLanguage),
                  "rbTrad", QRect(212, 25, 121, 17));
  Panel2 = PicturePanel(rgChineseLanguage, "Panel2", QRect(349, 25, 32, 16));
  Image2 = Picture(Panel2, "Image2", true);

  rgLang = Placed(new QGroupBox(QStringLiteral("Infterface language setting"), tsGeneral), "rgLang",
                  QRect(10, 128, 407, 55));
  labLang = Caption(rgLang, "labLang", QStringLiteral("Please select a default Language :"),
                    QPoint(12, 27));
  cmbLang = Named(new QComboBox(rgLang), "cmbLang");
  cmbLang->setEditable(false);
  cmbLang->setGeometry(253, 23, 136, cmbLang->sizeHint().height());
  // The caption labels the list for a screen reader, which names a list by
  // its label and reads its entry as its value; "&" in it marks a key.
  labLang->setBuddy(cmbLang);
}

void TfrmOptions::CreateConnectionPage() {
  tsConnection = Named(new QWidget, "tsConnection");
  PageControl1->addTab(tsConnection, QStringLiteral("Connection"));
  rgProxySettings = Placed(new QGroupBox(QStringLiteral("Proxy Settings"), tsConnection),
                           "rgProxySettings", QRect(10, 7, 407, 178));
  rbNoProxy =
      Placed(new QRadioButton(QStringLiteral("No Proxy (direct connection)"), rgProxySettings),
             "rbNoProxy", QRect(29, 32, 218, 17));
  rbNoProxy->setChecked(true);
  rbManuallyProxy =
      Placed(new QRadioButton(QStringLiteral("Manually enter proxy settings"), rgProxySettings),
             "rbManuallyProxy", QRect(29, 68, 218, 17));

  labAddress = Caption(rgProxySettings, "labAddress", QStringLiteral("Address :"), QPoint(28, 103),
                       Qt::AlignRight);
  edtAddress = Placed(new QLineEdit(rgProxySettings), "edtAddress", QRect(85, 100, 121, 22));
  labPort = Caption(rgProxySettings, "labPort", QStringLiteral("Port :"), QPoint(240, 103));
  edtPort = Placed(new QLineEdit(rgProxySettings), "edtPort", QRect(277, 100, 121, 22));
  labUserName = Caption(rgProxySettings, "labUserName", QStringLiteral("User name :"),
                        QPoint(13, 140), Qt::AlignRight);
  edtUserName = Placed(new QLineEdit(rgProxySettings), "edtUserName", QRect(85, 136, 121, 22));
  labPassword =
      Caption(rgProxySettings, "labPassword", QStringLiteral("Password :"), QPoint(212, 140));
  // Qt's own mask is a bullet; this field shows a star for every character.
  // Under a skin the field keeps the bullet unless its own sheet is in place
  // before it joins the window.
  edtPassword = new QLineEdit;
  edtPassword->setEchoMode(QLineEdit::Password);
  edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
  edtPassword->setParent(rgProxySettings);
  Placed(edtPassword, "edtPassword", QRect(277, 136, 121, 22));
}

void TfrmOptions::CreateLocalisers() {
  smlFormLangRes1 = CreateFormLocaliser(this, {QStringLiteral("Caption")});
  smlMsgLangRes1 = CreateMsgLocaliser(this, {QStringLiteral("strInfomation=Information")});
}

void TfrmOptions::FormCreate(QObject* sender) {
  TfrmRoot::FormCreate(sender);
  PageControl1->setCurrentWidget(tsGeneral);
  cmbLang->addItems(ListLanguages());
  SelectDisplayLanguage();
  ApplyDialogLanguage();
}

void TfrmOptions::showEvent(QShowEvent* event) {
  TfrmRoot::showEvent(event);
  if (!event->spontaneous())
    RunHandler([this] { FormShow(this); });
}

void TfrmOptions::FormShow(QObject* sender) {
  Q_UNUSED(sender);
  LoadOptions();
}

QStringList TfrmOptions::ListLanguages() const {
  // The loader's own rule, so that every entry offered can be loaded.
  return ListLanguageNames();
}

void TfrmOptions::LoadOptions() {
  chkAutoPaste->setChecked(Params.AutoPaste);
  chkAutoCopy->setChecked(Params.AutoCopy);
  (Params.ChineseLanguage != 0 ? rbTrad : rbSimp)->setChecked(true);
  // MatchFixedString without MatchCaseSensitive ignores letter case.
  cmbLang->setCurrentIndex(cmbLang->findText(Params.DisplayLanguage, Qt::MatchFixedString));
  if (Params.NoProxy) {
    rbNoProxy->setChecked(true);
    for (QLineEdit* edit : {edtAddress, edtPort, edtUserName, edtPassword})
      edit->clear();
  } else {
    rbManuallyProxy->setChecked(true);
    edtAddress->setText(Params.Address);
    edtPort->setText(Params.Port);
    edtUserName->setText(Params.UserName);
    edtPassword->setText(Params.Password);
  }
  rbNoProxyClick(this);
}

void TfrmOptions::rbNoProxyClick(QObject* sender) {
  Q_UNUSED(sender);
  // In the moment between one button's release and the other's check
  // neither is checked; there is nothing to show yet.
  if (!rbNoProxy->isChecked() && !rbManuallyProxy->isChecked())
    return;
  const bool readOnly = rbNoProxy->isChecked();
  for (QLineEdit* edit : {edtAddress, edtPort, edtUserName, edtPassword}) {
    edit->setReadOnly(readOnly);
    // Without the skin, the colours are what tells the two states apart.
    QPalette colours = edit->palette();
    colours.setColor(QPalette::Base, palette().color(readOnly ? QPalette::Button : QPalette::Base));
    edit->setPalette(colours);
  }
}

void TfrmOptions::btnDefaultClick(QObject* sender) {
  Q_UNUSED(sender);
  chkAutoPaste->setChecked(false);
  chkAutoCopy->setChecked(false);
  rbSimp->setChecked(true);
  // Not a pick by the user: the dialog keeps its language until OK.
  cmbLang->setCurrentIndex(cmbLang->findText(English, Qt::MatchFixedString));
  rbNoProxy->setChecked(true);
}

void TfrmOptions::cmbLangChange(QObject* sender) {
  Q_UNUSED(sender);
  SaveOptions();
  SelectDisplayLanguage();
  ApplyDialogLanguage();
}

void TfrmOptions::ApplyDialogLanguage() {
  smlFormLangRes1->SetLangFileName(LangFilePath);
  smlMsgLangRes1->SetLangFileName(LangFilePath);
  UseQtTranslations(LangFilePath);
  FitCaptions();
  NameControls();
}

void TfrmOptions::NameControls() {
  // The proxy captions show a language file's text as written, "&" included,
  // so they are not their fields' buddies; the names come from them anyway.
  const QList<QPair<QWidget*, const QLabel*>> captioned{{cmbLang, labLang},
                                                        {edtAddress, labAddress},
                                                        {edtPort, labPort},
                                                        {edtUserName, labUserName},
                                                        {edtPassword, labPassword}};
  for (const auto& [field, caption] : captioned)
    field->setAccessibleName(NameFromCaption(caption->text()));
  PageControl1->setAccessibleName(PageControl1->tabText(PageControl1->currentIndex()));
}

void TfrmOptions::FitCaptions() {
  // The layout was drawn for Tahoma; in the fonts found here a caption can
  // run a few pixels wider, and a check box or radio button would cut off
  // its last letter. Each grows until its caption fits (there is room to
  // its right); none ever shrinks.
  const QList<QAbstractButton*> captioned{chkAutoPaste, chkAutoCopy, rbSimp,
                                          rbTrad,       rbNoProxy,   rbManuallyProxy};
  for (QAbstractButton* button : captioned)
    button->resize(qMax(button->width(), button->sizeHint().width()), button->height());
}

bool TfrmOptions::FormClose(QObject* sender) {
  Q_UNUSED(sender);
  // Only an empty field keeps the dialog open; any other fault in the proxy
  // settings is reported when the window applies them, and no request goes
  // out while it stands.
  const TProxyFault fault =
      ProxyRoute(!rbManuallyProxy->isChecked(), edtAddress->text(), edtPort->text()).Fault;
  if (fault == TProxyFault::NoAddress || fault == TProxyFault::NoPort) {
    RefuseClose(fault == TProxyFault::NoAddress ? edtAddress : edtPort);
    return false;
  }
  SaveOptions();
  return true;
}

void TfrmOptions::RefuseClose(QLineEdit* emptyField) {
  PageControl1->setCurrentWidget(tsConnection);
  emptyField->setFocus();
}

void TfrmOptions::SaveOptions() {
  IniWriteInteger(SettingsFileName, General, SettingsKey::Translator, 0);
  IniWriteBool(SettingsFileName, General, SettingsKey::AutoPaste, chkAutoPaste->isChecked());
  IniWriteBool(SettingsFileName, General, SettingsKey::AutoCopy, chkAutoCopy->isChecked());
  IniWriteInteger(SettingsFileName, General, SettingsKey::ChineseLanguage,
                  rbSimp->isChecked() ? 0 : 1);
  IniWriteString(SettingsFileName, General, SettingsKey::DisplayLanguage,
                 cmbLang->currentIndex() < 0 ? QString() : cmbLang->currentText());
  IniWriteBool(SettingsFileName, Connection, SettingsKey::NoProxy, rbNoProxy->isChecked());
  IniWriteString(SettingsFileName, Connection, SettingsKey::Address, edtAddress->text());
  IniWriteString(SettingsFileName, Connection, SettingsKey::Port, edtPort->text());
  IniWriteString(SettingsFileName, Connection, SettingsKey::UserName, edtUserName->text());
  IniWriteString(SettingsFileName, Connection, SettingsKey::Password, edtPassword->text());
}

void TfrmOptions::done(int result) {
  // A save that fails shows its error and keeps the dialog open, so the
  // cause can be mended and the save tried again; a second failure still
  // closes it, since a settings place the user cannot mend must not hold the
  // dialog for ever.
  bool mayClose = false;
  const bool ran = RunHandler([this, &mayClose] { mayClose = FormClose(this); });
  if (!ran && !FSaveFailed) {
    FSaveFailed = true;
    return;
  }
  if (mayClose || !ran)
    TfrmRoot::done(result);
}

void TfrmOptions::changeEvent(QEvent* event) {
  RunHandler([this, event] {
    TfrmRoot::changeEvent(event);
    // Without a skin, Qt hands a window's new font past a control that has
    // a style sheet of its own; the password field takes it from its group.
    if (event->type() == QEvent::FontChange && edtPassword)
      edtPassword->setFont(edtPassword->parentWidget()->font());
  });
}

void TfrmOptions::closeEvent(QCloseEvent* event) {
  // Every close goes through done(), which may refuse it; the window system
  // learns whether the dialog really closed.
  event->ignore();
  RunHandler([this] {
    if (isVisible())
      reject();
  });
  event->setAccepted(!isVisible());
}

void ShowOptionsDialog(QWidget* parent) {
  // The parent may take the dialog with it while it is open.
  const QPointer<TfrmOptions> frmOptions = new TfrmOptions(parent);
  const auto destroy = qScopeGuard([&frmOptions] { delete frmOptions.data(); });
  frmOptions->exec();
}
