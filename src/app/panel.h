#pragma once

#include <QColor>
#include <QFrame>

// A panel: a frame with a colour and an optional centred caption. Until it is
// given a colour of its own it has the button-face colour and lets its
// parent's background show through.
class TPanel : public QFrame {
  Q_OBJECT
  // Named so that the localisers find a panel's caption.
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
  explicit TPanel(QWidget* parent = nullptr);

  // Invalid for the button-face colour.
  QColor Color() const { return FColor; }
  void SetColor(const QColor& color);
  bool IsButtonFace() const { return !FColor.isValid(); }

  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QColor FColor;
  QString FCaption;
};
