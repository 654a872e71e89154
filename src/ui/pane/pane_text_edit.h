#pragma once

#include <QTextEdit>

// The view inside the pane: pasted HTML is read by the pane's own reader, so
// what comes in keeps its elements like a document that was opened.
class TPaneTextEdit : public QTextEdit {
  Q_OBJECT
public:
  explicit TPaneTextEdit(QWidget* parent = nullptr);

signals:
  void Pasted();

protected:
  void changeEvent(QEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};
