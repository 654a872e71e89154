#include "ui/pane/engine/html_reader.h"

#include "ui/pane/engine/body_reader.h"
#include "ui/pane/engine/gumbo_document.h"
#include "ui/pane/engine/head_reader.h"
#include "ui/pane/engine/html_style.h"

#include <QTextCursor>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <optional>

namespace {

// Tables nested deeper are read as plain blocks; the text layout recurses
// into nested tables.
constexpr int MaxTableDepth = 12;

// Whether the value is a link that runs script where it is followed or
// loaded. Browsers skip blanks and control characters before the scheme and
// inside it.
bool IsScriptUrl(QStringView value) {
  QString scheme;
  for (const QChar c : value) {
    if (c == u':')
      break;
    if (c.unicode() > 0x20)
      scheme += c.toLower();
    if (scheme.size() > 10)
      return false;
  }
  return scheme == u"javascript" || scheme == u"vbscript";
}

// Attributes that would run code from the clipboard in a saved page: event
// handlers, script links, inline documents, script in styles.
bool IsUnsafeAttribute(const TDomAttribute& attribute) {
  const QString name = attribute.Name.toLower();
  if (name.startsWith(u"on") || name == u"srcdoc")
    return true;
  if (IsScriptUrl(attribute.Value))
    return true;
  return name == u"style" && (attribute.Value.contains(u"javascript:", Qt::CaseInsensitive) ||
                              attribute.Value.contains(u"expression(", Qt::CaseInsensitive));
}

// Content the pane shows nothing of but the page does: kept whole, as read.
bool IsEmbeddedContent(QStringView tag) {
  return tag == u"object" || tag == u"video" || tag == u"audio" || tag == u"iframe";
}

bool Inside(const GumboNode* node, GumboTag tag) {
  for (const GumboNode* up = node->parent; up; up = up->parent)
    if (up->type == GUMBO_NODE_ELEMENT && up->v.element.tag == tag)
      return true;
  return false;
}

std::unique_ptr<TEngineDocument> ReadDocument(const QString& html, const QUrl& location,
                                              bool pasted) {
  auto document = std::make_unique<TEngineDocument>();
  document->setUndoRedoEnabled(false);
  {
    // Outside an edit block every insertion lays out its whole block again
    // to place the caret, which makes a long paragraph quadratic.
    QTextCursor batch(document.get());
    batch.beginEditBlock();
    const TGumboDocument parsed(html);
    THtmlReader reader(*document, parsed, pasted);
    reader.Read();
    batch.endEditBlock();
  }
  document->SetLocation(location);
  document->setUndoRedoEnabled(true);
  document->setModified(false);
  return document;
}

} // namespace

void THtmlReader::Read() {
  const GumboOutput& output = FParsed.Output();
  const GumboDocument& document = output.document->v.document;
  TDocumentFrame& frame = FDocument.Frame();
  frame.Prologue = ReadPrologue(FParsed);
  const GumboElement& html = output.root->v.element;
  frame.HtmlAttributes = GumboAttributes(html);
  for (unsigned i = 0; i < html.children.length; ++i) {
    const GumboNode* node = Child(html.children, i);
    if (!IsElement(node))
      continue;
    const GumboElement& element = node->v.element;
    if (element.tag == GUMBO_TAG_HEAD) {
      ReadHead(FParsed, *node, frame);
    } else if (element.tag == GUMBO_TAG_BODY) {
      frame.BodyAttributes = GumboAttributes(element);
      VisitChildren(node);
    }
  }
  // Comments after the body (and after </html>) end the body, where a
  // written document has room for them.
  for (unsigned i = 0; i < html.children.length; ++i)
    if (Child(html.children, i)->type == GUMBO_NODE_COMMENT)
      KeepComment(Child(html.children, i));
  bool afterRoot = false;
  for (unsigned i = 0; i < document.children.length; ++i) {
    const GumboNode* node = Child(document.children, i);
    if (afterRoot && node->type == GUMBO_NODE_COMMENT)
      KeepComment(node);
    afterRoot = afterRoot || node == output.root;
  }
  CloseBlock();
  KeepPendingAtTheEnd();
}

