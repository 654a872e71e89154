#include "app/auto_size_label.h"

#include "core/error_edge.h"

#include <QEvent>

TAutoSizeLabel::TAutoSizeLabel(const QString& caption, QWidget* parent) : QLabel(parent) {
  // Language files hold plain text; a caption that happens to look like
  // markup must show as written.
  setTextFormat(Qt::PlainText);
  SetCaption(caption);
}

void TAutoSizeLabel::SetCaption(const QString& caption) {
  setText(caption);
  AdjustBounds();
}

void TAutoSizeLabel::changeEvent(QEvent* event) {
  RunHandler([this, event] {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
      AdjustBounds();
  });
}

void TAutoSizeLabel::AdjustBounds() {
  // Measured as it will be drawn: polishing applies the style's font.
  ensurePolished();
  const QSize fitted = sizeHint();
  QRect bounds = geometry();
  if (alignment() & Qt::AlignRight)
    bounds.setLeft(bounds.right() + 1 - fitted.width());
  else
    bounds.setWidth(fitted.width());
  bounds.setHeight(fitted.height());
  setGeometry(bounds);
}
