#pragma once

#include "app/frm_Root.h"
#include "translate/http_client.h"
#include "ui/main/open_dialog.h"

#include <QKeySequence>
#include <QList>
#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QMenu;
class QAction;
class QPushButton;
class QRadioButton;
class QStatusBar;
class TAutoSizeLabel;
class TProfDHTMLEdit2;
class TsmlFormLangRes;
class TsmlMenuLangRes;
class TsmlMsgLangRes;

// The main window: the source pane E1 above the target pane e2, the
// direction choice, "&Help" and "&Translate", a column of glyph buttons
// beside the panes and a status bar. Closing it ends the program.
//
// Controls carry their names as objectName and, where a shared handler
// needs it, the pane they act on as the dynamic property "tag" (0 source,
// 1 target).
class TfrmMain : public TfrmRoot {
  Q_OBJECT

public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  // --- event handlers; each takes the control (or window) that fired ---
  // The window's own creation step; it does without the base form's.
  void FormCreate(QObject* sender);
  // Runs once, when the window is first shown.
  void FormShow(QObject* sender);
  // Runs when the window becomes active and when the program does.
  void FormActivate(QObject* sender);
  // Both direction radio buttons; runs when one becomes selected.
  void rbEngToChnClick(QObject* sender);
  void btnTranslateClick(QObject* sender);
  void btnHelpClick(QObject* sender);
  void btnOpenClick(QObject* sender);
  // Shared by the two buttons of each pair, told apart by their tag.
  void btnClearClick(QObject* sender);
  void btnSaveClick(QObject* sender);
  void btnCopyClick(QObject* sender);
  void btnPasteClick(QObject* sender);
  void btnSwapClick(QObject* sender);
  void btnPrintClick(QObject* sender);
  void miOptionsClick(QObject* sender);
  void miWebSiteClick(QObject* sender);
  void miContactUsClick(QObject* sender);
  void miAboutClick(QObject* sender);

  // --- methods ---
  // Selects the radio button of Params.Direction and names the languages.
  void ShowDirection();
  // Puts the language names and the loading picture behind their captions.
  void PlaceLanguageLabels();
  // Hands LangFilePath to the localisers, then PlaceLanguageLabels.
  void ApplyDisplayLanguage();
  // Gives the command buttons their keys in their hints and every control
  // without a caption its accessible name, in the interface language.
  void NameControls();
  // The key that presses a command button; empty for other controls.
  QKeySequence CommandKey(const QPushButton* button) const;
  // The translate command: source pane to service to target pane.
  void TranslateSource();
  // Replaces the service's written-out escape sequences in the target pane.
  void UnescapeTarget();
  // The open command's work on a file already chosen.
  void OpenSourceFile(const QString& fileName);
  // Opens a file named on the command line as the open command would, once
  // the panes are ready (they start busy).
  void OpenOnStart(const QString& fileName);

  // --- fields ---
  // The trimmed source text of the last translation (or source paste).
  const QString& SourceText() const { return FSourceText; }
  // The text last put into the target pane by automatic copy or a paste.
  const QString& ResultText() const { return FResultText; }
  // The window's own copy buffer; never the system clipboard.
  const QString& CopyBuffer() const { return FCopyBuffer; }

  // True from the moment a translation empties the target pane until it has
  // written its result (or the window closed under it).
  bool Translating() const { return FTranslating; }
  // The client every translation goes through.
  THttpClient& Http() { return *HTTP; }

protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void CreateControls();
  void CreateCommandColumn();
  void CreateHelpMenu();
  void CreateLocalisers();
  void CreateCommandKeys();
  void ConnectHandlers();
  static void AnnounceAsMainWindow();
  // Which pane a shared handler's sender acts on; none for another tag.
  TProfDHTMLEdit2* PaneOf(const QObject* sender) const;
  void SelectDirectionButton(QRadioButton* button);

  // Controls, in design order.
  TAutoSizeLabel* labFromLang = nullptr;
  TAutoSizeLabel* labToLang = nullptr;
  TAutoSizeLabel* labFrom = nullptr;
  TAutoSizeLabel* labTo = nullptr;
  QPushButton* btnPaste = nullptr;
  QPushButton* btnCopy = nullptr;
  QPushButton* btnSwap = nullptr;
  QPushButton* btnClear = nullptr;
  QPushButton* btnClear2 = nullptr;
  QPushButton* btnPrint = nullptr;
  QPushButton* btnOpen = nullptr;
  QPushButton* btnCopy2 = nullptr;
  QPushButton* btnPaste2 = nullptr;
  QPushButton* btnSave2 = nullptr;
  QPushButton* btnSave = nullptr;
  QPushButton* btnHelp = nullptr;
  QPushButton* btnTranslate = nullptr;
  QGroupBox* rgDirection = nullptr;
  QRadioButton* rbEngToChn = nullptr;
  QRadioButton* rbChnToEng = nullptr;
  QLabel* ImgLoad = nullptr;
  QStatusBar* Bar = nullptr;
  QLabel* FBarPanel = nullptr;
  TProfDHTMLEdit2* E1 = nullptr;
  TProfDHTMLEdit2* e2 = nullptr;

  // Non-visual components.
  QMenu* pmHelp = nullptr;
  QAction* miOptions = nullptr;
  QAction* miWebSite = nullptr;
  QAction* miContactUs = nullptr;
  QAction* miAbout = nullptr;
  TOpenDialog dgOpen;
  // Shared with the worker that sends a request, which holds on to it
  // rather than to the window.
  const std::shared_ptr<THttpClient> HTTP = std::make_shared<THttpClient>();
  TsmlFormLangRes* smlFormLangRes1 = nullptr;
  TsmlMenuLangRes* smlMenuLangRes1 = nullptr;
  TsmlMsgLangRes* smlMsgLangRes1 = nullptr;

  QString FSourceText;
  QString FResultText;
  QString FCopyBuffer;

  // A command key presses the source pane's button, or the target pane's
  // when the target pane has the focus (the same one for single commands).
  struct TCommandKey {
    QKeySequence Key;
    QPushButton* Source;
    QPushButton* Target;
  };
  QList<TCommandKey> FCommandKeys;

  bool FShown = false;
  bool FTranslating = false;
  // The window closed while a translation ran: the run ends without a trace.
  bool FClosedDuringRun = false;
};