QList<TDomAttribute> THtmlReader::Attributes(const GumboElement& element) const {
  QList<TDomAttribute> attributes = GumboAttributes(element);
  if (FPasted)
    attributes.removeIf(IsUnsafeAttribute);
  return attributes;
}

// The markup between an element's start and end tags as it was written;
// nothing when the parser made up either tag, or for pasted markup.
std::optional<QString> THtmlReader::RawContent(const GumboNode* node) const {
  const GumboElement& element = node->v.element;
  if (FPasted)
    return std::nullopt;
  if (element.tag == GUMBO_TAG_IFRAME)
    return TextOf(node);
  const GumboStringPiece& start = element.original_tag;
  const GumboStringPiece& end = element.original_end_tag;
  if (!start.data || !end.data || start.length == 0 || end.length == 0 ||
      end.data < start.data + start.length)
    return std::nullopt;
  // An end tag that closed it on the way ("</tr>" around a video the parser
  // moved out of a table) is not its own: written as one, the content would
  // read back differently.
  const QByteArray name = GumboTagName(element).toUtf8();
  const std::size_t after = static_cast<std::size_t>(name.size()) + 2;
  if (end.length < after || std::strncmp(end.data, "</", 2) != 0 ||
      QByteArray(end.data + 2, name.size()).toLower() != name ||
      (end.length > after && std::isalnum(static_cast<unsigned char>(end.data[after]))))
    return std::nullopt;
  const QByteArray inner(start.data + start.length, end.data - (start.data + start.length));
  // The parse's own marks before form ends would be read as comments of the
  // document.
  if (inner.toLower().contains("</form"))
    return std::nullopt;
  return QString::fromUtf8(inner);
}

void THtmlReader::VisitChildren(const GumboNode* node) {
  const GumboVector& children =
      node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
  for (unsigned i = 0; i < children.length; ++i)
    Visit(Child(children, i));
}

void THtmlReader::Visit(const GumboNode* node) {
  switch (node->type) {
  case GUMBO_NODE_TEXT:
  case GUMBO_NODE_WHITESPACE:
  case GUMBO_NODE_CDATA:
    AddText(FromGumbo(node->v.text.text));
    break;
  case GUMBO_NODE_ELEMENT:
  case GUMBO_NODE_TEMPLATE:
    VisitElement(node);
    break;
  case GUMBO_NODE_COMMENT:
    KeepComment(node);
    break;
  default:
    break;
  }
}

