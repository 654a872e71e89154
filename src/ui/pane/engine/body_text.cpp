#include "ui/pane/engine/body_reader.h"

#include "ui/pane/engine/html_reader.h"
#include "ui/pane/engine/html_style.h"
#include "ui/pane/html_names.h"

#include <algorithm>

namespace {

constexpr QChar LineSeparator = QChar::LineSeparator;
constexpr QChar ObjectReplacement = QChar::ObjectReplacementCharacter;

// Characters that QTextCursor::insertText turns into structure.
QChar SafeChar(QChar c) {
  switch (c.unicode()) {
  case QChar::ParagraphSeparator:
    return LineSeparator;
  case 0xFDD0: // QTextBeginningOfFrame
  case 0xFDD1: // QTextEndOfFrame
    return QChar::ReplacementCharacter;
  default:
    return c;
  }
}

// A character of HTML text. The parser turns control characters and
// noncharacters written as such into U+FFFD but keeps them when they come
// from a character reference; written back they would be written as such,
// so they are replaced here and a document reads back the same.
QChar HtmlTextChar(QChar c) {
  const char16_t u = c.unicode();
  const bool whitespace = u == u'\t' || u == u'\n' || u == u'\f' || u == u'\r';
  if ((u < 0x20 && !whitespace) || (u >= 0x7F && u <= 0x9F) || (u >= 0xFDD0 && u <= 0xFDEF) ||
      u == 0xFFFE || u == 0xFFFF)
    return QChar::ReplacementCharacter;
  return SafeChar(c);
}

// Shown like a picture: where it stands, text flows around it.
bool IsVisibleControl(const TElementRef& element) {
  if (element.Tag == u"input")
    return element.Attribute(u"type").compare(u"hidden", Qt::CaseInsensitive) != 0;
  return element.Tag == u"embed" || element.Tag == u"keygen";
}

} // namespace

// Text waiting to be inserted with one format, so a text node costs one
// insertion rather than one per character.
void THtmlReader::Append(QStringView text, const QTextCharFormat& format) {
  if (!FPendingText.isEmpty() && !(format == FPendingFormat))
    FlushText();
  if (FPendingText.isEmpty())
    FPendingFormat = format;
  FPendingText += text;
}

void THtmlReader::FlushText() {
  if (FPendingText.isEmpty())
    return;
  FCursor.insertText(FPendingText, FPendingFormat);
  FPendingText.clear();
}

void THtmlReader::AddText(const QString& text) {
  if (text.isEmpty())
    return;
  if (Preformatted())
    return AddPreformattedText(text);
  QString content;
  content.reserve(text.size());
  const QTextCharFormat format = TextFormat();
  for (const QChar c : text) {
    if (IsHtmlSpace(c)) {
      if (!Context().AtLineStart && !Context().PendingSpace) {
        if (!content.isEmpty()) {
          EnsureBlock();
          Append(content, format);
          content.clear();
        }
        Context().PendingSpace = true;
        Context().PendingSpaceFormat = format;
      }
      continue;
    }
    // A word ends a run of white space as an object does.
    if (content.isEmpty())
      BeginInlineObject();
    content += HtmlTextChar(c);
  }
  if (!content.isEmpty()) {
    EnsureBlock();
    Append(content, format);
  }
}

void THtmlReader::AddPreformattedText(const QString& text) {
  EnsureBlock();
  const QTextCharFormat format = TextFormat();
  QTextCharFormat newline = format;
  newline.setProperty(EngineProperty::TextNewline, true);
  QString run;
  for (const QChar c : text) {
    if (c == u'\r')
      continue;
    if (c == u'\n') {
      Append(run, format);
      run.clear();
      AddBreak(newline);
      continue;
    }
    run += HtmlTextChar(c);
  }
  Append(run, format);
  Context().AtLineStart = false;
}

void THtmlReader::AddLineBreak(const TElementRef& element) {
  EnsureBlock();
  TContext& context = Context();
  context.PendingSpace = false;
  QTextCharFormat format = TextFormat();
  if (!element.Attributes.isEmpty())
    format.setProperty(EngineProperty::ObjectElement, SerializeChain({element}));
  AddBreak(format);
  context.AtLineStart = !Preformatted();
}

// A line break starts a block of the same element (see LineStart); in a
// list item a new block would be an item of its own, so the break stays a
// line separator there.
void THtmlReader::AddBreak(const QTextCharFormat& format) {
  if (ListItem()) {
    Append(QStringView(&LineSeparator, 1), format);
    return;
  }
  FlushText();
  StartLineBlock(FCursor, format);
}

