#pragma once

#include <QLabel>

// A label that sizes itself to its text whenever the text or the font
// changes, so code that places other controls behind it can read its width.
// The localisers reach its text as "Caption".
class TAutoSizeLabel : public QLabel {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
  explicit TAutoSizeLabel(const QString& caption, QWidget* parent = nullptr);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption);

protected:
  void changeEvent(QEvent* event) override;
};
