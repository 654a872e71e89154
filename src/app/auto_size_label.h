#pragma once

#include <QLabel>

// A caption label that fits its size to its text whenever the text or the
// font changes, so a longer translation is never cut off and code that places
// other controls behind it can read its width. The left edge stays where it
// was placed; a right-aligned label keeps its right edge instead, so it stays
// flush against the field it names. The localisers reach its text as
// "Caption".
class TAutoSizeLabel : public QLabel {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
  explicit TAutoSizeLabel(const QString& caption, QWidget* parent = nullptr);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption);

protected:
  void changeEvent(QEvent* event) override;

private:
  void AdjustBounds();
};