// An object in the text (a picture, a shown control) ends a run of white
// space as a word would.
void THtmlReader::BeginInlineObject() {
  EnsureBlock();
  TContext& context = Context();
  if (context.PendingSpace)
    Append(u" ", context.PendingSpaceFormat);
  context.PendingSpace = false;
  context.AtLineStart = false;
}

void THtmlReader::AddImage(const TElementRef& element) {
  BeginInlineObject();
  FlushText();
  QTextImageFormat format;
  format.merge(TextFormat());
  format.setObjectType(QTextFormat::ImageObject);
  format.setName(element.Attribute(u"src").trimmed());
  bool ok = false;
  const double width = element.Attribute(u"width").toDouble(&ok);
  if (ok && width > 0 && width < 100000)
    format.setWidth(width);
  const double height = element.Attribute(u"height").toDouble(&ok);
  if (ok && height > 0 && height < 100000)
    format.setHeight(height);
  format.setProperty(EngineProperty::ObjectElement, SerializeChain({element}));
  FCursor.insertText(QString(ObjectReplacement), format);
}

void THtmlReader::KeepComment(const GumboNode* node) {
  if (FParsed.IsMarker(*node))
    return;
  KeepHidden(TKeptBodyNode{TKeptBodyNode::TKind::Comment, {}, CommentSource(node), 0});
}

void THtmlReader::KeepVoidElement(TElementRef element) {
  const bool visible = IsVisibleControl(element);
  TKeptBodyNode kept{TKeptBodyNode::TKind::Element, std::move(element), {}, 0};
  if (!visible)
    return KeepHidden(std::move(kept));
  BeginInlineObject();
  InsertKeptNode(kept);
}

// A node nothing shows changes neither the lines nor the blanks around
// it: inside a block it is a character of its own, between blocks it
// waits for the next one.
void THtmlReader::KeepHidden(TKeptBodyNode kept) {
  TContext& context = Context();
  if (context.BlockOpen)
    return InsertKeptNode(kept);
  kept.Depth = static_cast<int>(context.BlockDepth);
  context.Pending.push_back(std::move(kept));
}

void THtmlReader::InsertKeptNode(const TKeptBodyNode& kept) {
  FlushText();
  QTextCharFormat format = TextFormat();
  format.setObjectType(KeptNodeObjectType);
  format.setProperty(KeptProperty::InlineNode, SerializeKeptNodes({kept}));
  FCursor.insertText(QString(ObjectReplacement), format);
}

// Pending nodes inside elements that have ended move out of them.
void THtmlReader::ClampPending() {
  TContext& context = Context();
  for (TKeptBodyNode& kept : context.Pending)
    kept.Depth = std::min(kept.Depth, static_cast<int>(context.BlockDepth));
}

QString THtmlReader::TakePending() {
  ClampPending();
  const QString serialized = SerializeKeptNodes(Context().Pending);
  Context().Pending.clear();
  return serialized;
}

// Nodes no block followed: after the last block of the body or cell.
void THtmlReader::KeepPendingAtTheEnd() {
  if (Context().Pending.empty())
    return;
  FlushText();
  QTextBlockFormat format;
  format.setProperty(KeptProperty::Trailing, TakePending());
  FCursor.mergeBlockFormat(format);
}

// Display text, for the reader and the engine (html_reader.h).

QString PlainTextToDisplay(QStringView text) {
  QString display;
  display.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n')
        ++i;
      display += LineSeparator;
    } else if (c == u'\n') {
      display += LineSeparator;
    } else {
      display += SafeChar(c);
    }
  }
  return display;
}

void StartLineBlock(QTextCursor& cursor, const QTextCharFormat& breakFormat) {
  QTextBlockFormat previous = cursor.blockFormat();
  QTextBlockFormat line = previous;
  line.setProperty(EngineProperty::LineStart, true);
  // Nodes kept around the element belong to its first block only.
  line.clearProperty(KeptProperty::Leading);
  line.clearProperty(KeptProperty::Trailing);
  // The lines show as one paragraph: its spacing goes above the first line
  // and below the last, its first-line indent on the first only.
  line.setTopMargin(0);
  line.setTextIndent(0);
  if (previous.bottomMargin() != 0) {
    previous.setBottomMargin(0);
    cursor.setBlockFormat(previous);
  }
  cursor.insertBlock(line, breakFormat);
}

void InsertDisplayLines(QTextCursor& cursor, QStringView display, const QTextCharFormat& format) {
  qsizetype start = 0;
  for (;;) {
    const qsizetype end = display.indexOf(LineSeparator, start);
    const QStringView line = display.mid(start, (end < 0 ? display.size() : end) - start);
    if (!line.isEmpty())
      cursor.insertText(line.toString(), format);
    if (end < 0)
      return;
    StartLineBlock(cursor, format);
    start = end + 1;
  }
}
