#pragma once

#include <QAbstractTextDocumentLayout>
#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>

class QTextEdit;

// Lays a document shown in a view out in slices of a few tens of
// milliseconds. The text layout lays a long document out lazily, but the
// steps it takes grow to 200,000 characters, each one long stretch on the
// GUI thread (seconds for a few hundred thousand short lines on a busy
// machine). The pacer holds the layout's own step timer back and lays out
// as much as fits in one slice at each tick of its own, so the window keeps
// painting and answering in between. The view shows a busy cursor until the
// layout is complete.
class TLayoutPacer : public QObject {
  Q_OBJECT
public:
  explicit TLayoutPacer(QTextEdit* view);
  ~TLayoutPacer() override;

  // Follows the document the view shows now.
  void Watch(QTextDocument* document);
  // Holds the layout where it is; the layout's own steps stay held too.
  void Pause(bool pause);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Step();
  void Stop();

  QPointer<QTextEdit> FView;
  QPointer<QTextDocument> FDocument;
  QPointer<QAbstractTextDocumentLayout> FLayout;
  QTimer FTick;
  int FNextPosition = 0;
  int FChunk = 0;
  bool FBusyCursor = false;
  QCursor FSavedCursor;
};
