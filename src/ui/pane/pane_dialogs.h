#pragma once

#include <QString>
#include <functional>

class QWidget;
class QPrintPreviewDialog;

// The pane's own dialogs and message boxes, each replaceable so that tests
// run without anything modal.
namespace PaneDialogs {

// The pane's message box: the program's error box (error icon, the
// application title as caption, an OK button).
void ShowSimpleMessage(QWidget* parent, const QString& text);
// The save dialog: default extension "html", filter "HTML files|*.html;*.htm".
// Empty when cancelled.
QString AskSaveFileName(QWidget* parent, const QString& initialFolder);
// Runs the print preview; its dialog result.
int RunPrintPreview(QPrintPreviewDialog& dialog);

void SetMessageHandlerForTesting(
    std::function<void(const QString& caption, const QString& text)> handler);
void SetSaveFileNameHandlerForTesting(std::function<QString(const QString& initialFolder)> handler);
void SetPrintPreviewHandlerForTesting(std::function<int(QPrintPreviewDialog&)> handler);

} // namespace PaneDialogs
