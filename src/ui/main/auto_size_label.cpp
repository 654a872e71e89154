#include "ui/main/auto_size_label.h"

#include "app/run_handler.h"

#include <QEvent>

TAutoSizeLabel::TAutoSizeLabel(const QString& caption, QWidget* parent) : QLabel(parent) {
  // Language files hold plain text; a caption that happens to look like
  // markup must show as written.
  setTextFormat(Qt::PlainText);
  SetCaption(caption);
}

void TAutoSizeLabel::SetCaption(const QString& caption) {
  setText(caption);
  adjustSize();
}

void TAutoSizeLabel::changeEvent(QEvent* event) {
  RunHandler([this, event] {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
      adjustSize();
  });
}
