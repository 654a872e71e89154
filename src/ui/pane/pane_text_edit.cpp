#include "ui/pane/pane_text_edit.h"

#include "ui/pane/engine/html_reader.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>

TPaneTextEdit::TPaneTextEdit(QWidget* parent) : QTextEdit(parent) {
  setObjectName(QStringLiteral("PaneView"));
  setAcceptRichText(true);
  // Links are text here: clicking one never opens it.
  setTextInteractionFlags(Qt::TextEditorInteraction);
  setTabChangesFocus(true);
}

bool TPaneTextEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasHtml() || source->hasText() || QTextEdit::canInsertFromMimeData(source);
}

void TPaneTextEdit::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly())
    return;
  QTextCursor cursor = textCursor();
  if (source->hasHtml()) {
    const std::unique_ptr<TEngineDocument> pasted = ReadHtmlDocument(source->html());
    cursor.insertFragment(QTextDocumentFragment(pasted.get()));
  } else if (source->hasText()) {
    cursor.insertText(PlainTextToDisplay(source->text()));
  } else {
    QTextEdit::insertFromMimeData(source);
  }
  setTextCursor(cursor);
  ensureCursorVisible();
  emit Pasted();
}
