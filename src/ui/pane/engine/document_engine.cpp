#include "ui/pane/engine/document_engine.h"

#include "core/error_edge.h"
#include "core/worker_wait.h"
#include "ui/pane/engine/dom_export.h"
#include "ui/pane/engine/element_chain.h"
#include "ui/pane/engine/html_reader.h"
#include "ui/pane/engine/html_style.h"
#include "ui/pane/engine/kept_nodes.h"
#include "ui/pane/engine/layout_pacer.h"

#include <QTextBlock>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <algorithm>

namespace {

constexpr QChar LineSeparator = QChar::LineSeparator;
constexpr QChar BeginningOfFrame(0xFDD0);
constexpr QChar EndOfFrame(0xFDD1);

// A format for text taken from whatever was there, minus what made it an
// image or a line break's element.
QTextCharFormat TextFormatFrom(QTextCharFormat format) {
  if (format.isImageFormat()) {
    format.setObjectType(QTextFormat::NoObject);
    format.clearProperty(QTextFormat::ImageName);
    format.clearProperty(QTextFormat::ImageWidth);
    format.clearProperty(QTextFormat::ImageHeight);
  }
  if (IsKeptNode(format)) {
    format.setObjectType(QTextFormat::NoObject);
    format.clearProperty(KeptProperty::InlineNode);
  }
  format.clearProperty(EngineProperty::ObjectElement);
  format.clearProperty(EngineProperty::TextNewline);
  return format;
}

// The lines of a line group share the element of its first block.
QTextBlock LineGroupHead(QTextBlock block) {
  while (IsLineStart(block.blockFormat()) && block.previous().isValid())
    block = block.previous();
  return block;
}

TElementChain BlockChainOf(const QTextBlock& block) {
  return ParseChain(LineGroupHead(block).blockFormat().stringProperty(EngineProperty::BlockChain));
}

// Where a block stands in a table: cells of one row are one line of text.
struct TCellPlace {
  const QTextTable* Table = nullptr;
  int Row = -1;
  int Column = -1;
};

TCellPlace CellPlaceOf(const QTextBlock& block) {
  const QTextCursor cursor(block);
  const QTextTable* table = cursor.currentTable();
  if (!table)
    return {};
  const QTextTableCell cell = table->cellAt(block.position());
  return TCellPlace{table, cell.row(), cell.column()};
}

} // namespace

QString PlainText(const QTextDocument& document, int start, int end, const QString& lineEnd) {
  QString text;
  const bool tables = !document.rootFrame()->childFrames().isEmpty();
  bool first = true;
  TCellPlace previous;
  for (QTextBlock block = document.findBlock(start); block.isValid() && block.position() <= end;
       block = block.next()) {
    if (IsStructuralFiller(block))
      continue;
    const TCellPlace place = tables ? CellPlaceOf(block) : TCellPlace();
    if (!first) {
      const bool nextCell = place.Table && place.Table == previous.Table &&
                            place.Row == previous.Row && place.Column != previous.Column;
      text += nextCell ? QStringLiteral("\t") : lineEnd;
    }
    first = false;
    previous = place;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || fragment.charFormat().isImageFormat() ||
          IsKeptNode(fragment.charFormat()))
        continue;
      const int from = std::max(start, fragment.position());
      const int to = std::min(end, fragment.position() + fragment.length());
      if (from >= to)
        continue;
      const QString fragmentText = fragment.text();
      for (const QChar c : QStringView(fragmentText).mid(from - fragment.position(), to - from)) {
        if (c == LineSeparator || c == QChar::ParagraphSeparator)
          text += lineEnd;
        else
          text += c;
      }
    }
  }
  return text;
}

// Edits the engine makes keep the mirror in step themselves.
class TDocumentEngine::TSelfEdit {
public:
  explicit TSelfEdit(TDocumentEngine& engine) : FEngine(engine) { ++FEngine.FSelfEdit; }
  ~TSelfEdit() { --FEngine.FSelfEdit; }
  TSelfEdit(const TSelfEdit&) = delete;
  TSelfEdit& operator=(const TSelfEdit&) = delete;

private:
  TDocumentEngine& FEngine;
};

TDocumentEngine::TDocumentEngine(QTextEdit* view, QObject* parent)
    : QObject(parent), FView(view), FDocument(std::make_unique<TEngineDocument>()),
      FPacer(new TLayoutPacer(view)) {
  Connect(*FDocument);
  FView->setDocument(FDocument.get());
}

void TDocumentEngine::Show(TEngineDocument& document) {
  FView->setDocument(&document);
  FPacer->Watch(&document);
}

