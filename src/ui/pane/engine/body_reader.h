#pragma once

#include "ui/pane/engine/element_chain.h"
#include "ui/pane/engine/engine_document.h"
#include "ui/pane/engine/gumbo_document.h"
#include "ui/pane/engine/kept_nodes.h"

#include <QHash>
#include <QTextCursor>
#include <QTextList>
#include <QTextTableCell>
#include <optional>
#include <vector>

// The reader that builds a parsed document's body into the text document,
// shared by the files that hold its parts (the reader's own header, not
// for use outside them): html_reader.cpp walks the nodes, body_blocks.cpp
// keeps the chains of open elements and the blocks, body_text.cpp inserts
// text, breaks, pictures and kept nodes, table_reader.cpp reads tables.

// Chains longer than this stop growing: deeper elements still show their
// text but are not written back.
constexpr std::size_t MaxChainDepth = 200;

class THtmlReader {
public:
  // A pasted document comes from another program: it loses what would run
  // code where the saved page is opened (see SafeAttributes).
  THtmlReader(TEngineDocument& document, const TGumboDocument& parsed, bool pasted = false)
      : FDocument(document), FParsed(parsed), FCursor(&document), FPasted(pasted) {
    FContexts.emplace_back();
  }

  void Read();

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

  QTextCharFormat TextFormat() {
    TContext& context = Context();
    QTextCharFormat format =
        context.Open.empty() ? context.BaseChar : context.Open.back().CharFormat;
    if (context.Open.size() > context.BlockDepth)
      format.setProperty(EngineProperty::InlineChain, context.Open.back().InlineKey);
    return format;
  }

  bool Preformatted() {
    TContext& context = Context();
    return context.BlockDepth > 0 && context.Open[context.BlockDepth - 1].Preformatted;
  }

  bool RoomForElement() { return Context().Open.size() < MaxChainDepth; }

  // Walking the nodes (html_reader.cpp).
  QList<TDomAttribute> Attributes(const GumboElement& element) const;
  std::optional<QString> RawContent(const GumboNode* node) const;
  void VisitChildren(const GumboNode* node);
  void Visit(const GumboNode* node);
  void VisitElement(const GumboNode* node);

  // Open elements and blocks (body_blocks.cpp).
  void PushBlock(TElementRef element);
  void PopBlock();
  void PromoteInline();
  qsizetype ParagraphToEnd(QStringView tag);
  qsizetype ItemToEnd(QStringView tag);
  qsizetype ElementToEnd(QStringView tag);
  template <typename TVisit> void VisitOutside(qsizetype cutAt, TVisit visit);
  void VisitBlock(const GumboNode* node, TElementRef element);
  void VisitInline(const GumboNode* node, TElementRef element);
  void CloseBlock();
  void EnsureBlock();
  TOpen* ListItem();
  void JoinList(TOpen& item);
  void AddRule(TElementRef element);

  // Text, breaks, objects and kept nodes (body_text.cpp).
  void Append(QStringView text, const QTextCharFormat& format);
  void FlushText();
  void AddText(const QString& text);
  void AddPreformattedText(const QString& text);
  void AddLineBreak(const TElementRef& element);
  void AddBreak(const QTextCharFormat& format);
  void BeginInlineObject();
  void AddImage(const TElementRef& element);
  void KeepComment(const GumboNode* node);
  // Comments between table rows, kept on the first cell of the row after.
  void KeepRowComments(QTextTableCell cell, const std::vector<const GumboNode*>& comments);
  void KeepVoidElement(TElementRef element);
  void KeepHidden(TKeptBodyNode kept);
  void InsertKeptNode(const TKeptBodyNode& kept);
  void ClampPending();
  QString TakePending();
  void KeepPendingAtTheEnd();

  // Tables (table_reader.cpp).
  bool AddTable(const GumboNode* node, const TElementRef& table);

  TEngineDocument& FDocument;
  const TGumboDocument& FParsed;
  QTextCursor FCursor;
  bool FPasted = false;
  std::vector<TContext> FContexts;
  QHash<quint64, QTextList*> FLists;
  int FProduced = 0;
  QString FPendingText;
  QTextCharFormat FPendingFormat;
};
