#pragma once

#include "ui/pane/dom_tree.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QTextFormat>

// One element of the document as it was read: its tag, its attributes in
// document order, and an identity, so that neighbouring blocks and runs of
// text that came from the same element are written back as one element.
struct TElementRef {
  quint64 Id = 0; // 0: made up on the way out (formatting added in the pane)
  QString Tag;    // lower case
  QList<TDomAttribute> Attributes;

  QString Attribute(QStringView name) const;
  bool HasAttribute(QStringView name) const;
  void SetAttribute(const QString& name, const QString& value);
  void RemoveAttribute(QStringView name);
};

// Elements from the outside in.
using TElementChain = QList<TElementRef>;

// Unique within the process, so ids never collide inside one document.
quint64 NewElementId();

bool SameElement(const TElementRef& a, const TElementRef& b);

// Chains live in QTextFormat properties as strings: Qt hashes strings by
// value (other variant types only by type name), so identical chains share
// one format and neighbouring runs merge.
void AppendSerializedElement(QString& out, const TElementRef& element);
QString SerializeChain(const TElementChain& chain);
// Tolerant: malformed text yields the elements read before the fault.
TElementChain ParseChain(QStringView serialized);

// The user properties of the formats that carry the chains.
namespace EngineProperty {
enum : int {
  // QTextBlockFormat: the elements from the body (or the table cell) down to
  // the element that holds the block's text.
  BlockChain = QTextFormat::UserProperty + 0x100,
  // QTextCharFormat: the inline elements from the block's element down to
  // the text.
  InlineChain,
  // QTextCharFormat of a line separator or an image: the br or img element.
  ObjectElement,
  // bool on a line separator that was a line feed in preformatted text.
  TextNewline,
  // QTextTableFormat: the table element and the chain around it.
  TableElement,
  TableOuterChain,
  // QTextTableCellFormat: row group, row and cell elements.
  CellChain,
  // bool on a QTextBlockFormat: the block goes on the line of the block
  // before it after a line break (a br, or a line feed in preformatted
  // text), and is part of the same element. The break's own format is the
  // block's char format. A paragraph with many lines is laid out one line
  // at a time this way: one block with a million line separators is laid
  // out as one paragraph, far from linearly.
  LineStart,
};

} // namespace EngineProperty

// A block that continues the line group of the block before it.
inline bool IsLineStart(const QTextBlockFormat& format) {
  return format.boolProperty(EngineProperty::LineStart);
}
