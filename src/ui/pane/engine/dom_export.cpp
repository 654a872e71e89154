#include "ui/pane/engine/dom_export.h"

#include "ui/pane/engine/element_chain.h"
#include "ui/pane/engine/html_style.h"
#include "ui/pane/engine/kept_nodes.h"
#include "ui/pane/engine/run_elements.h"

#include <QHash>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <vector>

namespace {

constexpr QChar LineSeparator = QChar::LineSeparator;
constexpr QChar ObjectReplacement = QChar::ObjectReplacementCharacter;
constexpr QChar NoBreakSpace = QChar::Nbsp;

TDomNode* AddElement(TDomDocument& dom, TDomNode* parent, const TElementRef& element) {
  TDomNode* node = dom.NewElement(element.Tag, parent);
  node->Attributes = element.Attributes;
  return node;
}

void AddKeptNode(TDomDocument& dom, TDomNode* parent, const TKeptNode& kept) {
  TDomNode* node = dom.NewChild(kept.Kind, parent);
  node->TagName = kept.TagName;
  node->Attributes = kept.Attributes;
  node->Data = kept.Data;
  node->HasRawContent = kept.HasRawContent;
  node->RawContent = kept.RawContent;
  for (const TKeptNode& child : kept.Children)
    AddKeptNode(dom, node, child);
}

void AddKeptBodyNode(TDomDocument& dom, TDomNode* parent, const TKeptBodyNode& kept) {
  if (kept.Kind == TKeptBodyNode::TKind::Comment) {
    dom.NewChild(TDomNode::TKind::Comment, parent)->Data = kept.Data;
    return;
  }
  TDomNode* node = AddElement(dom, parent, kept.Element);
  if (kept.Kind == TKeptBodyNode::TKind::RawElement) {
    node->HasRawContent = true;
    node->RawContent = kept.Data;
  }
}

void AppendText(TDomDocument& dom, TDomNode* parent, QStringView text) {
  if (text.isEmpty())
    return;
  if (!parent->Children.isEmpty() && parent->Children.last()->Kind == TDomNode::TKind::Text)
    parent->Children.last()->Data += text;
  else
    dom.NewText(text.toString(), parent);
}

// A run's format in one kind of block: the run's chain only depends on these.
struct TRunKey {
  int FormatIndex = 0;
  QString BlockStyleKey;
  bool operator==(const TRunKey& other) const {
    return FormatIndex == other.FormatIndex && BlockStyleKey == other.BlockStyleKey;
  }
};

size_t qHash(const TRunKey& key, size_t seed = 0) {
  return qHashMulti(seed, key.FormatIndex, key.BlockStyleKey);
}

// Open elements of one level (a block's chain or a run's inline chain),
// each with the node it was written as.
struct TOpenElement {
  TElementRef Element;
  TDomNode* Node = nullptr;
};

class TDomExporter {
public:
  TDomExporter(const TEngineDocument& document, TDomDocument& dom, const QString& defaultBlockTag)
      : FDocument(document), FDom(dom), FDefaultBlockTag(defaultBlockTag) {}

  void Export() {
    const TDocumentFrame& frame = FDocument.Frame();
    TDomNode* html = FDom.NewElement(QStringLiteral("html"), FDom.Root());
    html->Attributes = frame.HtmlAttributes;
    TDomNode* head = FDom.NewElement(QStringLiteral("head"), html);
    head->Attributes = frame.HeadAttributes;
    for (const TKeptNode& kept : frame.Head)
      AddKeptNode(FDom, head, kept);
    TDomNode* body = FDom.NewElement(QStringLiteral("body"), html);
    body->Attributes = frame.BodyAttributes;
    TScope scope;
    scope.Base = body;
    ExportFrame(FDocument.rootFrame()->begin(), FDocument.rootFrame()->end(), scope);
    Sync(scope.Open, scope.Base, {});
  }

private:
  // The body, or a table cell.
  struct TScope {
    TDomNode* Base = nullptr;
    std::vector<TOpenElement> Open;
    QTextCharFormat BaseChar;
    bool PreviousWasBlock = false;
    QString PreviousBlockKey;
    // The element the last block's text went into and its open inline
    // elements, which the blocks of its line group continue.
    TDomNode* LineContainer = nullptr;
    std::vector<TOpenElement> InlineOpen;
  };

  const TElementChain& Chain(const QString& key) {
    auto found = FChains.constFind(key);
    if (found == FChains.constEnd())
      found = FChains.insert(key, ParseChain(key));
    return found.value();
  }