void TDocumentEngine::DisposeLater(std::unique_ptr<TEngineDocument> document) {
  if (!document)
    return;
  if (document->characterCount() < LargeDocumentLength)
    return;
  // Taking a document of a million blocks apart takes a while; it goes on
  // the disposer thread, out of the window's way.
  document->disconnect();
  DisposeOnWorkerThread(document.release());
}

TDocumentEngine::~TDocumentEngine() {
  // The view must not keep pointing at documents that go with the engine.
  if (FView) {
    FPacer->Watch(nullptr);
    FView->setDocument(new QTextDocument(FView));
  }
}

void TDocumentEngine::Connect(TEngineDocument& document) {
  connect(&document, &QTextDocument::contentsChange, this,
          [this](int from, int removed, int added) {
            RunHandler([&] { OnContentsChange(from, removed, added); });
          });
  connect(&document, &QTextDocument::contentsChanged, this, &TDocumentEngine::ContentsChanged);
}

void TDocumentEngine::OnContentsChange(int, int, int) {
  if (FSelfEdit == 0 && sender() == FDocument.get())
    FMirrorValid = false;
}

void TDocumentEngine::SetDocument(std::unique_ptr<TEngineDocument> document) {
  FMirrorValid = false;
  Connect(*document);
  if (FUpdating) {
    ReleaseEditBlock();
    if (!FStale)
      FStale = std::move(FDocument);
    FDocument = std::move(document);
    HoldEditBlock();
    FSelection = QTextCursor(FDocument.get());
  } else {
    std::unique_ptr<TEngineDocument> old = std::move(FDocument);
    FDocument = std::move(document);
    if (FView)
      Show(*FDocument);
    DisposeLater(std::move(old));
  }
}

void TDocumentEngine::NewBlankDocument() {
  SetDocument(std::make_unique<TEngineDocument>());
}

void TDocumentEngine::DetachForEdit() {
  if (!FUpdating || FStale)
    return;
  const int anchor = FSelection.anchor();
  const int position = FSelection.position();
  const QTextCharFormat typing = FSelection.charFormat();
  std::unique_ptr<TEngineDocument> copy = FDocument->CloneDocument();
  Connect(*copy);
  FStale = std::move(FDocument);
  FDocument = std::move(copy);
  HoldEditBlock();
  FSelection = QTextCursor(FDocument.get());
  FSelection.setPosition(anchor);
  FSelection.setPosition(position, QTextCursor::KeepAnchor);
  if (anchor == position)
    FSelection.setCharFormat(typing);
}

void TDocumentEngine::HoldEditBlock() {
  // A cursor that moves or inserts outside an edit block lays out its whole
  // block to remember the caret's x position, and a translation is one
  // block: a find/replace loop over the detached document would grow with
  // the square of its length. One edit block over the update skips that and
  // sends one change notification at its end.
  FHeldBlock = QTextCursor(FDocument.get());
  FHeldBlock.beginEditBlock();
}

void TDocumentEngine::ReleaseEditBlock() {
  if (FHeldBlock.isNull())
    return;
  FHeldBlock.endEditBlock();
  FHeldBlock = QTextCursor();
}

void TDocumentEngine::PauseLayout(bool pause) {
  FPacer->Pause(pause);
}

void TDocumentEngine::BeginUpdate() {
  if (FUpdating)
    return;
  FUpdating = true;
  FSelection = FView ? FView->textCursor() : QTextCursor(FDocument.get());
}

void TDocumentEngine::EndUpdate() {
  if (!FUpdating)
    return;
  FUpdating = false;
  const QTextCursor selection = FSelection;
  FSelection = QTextCursor();
  ReleaseEditBlock();
  if (!FView)
    return;
  if (FStale) {
    Show(*FDocument);
    DisposeLater(std::move(FStale));
  }
  FView->setTextCursor(selection);
}

QTextCursor TDocumentEngine::Selection() const {
  if (FUpdating || !FView)
    return FSelection.isNull() ? QTextCursor(FDocument.get()) : FSelection;
  return FView->textCursor();
}

void TDocumentEngine::SetSelection(const QTextCursor& cursor) {
  if (FUpdating || !FView)
    FSelection = cursor;
  else
    FView->setTextCursor(cursor);
}

