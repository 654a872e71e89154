#pragma once

#include <QTextCursor>
#include <QTextEdit>
#include <functional>

class QTextDocumentFragment;

// The view inside the pane: pasted HTML is read by the pane's own reader, so
// what comes in keeps its elements like a document that was opened, and
// copied text goes out as the pane's own HTML source. The caret steps over
// kept nodes, which nothing shows, so every arrow key and deletion does
// something the user sees.
class TPaneTextEdit : public QTextEdit {
  Q_OBJECT
public:
  explicit TPaneTextEdit(QWidget* parent = nullptr);

  // Writes a copied piece of the document as HTML.
  using TSourceOf = std::function<QString(const QTextDocumentFragment&)>;
  void SetCopySource(TSourceOf source) { FCopySource = std::move(source); }

signals:
  void Pasted();

protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;

private:
  void StepOverHidden(int from, QTextCursor::MoveMode mode);
  void MoveBesideHidden(bool forward);

  TSourceOf FCopySource;
};
