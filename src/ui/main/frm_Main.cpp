#include "ui/main/frm_Main.h"

#include "app/auto_size_label.h"
#include "app/skin.h"
#include "core/app_error.h"
#include "core/app_title.h"
#include "core/error_edge.h"
#include "core/product_info.h"
#include "lang/display_language.h"
#include "lang/form_lang_res.h"
#include "lang/menu_lang_res.h"
#include "lang/msg_lang_res.h"
#include "lang/qt_translations.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "translate/translation_request.h"
#include "ui/pane/file_loading.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>

TfrmMain::TfrmMain(QWidget* parent) : TfrmRoot(parent) {
  AnnounceAsMainWindow();
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("frmMain"));
  // A fixed single border with system menu and minimise only.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFixedSize(528, 545);
  CreateControls();
  CreateHelpMenu();
  CreateLocalisers();
  CreateCommandKeys();
  ConnectHandlers();
  RunCreateStep([this] { FormCreate(this); });
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::ConnectHandlers() {
  const auto bind = [this](QPushButton* button, void (TfrmMain::*handler)(QObject*)) {
    connect(button, &QPushButton::clicked, this,
            [this, button, handler] { RunHandler([&] { (this->*handler)(button); }); });
  };
  bind(btnTranslate, &TfrmMain::btnTranslateClick);
  bind(btnHelp, &TfrmMain::btnHelpClick);
  bind(btnOpen, &TfrmMain::btnOpenClick);
  bind(btnClear, &TfrmMain::btnClearClick);
  bind(btnClear2, &TfrmMain::btnClearClick);
  bind(btnSave, &TfrmMain::btnSaveClick);
  bind(btnSave2, &TfrmMain::btnSaveClick);
  bind(btnCopy, &TfrmMain::btnCopyClick);
  bind(btnCopy2, &TfrmMain::btnCopyClick);
  bind(btnPaste, &TfrmMain::btnPasteClick);
  bind(btnPaste2, &TfrmMain::btnPasteClick);
  bind(btnSwap, &TfrmMain::btnSwapClick);
  bind(btnPrint, &TfrmMain::btnPrintClick);

  const auto bindItem = [this](QAction* item, void (TfrmMain::*handler)(QObject*)) {
    connect(item, &QAction::triggered, this,
            [this, item, handler] { RunHandler([&] { (this->*handler)(item); }); });
  };
  bindItem(miOptions, &TfrmMain::miOptionsClick);
  bindItem(miWebSite, &TfrmMain::miWebSiteClick);
  bindItem(miContactUs, &TfrmMain::miContactUsClick);
  bindItem(miAbout, &TfrmMain::miAboutClick);

  // A radio button that becomes selected counts as clicked; clicking the
  // one already selected changes nothing and runs nothing.
  for (QRadioButton* button : {rbEngToChn, rbChnToEng})
    connect(button, &QRadioButton::toggled, this, [this, button](bool selected) {
      if (selected)
        RunHandler([&] { rbEngToChnClick(button); });
    });
}

// --- creating, showing, activating ------------------------------------------

void TfrmMain::FormCreate(QObject* sender) {
  Q_UNUSED(sender);
  // The skin comes first so that every window shown from here on wears it.
  SkinH_AttachEx(QStringLiteral("aero.she"), QString());
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
              RunHandler([this] { FormActivate(qApp); });
          });
  SetApplicationTitle(ProductInfo::ApplicationTitle);
  setWindowTitle(ProductInfo::Title);
  FBarPanel->setText(ProductInfo::Copyright);
  FormSettingsFileName();
  SelectDisplayLanguage();
  ApplyDisplayLanguage();
}

void TfrmMain::FormShow(QObject* sender) {
  Q_UNUSED(sender);
  LoadSettings();
  ShowDirection();
  ApplyProxySettings(*HTTP);
}

bool TfrmMain::event(QEvent* event) {
  const bool handled = TfrmRoot::event(event);
  if (event->type() == QEvent::WindowActivate)
    RunHandler([this] { FormActivate(this); });
  return handled;
}

void TfrmMain::showEvent(QShowEvent* event) {
  RunHandler([this, event] {
    TfrmRoot::showEvent(event);
    if (FShown)
      return;
    FShown = true;
    FormShow(this);
  });
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  RunHandler([this, event] {
    // A stalled service must not hold the window: the request ends at once
    // and the run leaves the panes alone.
    if (FTranslating) {
      FClosedDuringRun = true;
      HTTP->Abort();
    }
    TfrmRoot::closeEvent(event);
  });
}

void TfrmMain::OpenOnStart(const QString& fileName) {
  // Queued behind the panes' own start, which is already waiting.
  QMetaObject::invokeMethod(
      this,
      [this, fileName] {
        RunHandler([&] {
          // The open dialog only hands over names it found; a name typed on
          // the command line may be of nothing at all, and the user must
          // hear which one.
          if (!QFileInfo::exists(fileName))
            throw ETralvescoError(MissingFileMessage(fileName));
          OpenSourceFile(fileName);
        });
      },
      Qt::QueuedConnection);
}

// --- direction and language -------------------------------------------------

void TfrmMain::SelectDirectionButton(QRadioButton* button) {
  if (button->isChecked())
    return;
  {
    // Selected here, clicked below: an error of the handler then ends the
    // caller as well, as a click handler's error ends whatever selected it.
    const QSignalBlocker blocker(button);
    button->setChecked(true);
  }
  rbEngToChnClick(button);
}

void TfrmMain::ShowDirection() {
  const QString english = smlMsgLangRes1->GetMsgText(QStringLiteral("strEnglish"));
  const QString chinese = smlMsgLangRes1->GetMsgText(QStringLiteral("strChinese"));
  if (Params.Direction == 0) {
    SelectDirectionButton(rbEngToChn);
    labFromLang->SetCaption(english);
    labToLang->SetCaption(chinese);
  } else {
    SelectDirectionButton(rbChnToEng);
    labFromLang->SetCaption(chinese);
    labToLang->SetCaption(english);
  }
  NameControls();
}

void TfrmMain::rbEngToChnClick(QObject* sender) {
  Q_UNUSED(sender);
  Params.Direction = rbEngToChn->isChecked() ? 0 : 1;
  IniWriteInteger(SettingsFileName, SettingsSection::General, SettingsKey::Direction,
                  Params.Direction);
  ShowDirection();
  PlaceLanguageLabels();
}

void TfrmMain::PlaceLanguageLabels() {
  labFromLang->move(labFrom->x() + labFrom->width() + 4, labFromLang->y());
  labToLang->move(labTo->x() + labTo->width() + 4, labToLang->y());
  ImgLoad->move(labToLang->x() + labToLang->width() + 20, ImgLoad->y());
}

void TfrmMain::ApplyDisplayLanguage() {
  smlFormLangRes1->SetLangFileName(LangFilePath);
  smlMsgLangRes1->SetLangFileName(LangFilePath);
  smlMenuLangRes1->SetLangFileName(LangFilePath);
  UseQtTranslations(LangFilePath);
  PlaceLanguageLabels();
  NameControls();
}