  // Closes what the new chain does not share with the open one and opens
  // the rest. An element closed once and met again (text the pane split or
  // moved) is written as a new element with the same tag and attributes.
  void Sync(std::vector<TOpenElement>& open, TDomNode* base, const TElementChain& chain) {
    std::size_t common = 0;
    while (common < open.size() && common < static_cast<std::size_t>(chain.size()) &&
           SameElement(open[common].Element, chain[static_cast<qsizetype>(common)]))
      ++common;
    while (open.size() > common)
      open.pop_back();
    for (qsizetype i = static_cast<qsizetype>(common); i < chain.size(); ++i) {
      open.push_back(TOpenElement{chain[i], AddElement(FDom, Innermost(open, base), chain[i])});
    }
  }

  static TDomNode* Innermost(const std::vector<TOpenElement>& open, TDomNode* base) {
    return open.empty() ? base : open.back().Node;
  }

  void ExportFrame(QTextFrame::iterator it, const QTextFrame::iterator& end, TScope& scope) {
    for (; it != end && !it.atEnd(); ++it) {
      if (QTextFrame* child = it.currentFrame()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
          ExportTable(*table, scope);
        else
          ExportFrame(child->begin(), child->end(), scope);
      } else if (it.currentBlock().isValid()) {
        ExportBlock(it.currentBlock(), scope);
      }
    }
  }

  // Kept nodes each written inside the first elements of the chain they
  // name; the chain's other elements open after them.
  void AddKeptNodes(TScope& scope, const TElementChain& chain, const QString& serialized) {
    if (serialized.isEmpty())
      return;
    scope.InlineOpen.clear();
    for (const TKeptBodyNode& kept : ParseKeptNodes(serialized)) {
      Sync(scope.Open, scope.Base, chain.first(std::min<qsizetype>(kept.Depth, chain.size())));
      AddKeptBodyNode(FDom, Innermost(scope.Open, scope.Base), kept);
    }
  }

  void ExportBlock(const QTextBlock& block, TScope& scope) {
    const QTextBlockFormat blockFormat = block.blockFormat();
    if (IsLineStart(blockFormat) && scope.PreviousWasBlock && scope.LineContainer) {
      // The break and the line after it, in the element of the line before.
      const QString key = scope.PreviousBlockKey;
      AppendRun(scope, scope.LineContainer, BlockStyle(scope, key), key, block.charFormat(),
                block.charFormatIndex(), QStringView(&LineSeparator, 1));
      ExportRuns(block, scope.LineContainer, key, scope);
      AddTrailingKeptNodes(scope, Chain(key), blockFormat);
      return;
    }
    scope.InlineOpen.clear();
    QString key = blockFormat.stringProperty(EngineProperty::BlockChain);
    const bool empty = block.length() == 1;
    if (empty && key.isEmpty() && IsStructuralFiller(block)) {
      AddKeptNodes(scope, {}, blockFormat.stringProperty(KeptProperty::Leading));
      AddTrailingKeptNodes(scope, {}, blockFormat);
      return;
    }
    TElementChain chain = Chain(key);
    if (scope.PreviousWasBlock && key == scope.PreviousBlockKey) {
      if (!chain.isEmpty()) {
        // A paragraph split in the pane: the second half is a new element.
        if (!scope.Open.empty() && scope.Open.size() == static_cast<std::size_t>(chain.size()) &&
            SameElement(scope.Open.back().Element, chain.last()))
          scope.Open.pop_back();
      } else {
        chain.append(TElementRef{NewElementId(), FDefaultBlockTag, {}});
      }
    }
    // Text the pane made (typed, pasted as text, a text file) has no element
    // to hold it; when the reader would collapse its blanks or tabs, it
    // goes into a block that shows them as they are.
    if (key.isEmpty() && LineGroupNeedsKeptBlanks(block)) {
      if (chain.isEmpty())
        chain.append(TElementRef{NewElementId(), FDefaultBlockTag, {}});
      chain.last().SetAttribute(QStringLiteral("style"), QStringLiteral("white-space: pre-wrap"));
      key = SerializeChain(chain);
    }
    scope.PreviousWasBlock = true;
    scope.PreviousBlockKey = key;
    AddKeptNodes(scope, chain, blockFormat.stringProperty(KeptProperty::Leading));
    Sync(scope.Open, scope.Base, chain);
    if (!chain.isEmpty() && HtmlVocabulary::IsVoid(chain.last().Tag))
      scope.Open.pop_back();
    TDomNode* container = Innermost(scope.Open, scope.Base);
    scope.LineContainer = container;
    ExportRuns(block, container, key, scope);
    AddTrailingKeptNodes(scope, chain, blockFormat);
  }

  // What ends a body or cell after its last line; no line continues the
  // elements it closes.
  void AddTrailingKeptNodes(TScope& scope, const TElementChain& chain,
                            const QTextBlockFormat& format) {
    const QString trailing = format.stringProperty(KeptProperty::Trailing);
    if (trailing.isEmpty())
      return;
    AddKeptNodes(scope, chain, trailing);
    scope.LineContainer = nullptr;
  }

