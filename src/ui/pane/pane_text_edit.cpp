#include "ui/pane/pane_text_edit.h"

#include "core/error_edge.h"
#include "ui/pane/engine/document_engine.h"
#include "ui/pane/engine/html_reader.h"
#include "ui/pane/pasted_html.h"

#include <QEvent>
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

void TPaneTextEdit::changeEvent(QEvent* event) {
  // The document keeps the engine's font, as a page keeps the browser's: a
  // window font from a language file would otherwise shrink the text of the
  // document on show, and only until the next document replaced it.
  if (event->type() != QEvent::FontChange) {
    QTextEdit::changeEvent(event);
    return;
  }
  const QFont documentFont = document()->defaultFont();
  QTextEdit::changeEvent(event);
  if (document()->defaultFont() != documentFont)
    document()->setDefaultFont(documentFont);
}

bool TPaneTextEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasHtml() || source->hasText() || QTextEdit::canInsertFromMimeData(source);
}

void TPaneTextEdit::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly())
    return;
  RunHandler([&] {
    QTextCursor cursor = textCursor();
    if (source->hasHtml()) {
      const std::unique_ptr<TEngineDocument> pasted =
          ReadPastedHtmlDocument(CleanPastedHtml(source->html()));
      cursor.insertFragment(QTextDocumentFragment(pasted.get()));
    } else if (source->hasText()) {
      cursor.insertText(PlainTextToDisplay(source->text()));
    } else {
      QTextEdit::insertFromMimeData(source);
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    emit Pasted();
  });
}

QMimeData* TPaneTextEdit::createMimeDataFromSelection() const {
  if (!FCopySource)
    return QTextEdit::createMimeDataFromSelection();
  const QTextCursor cursor = textCursor();
  auto* mime = new QMimeData;
  // The text document's own characters for table edges and objects stay
  // out; a table's cells go out as lines of tab-separated text.
  QString text =
      PlainText(*document(), cursor.selectionStart(), cursor.selectionEnd(), QStringLiteral("\n"));
  text.remove(QChar::ObjectReplacementCharacter);
  mime->setText(text);
  mime->setHtml(FCopySource(QTextDocumentFragment(cursor)));
  return mime;
}