void THtmlReader::VisitElement(const GumboNode* node) {
  const GumboElement& element = node->v.element;
  if (element.tag_namespace != GUMBO_NAMESPACE_HTML) {
    // Drawings and formulas show their text only.
    if (element.tag != GUMBO_TAG_STYLE && element.tag != GUMBO_TAG_SCRIPT)
      VisitChildren(node);
    return;
  }
  const QString tag = GumboTagName(element);
  if (HtmlVocabulary::IsHeadElement(tag)) {
    TKeptNode kept;
    if (KeepHeadNode(FParsed, node, kept, 0))
      FDocument.Frame().Head.push_back(std::move(kept));
    return;
  }
  if (IsEmbeddedContent(tag)) {
    // Written back as it came; the text inside is what a page shows when
    // it cannot show the object. Without its own end tag (or pasted) only
    // its content is read: written with an end tag it would be kept whole
    // the next time, and its shown text would vanish then.
    if (std::optional<QString> raw = RawContent(node)) {
      KeepHidden(TKeptBodyNode{TKeptBodyNode::TKind::RawElement,
                               TElementRef{NewElementId(), tag, Attributes(element)},
                               std::move(*raw), 0});
      return;
    }
    if (element.tag != GUMBO_TAG_IFRAME)
      return VisitChildren(node);
  }
  if (HtmlVocabulary::IsNeverShown(tag)) {
    // A script of the body is written back as it came, unless it came from
    // the clipboard; the rest of these hold nothing the pane could keep
    // apart from their text.
    if (tag == u"script" && !FPasted)
      KeepHidden(TKeptBodyNode{TKeptBodyNode::TKind::RawElement,
                               TElementRef{NewElementId(), tag, GumboAttributes(element)},
                               TextOf(node), 0});
    return;
  }
  // The parser leaves a form inside a form after a misplaced </form>, and a
  // link inside a link when a table splits the outer one, but read again
  // such a start tag inside its own kind is dropped or closes the outer
  // element: only its content counts, so only its content is read.
  if ((element.tag == GUMBO_TAG_FORM || element.tag == GUMBO_TAG_A) && Inside(node, element.tag))
    return VisitChildren(node);
  TElementRef ref{NewElementId(), tag, Attributes(element)};
  // Their content is raw text, which would read back differently once written
  // as an element; plain preformatted blocks show the same.
  if (tag == u"xmp" || tag == u"plaintext")
    ref.Tag = QStringLiteral("pre");
  if (ref.Tag == u"br")
    return AddLineBreak(ref);
  if (ref.Tag == u"img")
    return AddImage(ref);
  if (ref.Tag == u"hr")
    return AddRule(ref);
  if (HtmlVocabulary::IsVoid(ref.Tag))
    return KeepVoidElement(std::move(ref));
  if (ref.Tag == u"table" && Context().TableDepth < MaxTableDepth && AddTable(node, ref))
    return;
  if (HtmlVocabulary::IsBlock(ref.Tag))
    return VisitBlock(node, std::move(ref));
  VisitInline(node, std::move(ref));
}

std::unique_ptr<TEngineDocument> ReadHtmlDocument(const QString& html, const QUrl& location) {
  return ReadDocument(html, location, false);
}

std::unique_ptr<TEngineDocument> ReadPastedHtmlDocument(const QString& html) {
  return ReadDocument(html, {}, true);
}

std::unique_ptr<TEngineDocument> ReadPlainTextDocument(const QString& text, const QUrl& location,
                                                       const std::function<bool()>& stopped) {
  auto document = std::make_unique<TEngineDocument>();
  document->setUndoRedoEnabled(false);
  QTextCursor cursor(document.get());
  cursor.beginEditBlock();
  QString display = PlainTextToDisplay(text);
  const qsizetype firstEnd = display.indexOf(QChar::LineSeparator);
  InsertDisplayLines(cursor, QStringView(display).left(firstEnd < 0 ? display.size() : firstEnd),
                     QTextCharFormat());
  if (firstEnd >= 0) {
    // The second line starts a block as a line break does; the cursor makes
    // every later line a block in the format of the one it stands in, so the
    // rest goes in whole, its lines as line feeds. Line by line, building
    // and comparing a block format per line cost more than the text.
    StartLineBlock(cursor, QTextCharFormat());
    std::replace(display.begin() + firstEnd + 1, display.end(), QChar(QChar::LineSeparator),
                 QChar(u'\n'));
    // In pieces of whole lines, so that a load given up on stops soon.
    constexpr qsizetype Piece = 1024 * 1024;
    const QStringView all(display);
    for (qsizetype start = firstEnd + 1; start < all.size();) {
      const qsizetype cut = all.size() - start <= Piece ? -1 : all.indexOf(u'\n', start + Piece);
      const qsizetype end = cut < 0 ? all.size() : cut + 1;
      cursor.insertText(all.mid(start, end - start).toString(), QTextCharFormat());
      if (stopped && stopped())
        break;
      start = end;
    }
  }
  cursor.endEditBlock();
  document->SetLocation(location);
  document->setUndoRedoEnabled(true);
  document->setModified(false);
  document->SetReadFromPlainText();
  return document;
}
