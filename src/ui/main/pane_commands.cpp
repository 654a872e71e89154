// What the command column, the help menu and activation do to the panes,
// the copy buffer and the settings.
#include "core/app_error.h"
#include "core/product_info.h"
#include "settings/settings.h"
#include "translate/translation_request.h"
#include "ui/dialogs/frm_About.h"
#include "ui/dialogs/frm_Options.h"
#include "ui/main/frm_Main.h"
#include "ui/main/pane_write_back.h"
#include "ui/main/translate_command.h"
#include "ui/pane/file_loading.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QDesktopServices>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

namespace {

int TagOf(const QObject* sender) {
  return sender ? sender->property("tag").toInt() : -1;
}

} // namespace

TProfDHTMLEdit2* TfrmMain::PaneOf(const QObject* sender) const {
  switch (TagOf(sender)) {
  case 0:
    return E1;
  case 1:
    return e2;
  default:
    return nullptr;
  }
}

void TfrmMain::FormActivate(QObject* sender) {
  Q_UNUSED(sender);
  // Activation during a translation must not touch the panes it works on.
  if (FTranslating)
    return;
  if (Params.AutoPaste)
    btnPasteClick(this);
}

void TfrmMain::btnOpenClick(QObject* sender) {
  Q_UNUSED(sender);
  const QString fileName = dgOpen.Execute(this);
  if (fileName.isEmpty())
    return;
  OpenSourceFile(fileName);
}

void TfrmMain::OpenSourceFile(const QString& fileName) {
  // The pane refuses such a file without a word; the user must learn why
  // nothing opened, and the source pane keeps its document.
  if (const std::optional<QString> refusal = PaneFileRefusal(fileName))
    throw ETralvescoError(*refusal);
  LoadDeclaredUtf8(*E1, fileName);
}

void TfrmMain::btnClearClick(QObject* sender) {
  if (TProfDHTMLEdit2* pane = PaneOf(sender))
    pane->SetBodyText(QString());
}

void TfrmMain::btnSaveClick(QObject* sender) {
  TProfDHTMLEdit2* pane = PaneOf(sender);
  if (!pane || pane->BodyText().isEmpty())
    return;
  // The pane asks for the file name itself.
  pane->SaveAs(QString());
}

void TfrmMain::btnCopyClick(QObject* sender) {
  if (TProfDHTMLEdit2* pane = PaneOf(sender))
    FCopyBuffer = pane->BodyText();
}

void TfrmMain::btnPasteClick(QObject* sender) {
  TProfDHTMLEdit2* pane = PaneOf(sender);
  if (pane == E1) {
    // Only the button pastes unconditionally; the automatic paste never
    // empties the pane and never brings back the window's own last result.
    if (sender != btnPaste && (FCopyBuffer.isEmpty() || FCopyBuffer == FResultText))
      return;
    E1->SetBodyText(FCopyBuffer);
    FSourceText = FCopyBuffer;
  } else if (pane == e2 && !FCopyBuffer.isEmpty()) {
    e2->SetBodyText(FCopyBuffer);
    FResultText = FCopyBuffer;
  }
}

void TfrmMain::btnSwapClick(QObject* sender) {
  Q_UNUSED(sender);
  // Each pane takes the other's document as the writer gives it out, which
  // reads back as it was: the text, its lines and blanks, its markup. Plain
  // text put into a block instead would lose characters that look like tags.
  const QString source = SourceToWriteBack(*E1);
  const QString target = SourceToWriteBack(*e2);
  if (IsMarker(source) || IsMarker(target))
    return;
  e2->SetDocumentHTML(source);
  E1->SetDocumentHTML(target);
}

void TfrmMain::btnPrintClick(QObject* sender) {
  Q_UNUSED(sender);
  e2->PrintPreview();
}

void TfrmMain::btnHelpClick(QObject* sender) {
  Q_UNUSED(sender);
  const QPoint corner(btnHelp->x(), btnHelp->y() + btnHelp->height());
  pmHelp->popup(mapToGlobal(corner) + QPoint(0, 2));
}

void TfrmMain::miOptionsClick(QObject* sender) {
  Q_UNUSED(sender);
  ShowOptionsDialog(nullptr);
  // The dialog wrote the file, whichever way it was closed; the window
  // takes everything from there again.
  ApplyDisplayLanguage();
  LoadSettings();
  ShowDirection();
  ApplyProxySettings(*HTTP);
}

void TfrmMain::miAboutClick(QObject* sender) {
  Q_UNUSED(sender);
  ShowAboutBox(nullptr);
}

void TfrmMain::miWebSiteClick(QObject* sender) {
  Q_UNUSED(sender);
  QDesktopServices::openUrl(QUrl(ProductInfo::HomePage));
}

void TfrmMain::miContactUsClick(QObject* sender) {
  Q_UNUSED(sender);
  QDesktopServices::openUrl(QUrl(QStringLiteral("mailto: ") + ProductInfo::SupportMail +
                                 QStringLiteral("?subject=Question for ") + ProductInfo::Title));
}