  void ExportTable(QTextTable& table, TScope& scope) {
    const QTextTableFormat format = table.format();
    TElementChain chain = Chain(format.stringProperty(EngineProperty::TableOuterChain));
    TElementChain tableChain = Chain(format.stringProperty(EngineProperty::TableElement));
    chain.append(tableChain.isEmpty()
                     ? TElementRef{NewElementId(),
                                   QStringLiteral("table"),
                                   {MadeAttribute(QStringLiteral("border"), QStringLiteral("1"))}}
                     : tableChain.first());
    AddKeptNodes(scope, chain.first(chain.size() - 1),
                 format.stringProperty(KeptProperty::Leading));
    Sync(scope.Open, scope.Base, chain);
    TDomNode* tableNode = scope.Open.back().Node;
    TOpenElement group;
    for (int row = 0; row < table.rows(); ++row) {
      TElementChain rowChain;
      QString beforeRow;
      for (int column = 0; column < table.columns() && rowChain.isEmpty(); ++column) {
        const QTextTableCell cell = table.cellAt(row, column);
        if (cell.row() == row) {
          rowChain = Chain(cell.format().stringProperty(EngineProperty::CellChain));
          beforeRow = cell.format().stringProperty(KeptProperty::BeforeRow);
        }
      }
      if (rowChain.size() >= 2)
        rowChain.removeLast();
      const TElementRef rowElement =
          rowChain.isEmpty() ? MadeElement(QStringLiteral("tr")) : rowChain.last();
      // A row whose slots all belong to cells from above stays in the group.
      const TElementRef groupElement =
          rowChain.size() >= 2
              ? rowChain.first()
              : (group.Node && rowChain.isEmpty() ? group.Element
                                                  : MadeElement(QStringLiteral("tbody")));
      if (!group.Node || !SameElement(group.Element, groupElement))
        group = TOpenElement{groupElement, AddElement(FDom, tableNode, groupElement)};
      for (const TKeptBodyNode& kept : ParseKeptNodes(beforeRow))
        AddKeptBodyNode(FDom, group.Node, kept);
      TDomNode* rowNode = AddElement(FDom, group.Node, rowElement);
      for (int column = 0; column < table.columns(); ++column) {
        const QTextTableCell cell = table.cellAt(row, column);
        if (cell.row() != row || cell.column() != column)
          continue;
        const TElementChain cellChain =
            Chain(cell.format().stringProperty(EngineProperty::CellChain));
        TElementRef cellElement =
            !cellChain.isEmpty() && (cellChain.last().Tag == u"td" || cellChain.last().Tag == u"th")
                ? cellChain.last()
                : MadeElement(QStringLiteral("td"));
        SetSpan(cellElement, QStringLiteral("rowspan"), cell.rowSpan());
        SetSpan(cellElement, QStringLiteral("colspan"), cell.columnSpan());
        TScope cellScope;
        cellScope.Base = AddElement(FDom, rowNode, cellElement);
        HtmlStyle::ApplyCharStyle(cellElement, cellScope.BaseChar);
        ExportFrame(cell.begin(), cell.end(), cellScope);
        Sync(cellScope.Open, cellScope.Base, {});
      }
    }
    chain.removeLast();
    Sync(scope.Open, scope.Base, chain);
    scope.PreviousWasBlock = false;
    scope.LineContainer = nullptr;
    scope.InlineOpen.clear();
  }

  static void SetSpan(TElementRef& cell, const QString& name, int span) {
    if (span > 1)
      cell.SetAttribute(name, QString::number(span));
    else if (cell.HasAttribute(name) && cell.Attribute(name).toInt() > 1)
      cell.RemoveAttribute(name);
  }

  static bool CollapsesBlanks(const QString& text) {
    return text.contains(u'\t') || text.contains(QStringLiteral("  ")) || text.startsWith(u' ') ||
           text.endsWith(u' ');
  }

  // The block and the lines that continue it.
  static bool LineGroupNeedsKeptBlanks(const QTextBlock& first) {
    for (QTextBlock block = first;
         block.isValid() && (block == first || IsLineStart(block.blockFormat()));
         block = block.next()) {
      if (CollapsesBlanks(block.text()))
        return true;
    }
    return false;
  }

  // Blanks the reader would collapse become no-break spaces, so the text
  // reads back as it shows: a blank at the start or end of a line, or after
  // another blank. Tabs show as blanks outside preformatted text.
  static QString KeepBlanks(const QString& text) {
    QString out = text;
    out.replace(u'\t', u' ');
    for (qsizetype i = 0; i < out.size(); ++i) {
      if (out[i] != u' ')
        continue;
      const bool lineStart = i == 0 || text[i - 1] == LineSeparator;
      const bool afterBlank = i > 0 && (text[i - 1] == u' ' || text[i - 1] == u'\t');
      const bool lineEnd = i + 1 == out.size() || text[i + 1] == LineSeparator;
      if (lineStart || afterBlank || lineEnd)
        out[i] = NoBreakSpace;
    }
    return out;
  }

