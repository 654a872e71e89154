#pragma once

#include <QLabel>

// A caption label that fits its size to its text whenever the text or the
// font changes, so a longer translation is never cut off. The left edge stays
// where it was placed; a right-aligned label keeps its right edge instead,
// so it stays flush against the field it names.
class TLabel : public QLabel {
  Q_OBJECT
  // The localisers set a label's text through this, which resizes it.
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
  TLabel(const QString& caption, QWidget* parent);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption);

protected:
  void changeEvent(QEvent* event) override;

private:
  void AdjustBounds();
};
