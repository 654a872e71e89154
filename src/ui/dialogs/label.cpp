#include "label.h"

#include "app/run_handler.h"

#include <QEvent>

TLabel::TLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  AdjustBounds();
}

void TLabel::SetCaption(const QString& caption) {
  setText(caption);
  AdjustBounds();
}

void TLabel::changeEvent(QEvent* event) {
  RunHandler([this, event] {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
      AdjustBounds();
  });
}

void TLabel::AdjustBounds() {
  const QSize fitted = sizeHint();
  QRect bounds = geometry();
  if (alignment() & Qt::AlignRight)
    bounds.setLeft(bounds.right() + 1 - fitted.width());
  else
    bounds.setWidth(fitted.width());
  bounds.setHeight(fitted.height());
  setGeometry(bounds);
}
