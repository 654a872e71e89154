#include "ui/pane/prof_dhtml_edit.h"

#include "core/error_edge.h"
#include "ui/pane/engine/document_engine.h"
#include "ui/pane/engine/html_style.h"
#include "ui/pane/pane_text_edit.h"

#include <QKeyEvent>
#include <QMouseEvent>

// The pane's input: the keys it handles itself, and its editor's key,
// focus and mouse events passed on as the pane's signals.

bool TProfDHTMLEdit2::HandleKeyPress(QKeyEvent* event) {
  if (FEditor->isReadOnly())
    return false;
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
    // In a list Enter keeps its meaning: a new item.
    if (FEngine->CaretInList())
      return false;
    if (FUseBrOnCarriageReturn && !FEngine->CaretInHeading()) {
      FEngine->InsertLineBreak();
      return true;
    }
    return FEngine->InsertParagraph(DefaultBlockTag());
  }
  if (modifiers == Qt::ControlModifier &&
      (key == Qt::Key_B || key == Qt::Key_I || key == Qt::Key_U)) {
    const QTextCharFormat current = FEditor->textCursor().charFormat();
    QTextCharFormat change;
    if (key == Qt::Key_B)
      change.setFontWeight(HtmlStyle::IsBold(current) ? QFont::Normal : QFont::Bold);
    else if (key == Qt::Key_I)
      change.setFontItalic(!current.fontItalic());
    else
      change.setFontUnderline(!current.fontUnderline());
    FEngine->MergeCharFormat(change);
    return true;
  }
  return false;
}

bool TProfDHTMLEdit2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FEditor) {
    switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      emit OnKeyDown(key->key(), key->modifiers());
      bool handled = false;
      RunHandler([&] { handled = HandleKeyPress(key); });
      if (handled)
        return true;
      if (!key->text().isEmpty())
        emit OnKeyPress(key->text());
      break;
    }
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      emit OnKeyUp(key->key(), key->modifiers());
      break;
    }
    case QEvent::FocusIn:
      emit OnEnter();
      break;
    case QEvent::FocusOut:
      emit OnExit();
      break;
    default:
      break;
    }
  } else if (watched == FEditor->viewport()) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      emit OnMouseDown(mouse->button(), mouse->modifiers(), mouse->position().toPoint());
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      emit OnMouseUp(mouse->button(), mouse->modifiers(), mouse->position().toPoint());
      emit OnClick();
      break;
    }
    case QEvent::MouseButtonDblClick:
      emit OnDblClick();
      break;
    default:
      break;
    }
  }
  return QWidget::eventFilter(watched, event);
}
