#pragma once

#include "ui/pane/engine/element_chain.h"

#include <QString>
#include <QStringView>
#include <QTextFormat>
#include <vector>

// A node of the body the pane keeps without showing it: a comment, or an
// element it has no view of (a form control, an embedded object, a script),
// so that a document read and written back still holds it where it was.
struct TKeptBodyNode {
  enum class TKind { Comment, Element, RawElement };
  TKind Kind = TKind::Comment;
  TElementRef Element; // elements: tag and attributes
  QString Data;        // a comment's source, or a raw element's content
  // Between blocks: how many elements of the chain around the next block
  // (or table) also hold this node.
  int Depth = 0;
};

QString SerializeKeptNodes(const std::vector<TKeptBodyNode>& nodes);
// Tolerant: malformed text yields the nodes read before the fault.
std::vector<TKeptBodyNode> ParseKeptNodes(QStringView serialized);

namespace KeptProperty {
enum : int {
  // QTextCharFormat of an object character standing for one kept node.
  InlineNode = QTextFormat::UserProperty + 0x180,
  // QTextBlockFormat or QTextTableFormat: nodes written before the block
  // (table), each inside the first Depth elements of its chain.
  Leading,
  // QTextBlockFormat: nodes written after the block's text, each inside the
  // first Depth elements of its chain.
  Trailing,
  // QTextTableCellFormat of a row's first cell: nodes written between that
  // row and the one before.
  BeforeRow,
};
} // namespace KeptProperty

// The object type of a kept node's character: nothing is drawn for it.
constexpr int KeptNodeObjectType = QTextFormat::UserObject + 1;

inline bool IsKeptNode(const QTextFormat& format) {
  return format.objectType() == KeptNodeObjectType;
}
