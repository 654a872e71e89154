#include "ui/pane/engine/body_reader.h"

#include "ui/pane/engine/html_style.h"
#include "ui/pane/engine/table_grid.h"

#include <QTextTable>
#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace {

// A cell as the table's markup lists it.
struct TListedCell {
  const GumboNode* Node = nullptr;
  // Comments between the table's rows and cells, in front of this cell.
  std::vector<const GumboNode*> Comments;
  // Comments between this cell's row and the one before, written there.
  std::vector<const GumboNode*> RowComments;
};

struct TCellSlot {
  const GumboNode* Node = nullptr;
  TElementChain Chain; // row group, row, cell
  TPlacedCell Place;
  std::vector<const GumboNode*> Comments;
  std::vector<const GumboNode*> RowComments;
};

bool IsCell(const GumboNode* node) {
  return IsElement(node) &&
         (node->v.element.tag == GUMBO_TAG_TD || node->v.element.tag == GUMBO_TAG_TH);
}

// A span attribute's number, as TElementRef::Attribute(name).toInt() reads it.
int SpanAttribute(const GumboElement& cell, const char* name) {
  for (unsigned i = 0; i < cell.attributes.length; ++i) {
    const auto* attribute = static_cast<const GumboAttribute*>(cell.attributes.data[i]);
    if (std::strcmp(attribute->name, name) == 0)
      return FromGumbo(attribute->value).toInt();
  }
  return 0;
}