  struct TBlockStyle {
    QTextCharFormat Base;
    bool Preformatted = false;
  };

  const TBlockStyle& BlockStyle(const TScope& scope, const QString& blockKey) {
    const QString key = QString::number(quintptr(scope.Base)) + u'|' + blockKey;
    auto found = FBlockStyles.constFind(key);
    if (found != FBlockStyles.constEnd())
      return found.value();
    TBlockStyle style;
    style.Base = scope.BaseChar;
    for (const TElementRef& element : Chain(blockKey)) {
      HtmlStyle::ApplyCharStyle(element, style.Base);
      style.Preformatted = style.Preformatted || HtmlStyle::KeepsBlanks(element);
    }
    return FBlockStyles.insert(key, style).value();
  }

  void ExportRuns(const QTextBlock& block, TDomNode* container, const QString& blockKey,
                  TScope& scope) {
    if (block.length() <= 1)
      return;
    const TBlockStyle& style = BlockStyle(scope, blockKey);
    const QString shown = style.Preformatted ? block.text() : KeepBlanks(block.text());
    const int blockStart = block.position();
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid())
        continue;
      AppendRun(scope, container, style, blockKey, fragment.charFormat(),
                fragment.charFormatIndex(),
                QStringView(shown).mid(fragment.position() - blockStart, fragment.length()));
    }
  }

  // Text of one format, its line separators and images as elements.
  void AppendRun(TScope& scope, TDomNode* container, const TBlockStyle& style,
                 const QString& blockKey, const QTextCharFormat& format, int formatIndex,
                 QStringView text) {
    const TRunKey runKey{formatIndex, QString::number(quintptr(scope.Base)) + u'|' + blockKey};
    auto cached = FRunChains.constFind(runKey);
    if (cached == FRunChains.constEnd())
      cached = FRunChains.insert(
          runKey, RunElements(Chain(format.stringProperty(EngineProperty::InlineChain)), format,
                              style.Base));
    Sync(scope.InlineOpen, container, cached.value());
    TDomNode* parent = Innermost(scope.InlineOpen, container);
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar c = text[i];
      const bool object = c == ObjectReplacement && (format.isImageFormat() || IsKeptNode(format));
      if (c != LineSeparator && !object)
        continue;
      AppendText(FDom, parent, text.mid(start, i - start));
      start = i + 1;
      if (object)
        AddObject(parent, format);
      else if (style.Preformatted && format.boolProperty(EngineProperty::TextNewline))
        AppendText(FDom, parent, u"\n");
      else
        AddLineBreak(parent, format);
    }
    AppendText(FDom, parent, text.mid(start));
  }

  void AddLineBreak(TDomNode* parent, const QTextCharFormat& format) {
    const TElementChain stored = Chain(format.stringProperty(EngineProperty::ObjectElement));
    if (!stored.isEmpty() && stored.first().Tag == u"br")
      AddElement(FDom, parent, stored.first());
    else
      FDom.NewElement(QStringLiteral("br"), parent);
  }

  void AddObject(TDomNode* parent, const QTextCharFormat& format) {
    if (IsKeptNode(format)) {
      const std::vector<TKeptBodyNode> kept =
          ParseKeptNodes(format.stringProperty(KeptProperty::InlineNode));
      if (!kept.empty())
        AddKeptBodyNode(FDom, parent, kept.front());
      return;
    }
    const TElementChain stored = Chain(format.stringProperty(EngineProperty::ObjectElement));
    if (!stored.isEmpty() && stored.first().Tag == u"img") {
      AddElement(FDom, parent, stored.first());
      return;
    }
    const QTextImageFormat image = format.toImageFormat();
    TElementRef element =
        MadeElement(QStringLiteral("img"), {MadeAttribute(QStringLiteral("src"), image.name())});
    if (image.width() > 0)
      element.SetAttribute(QStringLiteral("width"), QString::number(image.width()));
    if (image.height() > 0)
      element.SetAttribute(QStringLiteral("height"), QString::number(image.height()));
    AddElement(FDom, parent, element);
  }

  const TEngineDocument& FDocument;
  TDomDocument& FDom;
  QString FDefaultBlockTag;
  QHash<QString, TElementChain> FChains;
  QHash<QString, TBlockStyle> FBlockStyles;
  QHash<TRunKey, TElementChain> FRunChains;
};

} // namespace

std::unique_ptr<TDomDocument> BuildDomDocument(const TEngineDocument& document,
                                               const QString& defaultBlockTag) {
  auto dom = std::make_unique<TDomDocument>();
  TDomExporter(document, *dom, defaultBlockTag).Export();
  return dom;
}