TTextMirror& TDocumentEngine::Mirror() {
  if (!FMirrorValid) {
    QString text = FDocument->toRawText();
    // The separator in front of a line start stands for a line break.
    int lastIndex = -1;
    bool lastWasLine = false;
    for (QTextBlock block = FDocument->begin(); block.isValid(); block = block.next()) {
      const int index = block.blockFormatIndex();
      if (index != lastIndex) {
        lastIndex = index;
        lastWasLine = IsLineStart(block.blockFormat());
      }
      if (lastWasLine && block.position() > 0)
        text[block.position() - 1] = LineSeparator;
    }
    FShown.Extract(*FDocument, text);
    FMirror.Reset(text);
    FMirrorValid = true;
  }
  return FMirror;
}

int TDocumentEngine::ShownPosition(int documentPosition) {
  Mirror();
  return FShown.ShownOf(documentPosition);
}

std::unique_ptr<TDomDocument> TDocumentEngine::BuildDom(const QString& defaultBlockTag) const {
  return BuildDomDocument(*FDocument, defaultBlockTag);
}

QString TDocumentEngine::BodyText() const {
  return PlainText(*FDocument, 0, FDocument->characterCount() - 1, QStringLiteral("\r\n"));
}

void TDocumentEngine::SetBodyText(const QString& text) {
  const QString display = PlainTextToDisplay(text);
  if (!FDocument->rootFrame()->childFrames().isEmpty()) {
    // Tables go with everything else; a new document is simpler than
    // taking frames apart.
    auto document = std::make_unique<TEngineDocument>();
    document->Frame() = FDocument->Frame();
    document->SetLocation(FDocument->Location());
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    InsertDisplayLines(cursor, display, QTextCharFormat());
    cursor.endEditBlock();
    SetDocument(std::move(document));
    return;
  }
  DetachForEdit();
  const TSelfEdit self(*this);
  QTextCursor cursor(FDocument.get());
  cursor.beginEditBlock();
  cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  if (QTextList* list = cursor.currentList())
    list->remove(cursor.block());
  cursor.setBlockFormat(QTextBlockFormat());
  cursor.setBlockCharFormat(QTextCharFormat());
  cursor.setCharFormat(QTextCharFormat());
  InsertDisplayLines(cursor, display, QTextCharFormat());
  cursor.endEditBlock();
  FMirrorValid = false;
  SetSelection(cursor);
}