void SetCellFormat(QTextTableCell cell, const TElementChain& chain) {
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

void ApplyTableAttributes(const TElementRef& table, QTextTableFormat& format) {
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

} // namespace

void THtmlReader::KeepRowComments(QTextTableCell cell,
                                  const std::vector<const GumboNode*>& comments) {
  std::vector<TKeptBodyNode> kept;
  for (const GumboNode* comment : comments)
    if (!FParsed.IsMarker(*comment))
      kept.push_back(TKeptBodyNode{TKeptBodyNode::TKind::Comment, {}, CommentSource(comment), 0});
  if (kept.empty())
    return;
  QTextTableCellFormat format = cell.format().toTableCellFormat();
  format.setProperty(KeptProperty::BeforeRow, SerializeKeptNodes(kept));
  cell.setFormat(format);
}

// Reads the table into a grid; false when it cannot be shown as one.
bool THtmlReader::AddTable(const GumboNode* node, const TElementRef& table) {
  std::vector<const GumboNode*> captions;
  std::vector<std::pair<TElementRef, const GumboNode*>> rows; // row group, tr
  std::vector<std::vector<const GumboNode*>> rowComments;     // in front of each row
  std::vector<const GumboNode*> comments;
  const auto addRow = [&](const TElementRef& group, const GumboNode* row) {
    rows.emplace_back(group, row);
    rowComments.push_back(std::exchange(comments, {}));
  };
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
                              Attributes(child->v.element)};
      const GumboVector& groupRows = child->v.element.children;
      for (unsigned k = 0; k < groupRows.length; ++k) {
        const GumboNode* row = Child(groupRows, k);
        if (row->type == GUMBO_NODE_COMMENT)
          comments.push_back(row);
        if (IsElement(row) && row->v.element.tag == GUMBO_TAG_TR)
          addRow(group, row);
      }
    } else if (tag == GUMBO_TAG_TR) {
      addRow(TElementRef{}, child);
    }
  }
  std::vector<const GumboNode*> trailingComments = std::exchange(comments, {});
  // The cells of each row, with the comments in front of each; comments
  // after a row's last cell go to the next cell, or after the table. Those
  // between rows stay there when the row has a cell of its own.
  std::vector<std::vector<TListedCell>> listed(rows.size());
  std::vector<std::vector<TCellSpans>> spans(rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    // What the row before holds after its last cell stands between the rows.
    rowComments[r].insert(rowComments[r].begin(), comments.begin(), comments.end());
    comments.clear();
    const GumboVector& trChildren = rows[r].second->v.element.children;
    for (unsigned k = 0; k < trChildren.length; ++k) {
      const GumboNode* cell = Child(trChildren, k);
      if (cell->type == GUMBO_NODE_COMMENT)
        comments.push_back(cell);
      if (!IsCell(cell))
        continue;
      listed[r].push_back(TListedCell{cell, std::move(comments), {}});
      if (listed[r].size() == 1)
        listed[r].back().RowComments = std::move(rowComments[r]);
      comments.clear();
      spans[r].push_back(TCellSpans{SpanAttribute(cell->v.element, "rowspan"),
                                    SpanAttribute(cell->v.element, "colspan")});
    }
    if (listed[r].empty())
      comments.insert(comments.begin(), rowComments[r].begin(), rowComments[r].end());
  }
  const std::optional<TTableGrid> placement = PlaceTableCells(spans);
  if (!placement || rows.empty() || placement->Columns == 0)
    return false;
  const int columns = placement->Columns;
  comments.insert(comments.end(), trailingComments.begin(), trailingComments.end());

  std::vector<TCellSlot> cells;
  cells.reserve(placement->Cells.size());
  auto place = placement->Cells.begin();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const TElementRef row{NewElementId(), QStringLiteral("tr"),
                          Attributes(rows[r].second->v.element)};
    // Rows without a cell of their own still get one slot, for their chain.
    for (std::size_t k = 0; k < std::max<std::size_t>(listed[r].size(), 1); ++k) {
      TCellSlot slot;
      slot.Place = *place++;
      if (rows[r].first.Id != 0)
        slot.Chain.append(rows[r].first);
      slot.Chain.append(row);
      if (k < listed[r].size()) {
        TListedCell& cell = listed[r][k];
        slot.Node = cell.Node;
        slot.Comments = std::move(cell.Comments);
        slot.RowComments = std::move(cell.RowComments);
        slot.Chain.append(TElementRef{NewElementId(), GumboTagName(cell.Node->v.element),
                                      Attributes(cell.Node->v.element)});
      }
      cells.push_back(std::move(slot));
    }
  }

  CloseBlock();
  PromoteInline();
  TContext& context = Context();
  const QString outerKey =
      context.BlockDepth > 0 ? context.Open[context.BlockDepth - 1].BlockKey : QString();
  if (!captions.empty() && RoomForElement()) {
    PushBlock(table);
    for (const GumboNode* caption : captions)
      VisitBlock(caption, TElementRef{NewElementId(), QStringLiteral("caption"),
                                      Attributes(caption->v.element)});
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
  format.setProperty(EngineProperty::TableElement, SerializeChain({table}));
  format.setProperty(EngineProperty::TableOuterChain, outerKey);
  QTextTable* grid = FCursor.insertTable(static_cast<int>(rows.size()), columns, format);
  ++FProduced;

  // Slots no cell covers (short rows) get a cell of their own.
  std::vector<std::vector<bool>> covered(rows.size(),
                                         std::vector<bool>(static_cast<std::size_t>(columns)));
  std::vector<TElementChain> rowChains(rows.size());
  for (const TCellSlot& slot : cells) {
    TElementChain rowChain = slot.Chain;
    if (slot.Place.Column >= 0)
      rowChain.removeLast();
    rowChains[static_cast<std::size_t>(slot.Place.Row)] = rowChain;
    if (slot.Place.Column < 0)
      continue;
    for (int dr = 0; dr < slot.Place.RowSpan; ++dr)
      for (int dc = 0; dc < slot.Place.ColumnSpan; ++dc)
        covered[static_cast<std::size_t>(slot.Place.Row + dr)]
               [static_cast<std::size_t>(slot.Place.Column + dc)] = true;
    SetCellFormat(grid->cellAt(slot.Place.Row, slot.Place.Column), slot.Chain);
    KeepRowComments(grid->cellAt(slot.Place.Row, slot.Place.Column), slot.RowComments);
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
    if (slot.Place.Column >= 0 && (slot.Place.RowSpan > 1 || slot.Place.ColumnSpan > 1))
      grid->mergeCells(slot.Place.Row, slot.Place.Column, slot.Place.RowSpan,
                       slot.Place.ColumnSpan);

  const int tableDepth = Context().TableDepth + 1;
  for (const TCellSlot& slot : cells) {
    if (slot.Place.Column < 0)
      continue;
    const QTextTableCell cell = grid->cellAt(slot.Place.Row, slot.Place.Column);
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
  CloseBlock(); // nothing is pending: each cell flushed its text
  for (const GumboNode* comment : comments)
    KeepComment(comment);
  return true;
}
