#include "ui/pane/pane_text_edit.h"

#include "core/error_edge.h"
#include "ui/pane/engine/document_engine.h"
#include "ui/pane/engine/html_reader.h"
#include "ui/pane/engine/shown_positions.h"
#include "ui/pane/pasted_html.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <algorithm>

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

void TPaneTextEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool character = key == Qt::Key_Left || key == Qt::Key_Right;
  const bool deletion = key == Qt::Key_Backspace || key == Qt::Key_Delete;
  if (!character && !deletion) {
    QTextEdit::keyPressEvent(event);
    return;
  }
  const int from = textCursor().position();
  if (deletion && !textCursor().hasSelection())
    RunHandler([&] { MoveBesideHidden(key == Qt::Key_Delete); });
  QTextEdit::keyPressEvent(event);
  if (character)
    RunHandler([&] {
      StepOverHidden(from, event->modifiers().testFlag(Qt::ShiftModifier)
                               ? QTextCursor::KeepAnchor
                               : QTextCursor::MoveAnchor);
    });
}

// A step that passed only kept nodes goes on to the next shown character.
void TPaneTextEdit::StepOverHidden(int from, QTextCursor::MoveMode mode) {
  QTextCursor cursor = textCursor();
  const int to = cursor.position();
  if (to == from)
    return;
  const bool forward = to > from;
  for (int i = std::min(from, to); i < std::max(from, to); ++i)
    if (!IsHiddenCharacter(*document(), i))
      return;
  const QTextCursor::MoveOperation step =
      forward ? QTextCursor::NextCharacter : QTextCursor::PreviousCharacter;
  while (IsHiddenCharacter(*document(), forward ? cursor.position() : cursor.position() - 1) &&
         cursor.movePosition(step, mode)) {
  }
  cursor.movePosition(step, mode);
  setTextCursor(cursor);
  ensureCursorVisible();
}

// A deletion takes the shown character next to the caret and leaves the
// kept nodes in between where they are.
void TPaneTextEdit::MoveBesideHidden(bool forward) {
  QTextCursor cursor = textCursor();
  const int start = cursor.position();
  const QTextCursor::MoveOperation step =
      forward ? QTextCursor::NextCharacter : QTextCursor::PreviousCharacter;
  while (IsHiddenCharacter(*document(), forward ? cursor.position() : cursor.position() - 1) &&
         cursor.movePosition(step)) {
  }
  if (cursor.position() != start)
    setTextCursor(cursor);
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
