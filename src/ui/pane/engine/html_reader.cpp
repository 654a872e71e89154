#include "ui/pane/engine/html_reader.h"

#include "ui/pane/engine/element_chain.h"
#include "ui/pane/engine/gumbo_document.h"
#include "ui/pane/engine/html_style.h"
#include "ui/pane/engine/kept_nodes.h"

#include <QHash>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>
#include <algorithm>
#include <vector>

namespace {

constexpr QChar LineSeparator = QChar::LineSeparator;
constexpr QChar ObjectReplacement = QChar::ObjectReplacementCharacter;

// Chains longer than this stop growing: deeper elements still show their
// text but are not written back.
constexpr std::size_t MaxChainDepth = 200;
// Tables nested deeper are read as plain blocks; the text layout recurses
// into nested tables.
constexpr int MaxTableDepth = 12;
// Larger grids are read as plain blocks.
constexpr qsizetype MaxTableCells = 20000;
constexpr int MaxSpan = 1000;

bool IsCollapsibleSpace(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

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

QList<TDomAttribute> GumboAttributes(const GumboElement& element) {
  QList<TDomAttribute> attributes;
  attributes.reserve(static_cast<qsizetype>(element.attributes.length));
  for (unsigned i = 0; i < element.attributes.length; ++i) {
    const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
    attributes.append(TDomAttribute{FromGumbo(attribute->name), FromGumbo(attribute->value), true});
  }
  return attributes;
}

const GumboNode* Child(const GumboVector& children, unsigned i) {
  return static_cast<const GumboNode*>(children.data[i]);
}

bool IsElement(const GumboNode* node) {
  return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

QString TextOf(const GumboNode* node) {
  QString text;
  if (!IsElement(node))
    return FromGumbo(node->v.text.text);
  const GumboVector& children = node->v.element.children;
  for (unsigned i = 0; i < children.length; ++i)
    if (!IsElement(Child(children, i)) && Child(children, i)->type != GUMBO_NODE_COMMENT)
      text += FromGumbo(Child(children, i)->v.text.text);
  return text;
}

QString CommentSource(const GumboNode* node) {
  const GumboStringPiece& original = node->v.text.original_text;
  if (original.data && original.length > 0)
    return QString::fromUtf8(original.data, static_cast<qsizetype>(original.length));
  return QStringLiteral("<!--") + FromGumbo(node->v.text.text) + QStringLiteral("-->");
}

// A head node as the writer wants it: scripts and styles with their raw
// text, whitespace between elements dropped (the writer indents itself).
bool KeepHeadNode(const TGumboDocument& parsed, const GumboNode* node, TKeptNode& kept, int depth) {
  if (node->type == GUMBO_NODE_COMMENT) {
    if (parsed.IsMarker(*node))
      return false;
    kept.Kind = TDomNode::TKind::Comment;
    kept.Data = CommentSource(node);
    return true;
  }
  if (!IsElement(node)) {
    const QString text = FromGumbo(node->v.text.text);
    if (text.trimmed().isEmpty())
      return false;
    kept.Kind = TDomNode::TKind::Text;
    kept.Data = text;
    return true;
  }
  const GumboElement& element = node->v.element;
  if (element.tag_namespace != GUMBO_NAMESPACE_HTML)
    return false;
  kept.Kind = TDomNode::TKind::Element;
  kept.TagName = GumboTagName(element);
  kept.Attributes = GumboAttributes(element);
  if (kept.TagName == u"script" || kept.TagName == u"style" || kept.TagName == u"noscript" ||
      kept.TagName == u"noframes") {
    kept.HasRawContent = true;
    kept.RawContent = TextOf(node);
    return true;
  }
  if (kept.TagName == u"title" || kept.TagName == u"textarea") {
    const QString text = TextOf(node);
    if (!text.isEmpty()) {
      TKeptNode child;
      child.Kind = TDomNode::TKind::Text;
      child.Data = text;
      kept.Children.push_back(std::move(child));
    }
    return true;
  }
  if (depth > 64)
    return true;
  for (unsigned i = 0; i < element.children.length; ++i) {
    TKeptNode child;
    if (KeepHeadNode(parsed, Child(element.children, i), child, depth + 1))
      kept.Children.push_back(std::move(child));
  }
  return true;
}

QString DoctypeLine(const GumboDocument& document) {
  QString line = QStringLiteral("<!DOCTYPE ") + FromGumbo(document.name);
  const QString publicId = FromGumbo(document.public_identifier);
  const QString systemId = FromGumbo(document.system_identifier);
  if (!publicId.isEmpty())
    line += QStringLiteral(" PUBLIC \"") + publicId + u'"';
  if (!systemId.isEmpty())
    line += (publicId.isEmpty() ? QStringLiteral(" SYSTEM \"") : QStringLiteral(" \"")) + systemId +
            u'"';
  return line + u'>';
}

class THtmlReader {
public:
  THtmlReader(TEngineDocument& document, const TGumboDocument& parsed)
      : FDocument(document), FParsed(parsed), FCursor(&document) {
    FContexts.emplace_back();
  }

  void Read() {
    const GumboOutput& output = FParsed.Output();
    const GumboDocument& document = output.document->v.document;
    TDocumentFrame& frame = FDocument.Frame();
    frame.Prologue =
        (document.has_doctype ? DoctypeLine(document) : TDocumentFrame::DefaultDoctype) +
        QStringLiteral("\r\n");
    for (unsigned i = 0; i < document.children.length; ++i) {
      const GumboNode* node = Child(document.children, i);
      if (node == output.root)
        break;
      if (node->type == GUMBO_NODE_COMMENT && !FParsed.IsMarker(*node))
        frame.Prologue += CommentSource(node) + QStringLiteral("\r\n");
    }
    const GumboElement& html = output.root->v.element;
    frame.HtmlAttributes = GumboAttributes(html);
    for (unsigned i = 0; i < html.children.length; ++i) {
      const GumboNode* node = Child(html.children, i);
      if (!IsElement(node))
        continue;
      const GumboElement& element = node->v.element;
      if (element.tag == GUMBO_TAG_HEAD) {
        frame.HeadAttributes = GumboAttributes(element);
        for (unsigned k = 0; k < element.children.length; ++k) {
          TKeptNode kept;
          if (KeepHeadNode(FParsed, Child(element.children, k), kept, 0))
            frame.Head.push_back(std::move(kept));
        }
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

private:
  struct TOpen {
    TElementRef Element;
    bool InBlockChain = false;
    QString BlockKey;             // chain of the block part up to this element
    QString InlineKey;            // chain of the inline part up to this element
    QTextCharFormat CharFormat;   // all elements up to this one
    QTextBlockFormat BlockFormat; // block-chain elements up to this one
    bool Preformatted = false;
    int ListLevel = 0;
    bool ListItemJoined = false;
  };

  // The body, or one table cell: its own chains, starting empty.
  struct TContext {
    std::vector<TOpen> Open;
    std::size_t BlockDepth = 0; // Open[0, BlockDepth) is the block chain
    QTextCharFormat BaseChar;
    QTextBlockFormat BaseBlock;
    bool BlockOpen = false;
    bool CursorBlockUnclaimed = true;
    bool PendingSpace = false;
    QTextCharFormat PendingSpaceFormat;
    bool AtLineStart = true;
    int TableDepth = 0;
    // Kept nodes met where no block is open, for the next block (or table).
    std::vector<TKeptBodyNode> Pending;
  };

  TContext& Context() { return FContexts.back(); }

  const QTextCharFormat& CurrentCharFormat() {
    TContext& context = Context();
    return context.Open.empty() ? context.BaseChar : context.Open.back().CharFormat;
  }

  QTextCharFormat TextFormat() {
    TContext& context = Context();
    QTextCharFormat format = CurrentCharFormat();
    if (context.Open.size() > context.BlockDepth)
      format.setProperty(EngineProperty::InlineChain, context.Open.back().InlineKey);
    return format;
  }

  bool Preformatted() {
    TContext& context = Context();
    return context.BlockDepth > 0 && context.Open[context.BlockDepth - 1].Preformatted;
  }

  void VisitChildren(const GumboNode* node) {
    const GumboVector& children =
        node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i)
      Visit(Child(children, i));
  }

  void Visit(const GumboNode* node) {
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

  void VisitElement(const GumboNode* node) {
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

  bool RoomForElement() { return Context().Open.size() < MaxChainDepth; }

  void PushBlock(TElementRef element) {
    TContext& context = Context();
    PromoteInline();
    TOpen open;
    const TOpen* previous = context.Open.empty() ? nullptr : &context.Open.back();
    open.CharFormat = previous ? previous->CharFormat : context.BaseChar;
    HtmlStyle::ApplyCharStyle(element, open.CharFormat);
    open.BlockFormat = previous ? previous->BlockFormat : context.BaseBlock;
    HtmlStyle::ApplyBlockStyle(element, open.BlockFormat);
    open.BlockKey = previous ? previous->BlockKey : QString();
    AppendSerializedElement(open.BlockKey, element);
    open.Preformatted =
        (previous && previous->Preformatted) || HtmlVocabulary::IsPreformatted(element.Tag);
    open.ListLevel = (previous ? previous->ListLevel : 0) +
                     (HtmlVocabulary::IsListContainer(element.Tag) ? 1 : 0);
    open.InBlockChain = true;
    open.Element = std::move(element);
    context.Open.push_back(std::move(open));
    context.BlockDepth = context.Open.size();
  }

  void PopBlock() {
    TContext& context = Context();
    CloseBlock();
    context.Open.pop_back();
    context.BlockDepth = context.Open.size();
    ClampPending();
  }

  // Inline elements around a block become part of the block chain, as the
  // parser made the block their child.
  void PromoteInline() {
    TContext& context = Context();
    for (std::size_t i = context.BlockDepth; i < context.Open.size(); ++i) {
      TOpen& open = context.Open[i];
      const TOpen* previous = i > 0 ? &context.Open[i - 1] : nullptr;
      open.BlockFormat = previous ? previous->BlockFormat : context.BaseBlock;
      HtmlStyle::ApplyBlockStyle(open.Element, open.BlockFormat);
      open.BlockKey = previous ? previous->BlockKey : QString();
      AppendSerializedElement(open.BlockKey, open.Element);
      open.Preformatted = previous && previous->Preformatted;
      open.ListLevel = previous ? previous->ListLevel : 0;
      open.InBlockChain = true;
    }
    context.BlockDepth = context.Open.size();
  }

  // Elements whose start tag ends an open paragraph when the source is read.
  static bool ClosesParagraph(QStringView tag) {
    static const QStringList tags{
        "address", "article", "aside",  "blockquote", "center",   "details",    "dialog", "dir",
        "div",     "dl",      "dd",     "dt",         "fieldset", "figcaption", "figure", "footer",
        "form",    "h1",      "h2",     "h3",         "h4",       "h5",         "h6",     "header",
        "hgroup",  "hr",      "li",     "listing",    "main",     "menu",       "nav",    "ol",
        "p",       "pre",     "search", "section",    "summary",  "ul"};
    return tags.contains(tag);
  }

  // Where the open paragraph starts in the chain when the block's start tag
  // would end it; -1 when there is none to end.
  qsizetype ParagraphToEnd(QStringView tag) {
    if (!ClosesParagraph(tag))
      return -1;
    const TContext& context = Context();
    for (std::size_t i = context.Open.size(); i-- > 0;) {
      const QString& open = context.Open[i].Element.Tag;
      if (open == u"p")
        return static_cast<qsizetype>(i);
      // The paragraph is out of the start tag's reach beyond these.
      if (open == u"button" || open == u"object" || open == u"marquee" || open == u"applet")
        return -1;
    }
    return -1;
  }

  // Where an open item starts in the chain when a start tag of `tag` would
  // end it (li ends li; dd and dt end either), -1 when there is none.
  qsizetype ItemToEnd(QStringView tag) {
    const bool listItem = tag == u"li";
    if (!listItem && tag != u"dd" && tag != u"dt")
      return -1;
    const TContext& context = Context();
    for (std::size_t i = context.Open.size(); i-- > 0;) {
      const QString& open = context.Open[i].Element.Tag;
      if (listItem ? open == u"li" : (open == u"dd" || open == u"dt"))
        return static_cast<qsizetype>(i);
      // The item is out of the start tag's reach beyond these.
      if (open != u"address" && open != u"div" && open != u"p" && IsSpecial(open))
        return -1;
    }
    return -1;
  }

  static bool IsSpecial(QStringView tag) {
    static const QStringList tags{
        "address", "applet",   "article",    "aside",    "blockquote", "body",   "button",
        "caption", "center",   "dd",         "details",  "dir",        "div",    "dl",
        "dt",      "fieldset", "figcaption", "figure",   "footer",     "form",   "h1",
        "h2",      "h3",       "h4",         "h5",       "h6",         "header", "hgroup",
        "li",      "listing",  "main",       "marquee",  "menu",       "nav",    "object",
        "ol",      "p",        "pre",        "search",   "section",    "select", "summary",
        "table",   "tbody",    "td",         "textarea", "tfoot",      "th",     "thead",
        "tr",      "ul",       "xmp"};
    return tags.contains(tag);
  }

  // The outermost open element a start tag of `tag` ends, or -1.
  qsizetype ElementToEnd(QStringView tag) {
    const qsizetype paragraph = ParagraphToEnd(tag);
    const qsizetype item = ItemToEnd(tag);
    if (paragraph < 0 || item < 0)
      return std::max(paragraph, item);
    return std::min(paragraph, item);
  }

  // The parser nests such an element in the one its start tag ends only in
  // malformed markup (a table's misplaced content, moved in front of the
  // table). Written back nested, it would read as a sibling, so a second
  // cycle would change the document; it is read as that sibling now, and
  // what follows it continues in elements of the same chain.
  template <typename TVisit> void VisitOutside(qsizetype cutAt, TVisit visit) {
    CloseBlock();
    TContext& context = Context();
    const auto cut = context.Open.begin() + cutAt;
    std::vector<TOpen> endedChain(std::make_move_iterator(cut),
                                  std::make_move_iterator(context.Open.end()));
    context.Open.erase(cut, context.Open.end());
    const std::size_t blockDepth = context.BlockDepth;
    context.BlockDepth = std::min(blockDepth, context.Open.size());
    ClampPending();
    visit();
    TContext& after = Context();
    for (TOpen& open : endedChain)
      after.Open.push_back(std::move(open));
    after.BlockDepth = blockDepth;
  }

  void VisitBlock(const GumboNode* node, TElementRef element) {
    if (const qsizetype ended = ElementToEnd(element.Tag); ended >= 0)
      return VisitOutside(ended, [&] { VisitBlock(node, std::move(element)); });
    if (!RoomForElement()) {
      CloseBlock();
      VisitChildren(node);
      CloseBlock();
      return;
    }
    CloseBlock();
    PushBlock(std::move(element));
    const int produced = FProduced;
    VisitChildren(node);
    if (FProduced == produced)
      EnsureBlock();
    PopBlock();
  }

  void VisitInline(const GumboNode* node, TElementRef element) {
    TContext& context = Context();
    if (!RoomForElement())
      return VisitChildren(node);
    TOpen open;
    const TOpen* previous = context.Open.empty() ? nullptr : &context.Open.back();
    open.CharFormat = previous ? previous->CharFormat : context.BaseChar;
    HtmlStyle::ApplyCharStyle(element, open.CharFormat);
    open.InlineKey = context.Open.size() > context.BlockDepth ? previous->InlineKey : QString();
    AppendSerializedElement(open.InlineKey, element);
    open.Element = std::move(element);
    context.Open.push_back(std::move(open));
    VisitChildren(node);
    TContext& after = Context();
    if (after.Open.back().InBlockChain)
      PopBlock();
    else
      after.Open.pop_back();
  }

  void CloseBlock() {
    TContext& context = Context();
    FlushText();
    context.BlockOpen = false;
    context.PendingSpace = false;
    context.AtLineStart = true;
  }

  void EnsureBlock() {
    TContext& context = Context();
    if (context.BlockOpen)
      return;
    FlushText();
    QTextBlockFormat format = context.BlockDepth > 0
                                  ? context.Open[context.BlockDepth - 1].BlockFormat
                                  : context.BaseBlock;
    const QTextCharFormat charFormat =
        context.BlockDepth > 0 ? context.Open[context.BlockDepth - 1].CharFormat : context.BaseChar;
    if (context.BlockDepth > 0)
      format.setProperty(EngineProperty::BlockChain, context.Open[context.BlockDepth - 1].BlockKey);
    if (!context.Pending.empty())
      format.setProperty(KeptProperty::Leading, TakePending());
    TOpen* item = ListItem();
    if (item && item->ListItemJoined)
      format.setIndent(item->ListLevel);
    if (context.CursorBlockUnclaimed) {
      FCursor.setBlockFormat(format);
      // Elsewhere the block's char format is held by the table or cell mark
      // in front of it, and setting it would undo the cell's format.
      if (FCursor.block().position() == 0)
        FCursor.setBlockCharFormat(charFormat);
    } else {
      FCursor.insertBlock(format, charFormat);
    }
    if (item && !item->ListItemJoined)
      JoinList(*item);
    context.CursorBlockUnclaimed = false;
    context.BlockOpen = true;
    context.AtLineStart = true;
    context.PendingSpace = false;
    ++FProduced;
  }

  // The innermost li of the block chain, when the block is its first.
  TOpen* ListItem() {
    TContext& context = Context();
    for (std::size_t i = context.BlockDepth; i-- > 0;)
      if (context.Open[i].Element.Tag == u"li")
        return &context.Open[i];
    return nullptr;
  }

  void JoinList(TOpen& item) {
    item.ListItemJoined = true;
    TContext& context = Context();
    const TOpen* container = nullptr;
    for (std::size_t i = context.BlockDepth; i-- > 0;)
      if (HtmlVocabulary::IsListContainer(context.Open[i].Element.Tag)) {
        container = &context.Open[i];
        break;
      }
    if (!container)
      return;
    auto found = FLists.find(container->Element.Id);
    if (found != FLists.end()) {
      found.value()->add(FCursor.block());
      return;
    }
    QTextListFormat format;
    format.setIndent(std::max(1, container->ListLevel));
    format.setStyle(ListStyle(container->Element, container->ListLevel));
    FLists.insert(container->Element.Id, FCursor.createList(format));
  }

  static QTextListFormat::Style ListStyle(const TElementRef& list, int level) {
    const QString type = list.Attribute(u"type");
    if (list.Tag == u"ol") {
      if (type == u"a")
        return QTextListFormat::ListLowerAlpha;
      if (type == u"A")
        return QTextListFormat::ListUpperAlpha;
      if (type == u"i")
        return QTextListFormat::ListLowerRoman;
      if (type == u"I")
        return QTextListFormat::ListUpperRoman;
      return QTextListFormat::ListDecimal;
    }
    if (type.compare(u"circle", Qt::CaseInsensitive) == 0)
      return QTextListFormat::ListCircle;
    if (type.compare(u"square", Qt::CaseInsensitive) == 0)
      return QTextListFormat::ListSquare;
    if (type.compare(u"disc", Qt::CaseInsensitive) == 0)
      return QTextListFormat::ListDisc;
    return level <= 1 ? QTextListFormat::ListDisc
                      : (level == 2 ? QTextListFormat::ListCircle : QTextListFormat::ListSquare);
  }

  // Text waiting to be inserted with one format, so a text node costs one
  // insertion rather than one per character.
  void Append(QStringView text, const QTextCharFormat& format) {
    if (!FPendingText.isEmpty() && !(format == FPendingFormat))
      FlushText();
    if (FPendingText.isEmpty())
      FPendingFormat = format;
    FPendingText += text;
  }

  void FlushText() {
    if (FPendingText.isEmpty())
      return;
    FCursor.insertText(FPendingText, FPendingFormat);
    FPendingText.clear();
  }

  void AddText(const QString& text) {
    if (text.isEmpty())
      return;
    if (Preformatted())
      return AddPreformattedText(text);
    QString content;
    content.reserve(text.size());
    const QTextCharFormat format = TextFormat();
    for (const QChar c : text) {
      if (IsCollapsibleSpace(c)) {
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
      if (content.isEmpty()) {
        EnsureBlock();
        if (Context().PendingSpace)
          Append(u" ", Context().PendingSpaceFormat);
        Context().PendingSpace = false;
        Context().AtLineStart = false;
      }
      content += HtmlTextChar(c);
    }
    if (!content.isEmpty()) {
      EnsureBlock();
      Append(content, format);
    }
  }

  void AddPreformattedText(const QString& text) {
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

  void AddLineBreak(const TElementRef& element) {
    EnsureBlock();
    TContext& context = Context();
    context.PendingSpace = false;
    QTextCharFormat format = TextFormat();
    if (!element.Attributes.isEmpty()) {
      QString serialized;
      AppendSerializedElement(serialized, element);
      format.setProperty(EngineProperty::ObjectElement, serialized);
    }
    AddBreak(format);
    context.AtLineStart = !Preformatted();
  }

  // A line break starts a block of the same element (see LineStart); in a
  // list item a new block would be an item of its own, so the break stays a
  // line separator there.
  void AddBreak(const QTextCharFormat& format) {
    if (ListItem()) {
      Append(QStringView(&LineSeparator, 1), format);
      return;
    }
    FlushText();
    StartLineBlock(FCursor, format);
  }

  // An object in the text (a picture, a shown control) ends a run of white
  // space as a word would.
  void BeginInlineObject() {
    EnsureBlock();
    TContext& context = Context();
    if (context.PendingSpace)
      Append(u" ", context.PendingSpaceFormat);
    context.PendingSpace = false;
    context.AtLineStart = false;
  }

  void AddImage(const TElementRef& element) {
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
    QString serialized;
    AppendSerializedElement(serialized, element);
    format.setProperty(EngineProperty::ObjectElement, serialized);
    FCursor.insertText(QString(ObjectReplacement), format);
  }

  void KeepComment(const GumboNode* node) {
    if (FParsed.IsMarker(*node))
      return;
    KeepHidden(TKeptBodyNode{TKeptBodyNode::TKind::Comment, {}, CommentSource(node), 0});
  }

  // Shown like a picture: where it stands, text flows around it.
  static bool IsVisibleControl(const TElementRef& element) {
    if (element.Tag == u"input")
      return element.Attribute(u"type").compare(u"hidden", Qt::CaseInsensitive) != 0;
    return element.Tag == u"embed" || element.Tag == u"keygen";
  }

  void KeepVoidElement(TElementRef element) {
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
  void KeepHidden(TKeptBodyNode kept) {
    TContext& context = Context();
    if (context.BlockOpen)
      return InsertKeptNode(kept);
    kept.Depth = static_cast<int>(context.BlockDepth);
    context.Pending.push_back(std::move(kept));
  }

  void InsertKeptNode(const TKeptBodyNode& kept) {
    FlushText();
    QTextCharFormat format = TextFormat();
    format.setObjectType(KeptNodeObjectType);
    format.setProperty(KeptProperty::InlineNode, SerializeKeptNodes({kept}));
    FCursor.insertText(QString(ObjectReplacement), format);
  }

  // Pending nodes inside elements that have ended move out of them.
  void ClampPending() {
    TContext& context = Context();
    for (TKeptBodyNode& kept : context.Pending)
      kept.Depth = std::min(kept.Depth, static_cast<int>(context.BlockDepth));
  }

  QString TakePending() {
    ClampPending();
    const QString serialized = SerializeKeptNodes(Context().Pending);
    Context().Pending.clear();
    return serialized;
  }

  // Nodes no block followed: after the last block of the body or cell.
  void KeepPendingAtTheEnd() {
    if (Context().Pending.empty())
      return;
    FlushText();
    QTextBlockFormat format;
    format.setProperty(KeptProperty::Trailing, TakePending());
    FCursor.mergeBlockFormat(format);
  }

  void AddRule(TElementRef element) {
    if (const qsizetype ended = ElementToEnd(element.Tag); ended >= 0)
      return VisitOutside(ended, [&] { AddRule(std::move(element)); });
    CloseBlock();
    if (!RoomForElement())
      return;
    PushBlock(std::move(element));
    EnsureBlock();
    PopBlock();
  }

  struct TCellSlot {
    const GumboNode* Node = nullptr;
    TElementChain Chain; // row group, row, cell
    int Row = 0;
    int Column = 0;
    int RowSpan = 1;
    int ColumnSpan = 1;
    // Comments between the table's rows and cells, in front of this cell.
    std::vector<const GumboNode*> Comments;
  };

  // Reads the table into a grid; false when it cannot be shown as one.
  bool AddTable(const GumboNode* node, const TElementRef& table) {
    std::vector<const GumboNode*> captions;
    std::vector<std::pair<TElementRef, const GumboNode*>> rows; // row group, tr
    std::vector<std::vector<const GumboNode*>> rowComments;     // in front of each row
    std::vector<const GumboNode*> comments;
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
      const GumboNode* child = Child(children, i);
      if (child->type == GUMBO_NODE_COMMENT)
        comments.push_back(child);
      if (!IsElement(child))
        continue;
      const GumboTag tag = child->v.element.tag;
      if (tag == GUMBO_TAG_CAPTION) {
        captions.push_back(child);
      } else if (tag == GUMBO_TAG_THEAD || tag == GUMBO_TAG_TBODY || tag == GUMBO_TAG_TFOOT) {
        const TElementRef group{NewElementId(), GumboTagName(child->v.element),
                                GumboAttributes(child->v.element)};
        const GumboVector& groupRows = child->v.element.children;
        for (unsigned k = 0; k < groupRows.length; ++k) {
          const GumboNode* row = Child(groupRows, k);
          if (row->type == GUMBO_NODE_COMMENT)
            comments.push_back(row);
          if (IsElement(row) && row->v.element.tag == GUMBO_TAG_TR) {
            rows.emplace_back(group, row);
            rowComments.push_back(std::move(comments));
            comments.clear();
          }
        }
      } else if (tag == GUMBO_TAG_TR) {
        rows.emplace_back(TElementRef{}, child);
        rowComments.push_back(std::move(comments));
        comments.clear();
      }
    }
    std::vector<const GumboNode*> trailingComments = std::move(comments);
    comments.clear();
    std::vector<TCellSlot> cells;
    std::vector<std::vector<bool>> taken(rows.size());
    int columns = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const GumboNode* tr = rows[r].second;
      const TElementRef row{NewElementId(), QStringLiteral("tr"), GumboAttributes(tr->v.element)};
      int column = 0;
      bool rowHasCells = false;
      comments.insert(comments.end(), rowComments[r].begin(), rowComments[r].end());
      const GumboVector& trChildren = tr->v.element.children;
      for (unsigned k = 0; k < trChildren.length; ++k) {
        const GumboNode* cell = Child(trChildren, k);
        if (cell->type == GUMBO_NODE_COMMENT)
          comments.push_back(cell);
        if (!IsElement(cell) ||
            (cell->v.element.tag != GUMBO_TAG_TD && cell->v.element.tag != GUMBO_TAG_TH))
          continue;
        rowHasCells = true;
        TCellSlot slot;
        slot.Node = cell;
        slot.Comments = std::move(comments);
        comments.clear();
        TElementRef cellElement{NewElementId(), GumboTagName(cell->v.element),
                                GumboAttributes(cell->v.element)};
        slot.RowSpan = std::clamp(cellElement.Attribute(u"rowspan").toInt(), 1,
                                  static_cast<int>(rows.size() - r));
        slot.ColumnSpan = std::clamp(cellElement.Attribute(u"colspan").toInt(), 1, MaxSpan);
        while (column < static_cast<int>(taken[r].size()) &&
               taken[r][static_cast<std::size_t>(column)])
          ++column;
        slot.Row = static_cast<int>(r);
        slot.Column = column;
        for (int dr = 0; dr < slot.RowSpan; ++dr) {
          auto& line = taken[r + static_cast<std::size_t>(dr)];
          if (line.size() < static_cast<std::size_t>(column + slot.ColumnSpan))
            line.resize(static_cast<std::size_t>(column + slot.ColumnSpan), false);
          for (int dc = 0; dc < slot.ColumnSpan; ++dc)
            line[static_cast<std::size_t>(column + dc)] = true;
        }
        column += slot.ColumnSpan;
        columns = std::max(columns, column);
        if (rows[r].first.Id != 0)
          slot.Chain.append(rows[r].first);
        slot.Chain.append(row);
        slot.Chain.append(std::move(cellElement));
        cells.push_back(std::move(slot));
        if (static_cast<qsizetype>(cells.size()) > MaxTableCells)
          return false;
      }
      if (rows.size() * static_cast<std::size_t>(std::max(columns, 1)) >
          static_cast<std::size_t>(MaxTableCells))
        return false;
      // Rows without a cell of their own still get their chain from here.
      if (!rowHasCells) {
        TCellSlot slot;
        if (rows[r].first.Id != 0)
          slot.Chain.append(rows[r].first);
        slot.Chain.append(row);
        slot.Row = static_cast<int>(r);
        slot.Column = -1;
        cells.push_back(std::move(slot));
      }
    }
    if (rows.empty() || columns == 0)
      return false;
    comments.insert(comments.end(), trailingComments.begin(), trailingComments.end());

    CloseBlock();
    PromoteInline();
    TContext& context = Context();
    const QString outerKey =
        context.BlockDepth > 0 ? context.Open[context.BlockDepth - 1].BlockKey : QString();
    if (!captions.empty() && RoomForElement()) {
      PushBlock(table);
      for (const GumboNode* caption : captions)
        VisitBlock(caption, TElementRef{NewElementId(), QStringLiteral("caption"),
                                        GumboAttributes(caption->v.element)});
      PopBlock();
    }
    FlushText();
    if (!Context().CursorBlockUnclaimed)
      FCursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    QTextTableFormat format;
    ApplyTableAttributes(table, format);
    // What a caption did not take goes in front of the table.
    if (!Context().Pending.empty())
      format.setProperty(KeptProperty::Leading, TakePending());
    QString tableKey;
    AppendSerializedElement(tableKey, table);
    format.setProperty(EngineProperty::TableElement, tableKey);
    format.setProperty(EngineProperty::TableOuterChain, outerKey);
    QTextTable* grid = FCursor.insertTable(static_cast<int>(rows.size()), columns, format);
    ++FProduced;

    // Slots no cell covers (short rows) get a cell of their own.
    std::vector<std::vector<bool>> covered(rows.size(),
                                           std::vector<bool>(static_cast<std::size_t>(columns)));
    std::vector<TElementChain> rowChains(rows.size());
    for (const TCellSlot& slot : cells) {
      TElementChain rowChain = slot.Chain;
      if (slot.Column >= 0)
        rowChain.removeLast();
      rowChains[static_cast<std::size_t>(slot.Row)] = rowChain;
      if (slot.Column < 0)
        continue;
      for (int dr = 0; dr < slot.RowSpan; ++dr)
        for (int dc = 0; dc < slot.ColumnSpan; ++dc)
          covered[static_cast<std::size_t>(slot.Row + dr)]
                 [static_cast<std::size_t>(slot.Column + dc)] = true;
      SetCellFormat(grid->cellAt(slot.Row, slot.Column), slot.Chain);
    }
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (int c = 0; c < columns; ++c)
        if (!covered[r][static_cast<std::size_t>(c)]) {
          TElementChain chain = rowChains[r];
          chain.append(TElementRef{NewElementId(), QStringLiteral("td"), {}});
          SetCellFormat(grid->cellAt(static_cast<int>(r), c), chain);
        }
    // Setting a cell's format drops its span, so cells merge last.
    for (const TCellSlot& slot : cells)
      if (slot.Column >= 0 && (slot.RowSpan > 1 || slot.ColumnSpan > 1))
        grid->mergeCells(slot.Row, slot.Column, slot.RowSpan, slot.ColumnSpan);

    const int tableDepth = Context().TableDepth + 1;
    for (const TCellSlot& slot : cells) {
      if (slot.Column < 0)
        continue;
      const QTextTableCell cell = grid->cellAt(slot.Row, slot.Column);
      FCursor = cell.firstCursorPosition();
      TContext cellContext;
      cellContext.TableDepth = tableDepth;
      HtmlStyle::ApplyCharStyle(slot.Chain.last(), cellContext.BaseChar);
      HtmlStyle::ApplyBlockStyle(slot.Chain.last(), cellContext.BaseBlock);
      FContexts.push_back(std::move(cellContext));
      FCursor.setBlockFormat(Context().BaseBlock);
      for (const GumboNode* comment : slot.Comments)
        KeepComment(comment);
      VisitChildren(slot.Node);
      CloseBlock();
      KeepPendingAtTheEnd();
      FContexts.pop_back();
    }
    FCursor.setPosition(grid->lastPosition() + 1);
    Context().CursorBlockUnclaimed = true;
    Context().BlockOpen = false;
    Context().AtLineStart = true;
    Context().PendingSpace = false;
    for (const GumboNode* comment : comments)
      KeepComment(comment);
    return true;
  }

  static void SetCellFormat(QTextTableCell cell, const TElementChain& chain) {
    QTextTableCellFormat format = cell.format().toTableCellFormat();
    format.setProperty(EngineProperty::CellChain, SerializeChain(chain));
    const TElementRef& element = chain.last();
    QColor background = HtmlStyle::ParseColor(element.Attribute(u"bgcolor"));
    const QString styleBackground =
        HtmlStyle::StyleProperty(element.Attribute(u"style"), u"background-color");
    if (!styleBackground.isEmpty())
      background = HtmlStyle::ParseColor(styleBackground);
    if (background.isValid())
      format.setBackground(background);
    cell.setFormat(format);
  }

  static void ApplyTableAttributes(const TElementRef& table, QTextTableFormat& format) {
    bool ok = false;
    const double border = table.Attribute(u"border").toDouble(&ok);
    format.setBorder(ok ? std::clamp(border, 0.0, 20.0) : (table.HasAttribute(u"border") ? 1 : 0));
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    const double padding = table.Attribute(u"cellpadding").toDouble(&ok);
    format.setCellPadding(ok ? std::clamp(padding, 0.0, 100.0) : 1);
    const double spacing = table.Attribute(u"cellspacing").toDouble(&ok);
    format.setCellSpacing(ok ? std::clamp(spacing, 0.0, 100.0) : 2);
    const QString width = table.Attribute(u"width").trimmed();
    if (width.endsWith(u'%')) {
      const double percent = width.chopped(1).toDouble(&ok);
      if (ok && percent > 0 && percent <= 100)
        format.setWidth(QTextLength(QTextLength::PercentageLength, percent));
    } else if (const double pixels = width.toDouble(&ok); ok && pixels > 0 && pixels < 10000) {
      format.setWidth(QTextLength(QTextLength::FixedLength, pixels));
    }
    const QString align = table.Attribute(u"align");
    if (align.compare(u"center", Qt::CaseInsensitive) == 0)
      format.setAlignment(Qt::AlignHCenter);
    else if (align.compare(u"right", Qt::CaseInsensitive) == 0)
      format.setAlignment(Qt::AlignRight);
    const QColor background = HtmlStyle::ParseColor(table.Attribute(u"bgcolor"));
    if (background.isValid())
      format.setBackground(background);
  }

  TEngineDocument& FDocument;
  const TGumboDocument& FParsed;
  QTextCursor FCursor;
  std::vector<TContext> FContexts;
  QHash<quint64, QTextList*> FLists;
  int FProduced = 0;
  QString FPendingText;
  QTextCharFormat FPendingFormat;
};

} // namespace

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