TDocumentEngine::TMatch TDocumentEngine::Find(QStringView text, int from, bool wholeWord,
                                              bool matchCase) {
  const qsizetype found =
      Mirror().Find(text, from, wholeWord, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
  if (found < 0)
    return {};
  return TMatch{static_cast<int>(found), static_cast<int>(found + text.size())};
}

void TDocumentEngine::Select(int start, int end) {
  Mirror();
  // The selection begins at its first shown character and ends after its
  // last: kept nodes at its edges stay out of it, those inside are in it.
  const int documentStart = FShown.DocumentOf(start);
  const int documentEnd = end > start ? FShown.DocumentOf(end - 1) + 1 : documentStart;
  QTextCursor cursor(FDocument.get());
  const int last = FDocument->characterCount() - 1;
  cursor.setPosition(std::clamp(documentStart, 0, last));
  cursor.setPosition(std::clamp(documentEnd, 0, last), QTextCursor::KeepAnchor);
  SetSelection(cursor);
}

bool TDocumentEngine::SelectionIsObject() const {
  const QTextCursor selection = Selection();
  if (selection.selectionEnd() - selection.selectionStart() != 1 ||
      FDocument->characterAt(selection.selectionStart()) != QChar::ObjectReplacementCharacter)
    return false;
  QTextCursor probe(FDocument.get());
  probe.setPosition(selection.selectionEnd());
  return probe.charFormat().isImageFormat();
}

QString TDocumentEngine::SelectedText() const {
  const QTextCursor selection = Selection();
  return PlainText(*FDocument, selection.selectionStart(), selection.selectionEnd(),
                   QStringLiteral("\r\n"));
}

void TDocumentEngine::ReplaceSelection(const QString& text) {
  const QString display = PlainTextToDisplay(text);
  QTextCursor cursor = Selection();
  const int start = cursor.selectionStart();
  const int end = cursor.selectionEnd();
  Mirror();
  const int shownStart = FShown.ShownOf(start);
  const int shownLength = FShown.ShownOf(end) - shownStart;
  QString current = FMirror.Mid(shownStart, shownLength);
  current.replace(QChar::ParagraphSeparator, LineSeparator);
  if (current == display)
    return;
  const bool structural = current.contains(BeginningOfFrame) || current.contains(EndOfFrame);
  DetachForEdit();
  cursor = Selection();
  QTextCharFormat format;
  if (start < end) {
    QTextCursor probe(FDocument.get());
    probe.setPosition(start + 1);
    format = TextFormatFrom(probe.charFormat());
  } else {
    format = TextFormatFrom(cursor.charFormat());
  }
  {
    const TSelfEdit self(*this);
    cursor.beginEditBlock();
    cursor.insertText(display, format);
    cursor.endEditBlock();
  }
  if (structural || !FMirrorValid) {
    FMirrorValid = false;
  } else {
    FMirror.Replace(shownStart, shownLength, display);
    FShown.Replaced(start, end, static_cast<int>(display.size()));
    if (FMirror.Length() + FShown.HiddenCount() != FDocument->characterCount() - 1)
      FMirrorValid = false;
  }
  SetSelection(cursor);
}

void TDocumentEngine::MergeCharFormat(const QTextCharFormat& format) {
  QTextCursor cursor = Selection();
  if (!cursor.hasSelection()) {
    if (FUpdating || !FView) {
      FSelection.mergeCharFormat(format);
    } else {
      FView->mergeCurrentCharFormat(format);
    }
    return;
  }
  DetachForEdit();
  cursor = Selection();
  const TSelfEdit self(*this);
  cursor.beginEditBlock();
  cursor.mergeCharFormat(format);
  cursor.endEditBlock();
  SetSelection(cursor);
}

void TDocumentEngine::InsertLineBreak() {
  if (!FView)
    return;
  QTextCursor cursor = FView->textCursor();
  cursor.insertText(QString(LineSeparator), TextFormatFrom(cursor.charFormat()));
  FView->setTextCursor(cursor);
  FView->ensureCursorVisible();
}

bool TDocumentEngine::CaretInList() const {
  const QTextCursor cursor = Selection();
  const TElementChain chain = BlockChainOf(cursor.block());
  return cursor.currentList() ||
         std::any_of(chain.begin(), chain.end(),
                     [](const TElementRef& element) { return element.Tag == u"li"; });
}

bool TDocumentEngine::CaretInHeading() const {
  const TElementChain chain = BlockChainOf(Selection().block());
  return !chain.isEmpty() && HtmlVocabulary::IsHeading(chain.last().Tag);
}

bool TDocumentEngine::InsertParagraph(const QString& defaultBlockTag) {
  if (!FView)
    return false;
  QTextCursor cursor = FView->textCursor();
  const QTextBlock head = LineGroupHead(cursor.block());
  const QTextBlockFormat blockFormat = cursor.blockFormat();
  // The second half starts a paragraph, not a line.
  QTextBlockFormat split = blockFormat;
  split.clearProperty(EngineProperty::LineStart);
  split.setTopMargin(head.blockFormat().topMargin());
  TElementChain chain = BlockChainOf(head);
  const TElementRef fresh{NewElementId(), defaultBlockTag, {}};
  if (chain.isEmpty()) {
    // Text outside any block element: both halves become paragraphs.
    cursor.beginEditBlock();
    QTextBlockFormat first = head.blockFormat();
    first.setProperty(EngineProperty::BlockChain,
                      SerializeChain({TElementRef{NewElementId(), defaultBlockTag, {}}}));
    QTextCursor(head).setBlockFormat(first);
    QTextBlockFormat second = split;
    second.setProperty(EngineProperty::BlockChain, SerializeChain({fresh}));
    cursor.insertBlock(second, TextFormatFrom(cursor.charFormat()));
    cursor.endEditBlock();
  } else if (HtmlVocabulary::IsHeading(chain.last().Tag) && cursor.atBlockEnd()) {
    // After a heading comes a plain paragraph, as in any editor.
    chain.removeLast();
    chain.append(fresh);
    QTextBlockFormat format;
    QTextCharFormat charFormat;
    for (const TElementRef& element : chain) {
      HtmlStyle::ApplyBlockStyle(element, format);
      HtmlStyle::ApplyCharStyle(element, charFormat);
    }
    format.setProperty(EngineProperty::BlockChain, SerializeChain(chain));
    cursor.beginEditBlock();
    cursor.insertBlock(format, charFormat);
    cursor.setCharFormat(charFormat);
    cursor.endEditBlock();
  } else if (IsLineStart(blockFormat)) {
    // Left to the view, the new block would copy the line start.
    split.setProperty(EngineProperty::BlockChain,
                      head.blockFormat().stringProperty(EngineProperty::BlockChain));
    cursor.insertBlock(split, TextFormatFrom(cursor.charFormat()));
  } else {
    return false;
  }
  FView->setTextCursor(cursor);
  FView->ensureCursorVisible();
  return true;
}
