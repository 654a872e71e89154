#include "ui/pane/engine/layout_pacer.h"

#include "core/error_edge.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace {

// What one slice aims at; paints and input wait about this long.
constexpr qint64 SliceMs = 40;
// What one call into the layout aims at: a slice ends when another call
// would take it past SliceMs, so a call that takes twice its aim still ends
// the slice near it.
constexpr qint64 CallMs = 10;
// Characters the first call lays out; later calls adapt to the time taken.
constexpr int FirstChunk = 20000;
constexpr int MinChunk = 2000;
constexpr int MaxChunk = 4000000;
// How far the text layout goes on past the position it is asked for: to
// its next check point, which it sets every 2000 pixels of height.
constexpr qreal LayoutStridePx = 2000;
// Documents shorter than this are laid out as the text layout does it.
constexpr int PacedLength = 100000;

// Blocks of one line each that fill two of the layout's strides.
int BlocksInStrides(const QTextDocument* document) {
  const qreal line = std::max<qreal>(1, QFontMetricsF(document->defaultFont()).lineSpacing());
  return static_cast<int>(2 * LayoutStridePx / line) + 1;
}

} // namespace

TLayoutPacer::TLayoutPacer(QTextEdit* view) : QObject(view), FView(view) {
  FTick.setInterval(1);
  connect(&FTick, &QTimer::timeout, this, [this] { RunHandler([this] { Step(); }); });
}

TLayoutPacer::~TLayoutPacer() {
  // The view is being taken apart: its cursor no longer matters.
  if (FLayout)
    FLayout->removeEventFilter(this);
}

void TLayoutPacer::Watch(QTextDocument* document) {
  Stop();
  if (!document || document->characterCount() < PacedLength)
    return;
  FDocument = document;
  FLayout = document->documentLayout();
  FNextPosition = 0;
  FChunk = FirstChunk;
  FLayout->installEventFilter(this);
  FTick.start();
  if (FView && !FBusyCursor) {
    FSavedCursor = FView->viewport()->cursor();
    FView->viewport()->setCursor(Qt::BusyCursor);
    FBusyCursor = true;
  }
}

void TLayoutPacer::Pause(bool pause) {
  if (!FLayout)
    return;
  if (pause)
    FTick.stop();
  else
    FTick.start();
}

void TLayoutPacer::Stop() {
  FTick.stop();
  if (FLayout)
    FLayout->removeEventFilter(this);
  FLayout = nullptr;
  FDocument = nullptr;
  if (FBusyCursor && FView)
    FView->viewport()->setCursor(FSavedCursor);
  FBusyCursor = false;
}

bool TLayoutPacer::eventFilter(QObject* watched, QEvent* event) {
  // The layout's own step would lay out up to 200,000 characters at once;
  // its other timer reports the size, which the last step does anyway.
  return event->type() == QEvent::Timer && watched == FLayout.data();
}

void TLayoutPacer::Step() {
  if (!FDocument || !FLayout || FDocument->documentLayout() != FLayout) {
    Stop();
    return;
  }
  QAbstractTextDocumentLayout* layout = FLayout.data();
  QTextDocument* document = FDocument.data();
  QElapsedTimer slice;
  slice.start();
  const int length = document->characterCount();
  for (bool first = true; FNextPosition < length; first = false) {
    QTextBlock block = document->findBlock(std::min(length - 1, FNextPosition + FChunk));
    if (!block.isValid()) {
      FNextPosition = length;
      break;
    }
    // A long block on the way there would be laid out in this call too.
    for (QTextBlock on = document->findBlock(FNextPosition);
         on.isValid() && on.position() < block.position(); on = on.next()) {
      if (on.length() > FChunk) {
        block = on;
        break;
      }
    }
    // A block is laid out in one go however long it is, so one longer than
    // a call's share gets a slice of its own and the window paints and
    // answers once more before it. The layout goes on past the block asked
    // for to its next check point, up to LayoutStridePx further down: the
    // slice before stops well short of the long block.
    bool lastCall = false;
    if (block.length() > FChunk) {
      const QTextBlock stop =
          document->findBlockByNumber(block.blockNumber() - BlocksInStrides(document));
      if (stop.isValid() && stop.position() + stop.length() > FNextPosition) {
        block = stop;
      } else if (!first) {
        break;
      }
      lastCall = true;
    }
    QElapsedTimer call;
    call.start();
    // Asking for a block's place lays the document out down to it.
    layout->blockBoundingRect(block);
    const qint64 callMs = call.elapsed();
    const int end = block.position() + block.length();
    const qint64 laid = std::max(1, end - FNextPosition);
    FNextPosition = end;
    FChunk = static_cast<int>(
        std::clamp<qint64>(callMs >= 2 ? laid * CallMs / callMs : 2 * static_cast<qint64>(FChunk),
                           MinChunk, MaxChunk));
    // Another call would take the slice past its aim.
    if (lastCall || slice.elapsed() + CallMs > SliceMs)
      break;
  }
  if (FNextPosition >= length)
    Stop();
}
