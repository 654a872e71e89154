#include "ui/pane/engine/body_reader.h"

#include "ui/pane/engine/html_style.h"

#include <QStringList>
#include <QTextListFormat>
#include <algorithm>

namespace {

// Elements whose start tag ends an open paragraph when the source is read.
bool ClosesParagraph(QStringView tag) {
  static const QStringList tags{
      "address", "article", "aside",  "blockquote", "center",   "details",    "dialog", "dir",
      "div",     "dl",      "dd",     "dt",         "fieldset", "figcaption", "figure", "footer",
      "form",    "h1",      "h2",     "h3",         "h4",       "h5",         "h6",     "header",
      "hgroup",  "hr",      "li",     "listing",    "main",     "menu",       "nav",    "ol",
      "p",       "pre",     "search", "section",    "summary",  "ul"};
  return tags.contains(tag);
}

bool IsSpecial(QStringView tag) {
  static const QStringList tags{
      "address",    "applet",  "article", "aside",  "blockquote", "body",     "button", "caption",
      "center",     "dd",      "details", "dir",    "div",        "dl",       "dt",     "fieldset",
      "figcaption", "figure",  "footer",  "form",   "h1",         "h2",       "h3",     "h4",
      "h5",         "h6",      "header",  "hgroup", "li",         "listing",  "main",   "marquee",
      "menu",       "nav",     "object",  "ol",     "p",          "pre",      "search", "section",
      "select",     "summary", "table",   "tbody",  "td",         "textarea", "tfoot",  "th",
      "thead",      "tr",      "ul",      "xmp"};
  return tags.contains(tag);
}

QTextListFormat::Style ListStyle(const TElementRef& list, int level) {
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

} // namespace

void THtmlReader::PushBlock(TElementRef element) {
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
  open.Preformatted = (previous && previous->Preformatted) || HtmlStyle::KeepsBlanks(element);
  open.ListLevel =
      (previous ? previous->ListLevel : 0) + (HtmlVocabulary::IsListContainer(element.Tag) ? 1 : 0);
  open.InBlockChain = true;
  open.Element = std::move(element);
  context.Open.push_back(std::move(open));
  context.BlockDepth = context.Open.size();
}

void THtmlReader::PopBlock() {
  TContext& context = Context();
  CloseBlock();
  context.Open.pop_back();
  context.BlockDepth = context.Open.size();
  ClampPending();
}

// Inline elements around a block become part of the block chain, as the
// parser made the block their child.
void THtmlReader::PromoteInline() {
  TContext& context = Context();
  for (std::size_t i = context.BlockDepth; i < context.Open.size(); ++i) {
    TOpen& open = context.Open[i];
    const TOpen* previous = i > 0 ? &context.Open[i - 1] : nullptr;
    open.BlockFormat = previous ? previous->BlockFormat : context.BaseBlock;
    HtmlStyle::ApplyBlockStyle(open.Element, open.BlockFormat);
    open.BlockKey = previous ? previous->BlockKey : QString();
    AppendSerializedElement(open.BlockKey, open.Element);
    // A style that keeps blanks is inherited by the blocks inside.
    open.Preformatted =
        (previous && previous->Preformatted) || HtmlStyle::KeepsBlanks(open.Element);
    open.ListLevel = previous ? previous->ListLevel : 0;
    open.InBlockChain = true;
  }
  context.BlockDepth = context.Open.size();
}

// Where the open paragraph starts in the chain when the block's start tag
// would end it; -1 when there is none to end.
qsizetype THtmlReader::ParagraphToEnd(QStringView tag) {
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
qsizetype THtmlReader::ItemToEnd(QStringView tag) {
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

// The outermost open element a start tag of `tag` ends, or -1.
qsizetype THtmlReader::ElementToEnd(QStringView tag) {
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
template <typename TVisit> void THtmlReader::VisitOutside(qsizetype cutAt, TVisit visit) {
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

void THtmlReader::VisitBlock(const GumboNode* node, TElementRef element) {
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

void THtmlReader::VisitInline(const GumboNode* node, TElementRef element) {
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

void THtmlReader::CloseBlock() {
  TContext& context = Context();
  FlushText();
  context.BlockOpen = false;
  context.PendingSpace = false;
  context.AtLineStart = true;
}

void THtmlReader::EnsureBlock() {
  TContext& context = Context();
  if (context.BlockOpen)
    return;
  FlushText();
  const TOpen* block = context.BlockDepth > 0 ? &context.Open[context.BlockDepth - 1] : nullptr;
  QTextBlockFormat format = block ? block->BlockFormat : context.BaseBlock;
  const QTextCharFormat charFormat = block ? block->CharFormat : context.BaseChar;
  if (block)
    format.setProperty(EngineProperty::BlockChain, block->BlockKey);
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
THtmlReader::TOpen* THtmlReader::ListItem() {
  TContext& context = Context();
  for (std::size_t i = context.BlockDepth; i-- > 0;)
    if (context.Open[i].Element.Tag == u"li")
      return &context.Open[i];
  return nullptr;
}

void THtmlReader::JoinList(TOpen& item) {
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

void THtmlReader::AddRule(TElementRef element) {
  if (const qsizetype ended = ElementToEnd(element.Tag); ended >= 0)
    return VisitOutside(ended, [&] { AddRule(std::move(element)); });
  CloseBlock();
  if (!RoomForElement())
    return;
  PushBlock(std::move(element));
  EnsureBlock();
  PopBlock();
}
