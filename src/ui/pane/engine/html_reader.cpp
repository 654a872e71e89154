#include "ui/pane/engine/html_reader.h"

#include "ui/pane/engine/body_reader.h"
#include "ui/pane/engine/gumbo_document.h"
#include "ui/pane/engine/head_reader.h"
#include "ui/pane/engine/html_style.h"

#include <QTextCursor>

namespace {

// Tables nested deeper are read as plain blocks; the text layout recurses
// into nested tables.
constexpr int MaxTableDepth = 12;

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

namespace {

bool InsideForm(const GumboNode* node) {
  for (const GumboNode* up = node->parent; up; up = up->parent)
    if (up->type == GUMBO_NODE_ELEMENT && up->v.element.tag == GUMBO_TAG_FORM)
      return true;
  return false;
}

} // namespace

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
  if (HtmlVocabulary::IsNeverShown(tag)) {
    // A script of the body is written back as it came; the rest of these
    // hold nothing the pane could keep apart from their text.
    if (tag == u"script") {
      TKeptBodyNode kept{TKeptBodyNode::TKind::RawElement,
                         TElementRef{NewElementId(), tag, GumboAttributes(element)}, TextOf(node),
                         0};
      KeepHidden(std::move(kept));
    }
    return;
  }
  // The parser leaves a form inside a form after a misplaced </form>, but a
  // form start tag inside a form is dropped when the markup is read again:
  // only its content counts, so only its content is read.
  if (element.tag == GUMBO_TAG_FORM && InsideForm(node))
    return VisitChildren(node);
  TElementRef ref{NewElementId(), tag, GumboAttributes(element)};
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
  auto document = std::make_unique<TEngineDocument>();
  document->setUndoRedoEnabled(false);
  {
    // Outside an edit block every insertion lays out its whole block again
    // to place the caret, which makes a long paragraph quadratic.
    QTextCursor batch(document.get());
    batch.beginEditBlock();
    const TGumboDocument parsed(html);
    THtmlReader reader(*document, parsed);
    reader.Read();
    batch.endEditBlock();
  }
  document->SetLocation(location);
  document->setUndoRedoEnabled(true);
  document->setModified(false);
  return document;
}

std::unique_ptr<TEngineDocument> ReadPlainTextDocument(const QString& text, const QUrl& location) {
  auto document = std::make_unique<TEngineDocument>();
  document->setUndoRedoEnabled(false);
  QTextCursor cursor(document.get());
  cursor.beginEditBlock();
  InsertDisplayLines(cursor, PlainTextToDisplay(text), QTextCharFormat());
  cursor.endEditBlock();
  document->SetLocation(location);
  document->setUndoRedoEnabled(true);
  document->setModified(false);
  return document;
}
