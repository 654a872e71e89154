#include "ui/pane/pane_dialogs.h"

#include "core/app_title.h"
#include "core/error_edge.h"

#include <QFileDialog>
#include <QPrintPreviewDialog>

namespace PaneDialogs {

namespace {

// Set only at run time, by tests, so no static initialisation order matters.
std::function<void(const QString&, const QString&)> MessageHandler;
std::function<QString(const QString&)> SaveFileNameHandler;
std::function<int(QPrintPreviewDialog&)> PrintPreviewHandler;

} // namespace

void ShowSimpleMessage(QWidget* parent, const QString& text) {
  const QString caption = ApplicationTitle();
  if (MessageHandler) {
    MessageHandler(caption, text);
    return;
  }
  // The pane's failures wear the program's one error box.
  Q_UNUSED(parent);
  ShowErrorMessage(text);
}

QString AskSaveFileName(QWidget* parent, const QString& initialFolder) {
  if (SaveFileNameHandler)
    return SaveFileNameHandler(initialFolder);
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("html"));
  dialog.setNameFilter(QStringLiteral("HTML files (*.html *.htm)"));
  if (!initialFolder.isEmpty())
    dialog.setDirectory(initialFolder);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {};
  return dialog.selectedFiles().first();
}

int RunPrintPreview(QPrintPreviewDialog& dialog) {
  if (PrintPreviewHandler)
    return PrintPreviewHandler(dialog);
  return dialog.exec();
}

void SetMessageHandlerForTesting(std::function<void(const QString&, const QString&)> handler) {
  MessageHandler = std::move(handler);
}

void SetSaveFileNameHandlerForTesting(std::function<QString(const QString&)> handler) {
  SaveFileNameHandler = std::move(handler);
}

void SetPrintPreviewHandlerForTesting(std::function<int(QPrintPreviewDialog&)> handler) {
  PrintPreviewHandler = std::move(handler);
}

} // namespace PaneDialogs
