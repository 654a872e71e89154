#include "ui/pane/engine/kept_nodes.h"

#include "ui/pane/engine/length_fields.h"

#include <limits>

QString SerializeKeptNodes(const std::vector<TKeptBodyNode>& nodes) {
  QString out;
  for (const TKeptBodyNode& node : nodes) {
    out += QString::number(node.Depth);
    out += u'|';
    out += QString::number(static_cast<int>(node.Kind));
    out += u'|';
    QString element;
    if (node.Kind != TKeptBodyNode::TKind::Comment)
      AppendSerializedElement(element, node.Element);
    AppendLengthField(out, element);
    AppendLengthField(out, node.Data);
  }
  return out;
}

std::vector<TKeptBodyNode> ParseKeptNodes(QStringView serialized) {
  std::vector<TKeptBodyNode> nodes;
  TLengthFieldReader parser(serialized);
  while (!parser.AtEnd()) {
    TKeptBodyNode node;
    quint64 depth = 0;
    quint64 kind = 0;
    QStringView element;
    QStringView data;
    if (!parser.ReadNumber(depth, u'|') || !parser.ReadNumber(kind, u'|') ||
        !parser.ReadField(element) || !parser.ReadField(data) ||
        kind > static_cast<quint64>(TKeptBodyNode::TKind::RawElement) ||
        depth > static_cast<quint64>(std::numeric_limits<int>::max()))
      break;
    node.Depth = static_cast<int>(depth);
    node.Kind = static_cast<TKeptBodyNode::TKind>(kind);
    node.Data = data.toString();
    if (node.Kind != TKeptBodyNode::TKind::Comment) {
      const TElementChain chain = ParseChain(element);
      if (chain.isEmpty())
        break;
      node.Element = chain.first();
    }
    nodes.push_back(std::move(node));
  }
  return nodes;
}
