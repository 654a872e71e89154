#include "app/panel.h"

#include "core/error_edge.h"

#include <QPainter>

TPanel::TPanel(QWidget* parent) : QFrame(parent) {}

void TPanel::SetColor(const QColor& color) {
  FColor = color;
  QPalette p = palette();
  if (color.isValid())
    p.setColor(QPalette::Window, color);
  else
    p.setColor(QPalette::Window, p.color(QPalette::Button));
  setPalette(p);
}

void TPanel::SetCaption(const QString& caption) {
  FCaption = caption;
  update();
}

void TPanel::paintEvent(QPaintEvent* event) {
  RunHandler([this, event] {
    QFrame::paintEvent(event);
    if (FCaption.isEmpty())
      return;
    QPainter painter(this);
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextShowMnemonic, FCaption);
  });
}
