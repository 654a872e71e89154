#include "ui/pane/engine/layout_pacer.h"

#include "core/error_edge.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace {

// What one slice aims at; paints and input wait at most this long.
constexpr qint64 SliceMs = 40;
// Characters the first slice lays out; later slices adapt to the time taken.
constexpr int FirstChunk = 20000;
constexpr int MinChunk = 2000;
constexpr int MaxChunk = 4000000;
// Documents shorter than this are laid out as the text layout does it.
constexpr int PacedLength = 100000;

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
  QElapsedTimer clock;
  clock.start();
  const int length = document->characterCount();
  while (FNextPosition < length) {
    const int target = std::min(length - 1, FNextPosition + FChunk);
    const QTextBlock block = document->findBlock(target);
    // Asking for a block's place lays the document out down to it.
    layout->blockBoundingRect(block);
    FNextPosition = block.isValid() ? block.position() + block.length() : length;
    const qint64 elapsed = clock.elapsed();
    if (elapsed >= SliceMs / 2) {
      const qint64 perSlice = static_cast<qint64>(FChunk) * SliceMs / std::max<qint64>(1, elapsed);
      FChunk = static_cast<int>(std::clamp<qint64>(perSlice, MinChunk, MaxChunk));
      break;
    }
    FChunk = std::min(MaxChunk, FChunk * 2);
  }
  if (FNextPosition >= length) {
    Stop();
    emit Finished();
  }
}
