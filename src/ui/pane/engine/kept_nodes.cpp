#include "ui/pane/engine/kept_nodes.h"

#include <limits>

namespace {

// Length-prefixed like the chains, so a comment may hold any character.
void AppendField(QString& out, QStringView text) {
  out += QString::number(text.size());
  out += u':';
  out += text;
}

class TKeptParser {
public:
  explicit TKeptParser(QStringView text) : FText(text) {}

  bool AtEnd() const { return FAt >= FText.size(); }

  bool ReadNumber(qint64& value, QChar terminator) {
    value = 0;
    const qsizetype start = FAt;
    while (FAt < FText.size() && FText[FAt].isDigit() && FAt - start < 12) {
      value = value * 10 + (FText[FAt].unicode() - u'0');
      ++FAt;
    }
    if (FAt == start || FAt >= FText.size() || FText[FAt] != terminator)
      return false;
    ++FAt;
    return true;
  }

  bool ReadField(QStringView& value) {
    qint64 length = 0;
    if (!ReadNumber(length, u':') || length > FText.size() - FAt)
      return false;
    value = FText.mid(FAt, static_cast<qsizetype>(length));
    FAt += static_cast<qsizetype>(length);
    return true;
  }

private:
  QStringView FText;
  qsizetype FAt = 0;
};

} // namespace

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
    AppendField(out, element);
    AppendField(out, node.Data);
  }
  return out;
}

std::vector<TKeptBodyNode> ParseKeptNodes(QStringView serialized) {
  std::vector<TKeptBodyNode> nodes;
  TKeptParser parser(serialized);
  while (!parser.AtEnd()) {
    TKeptBodyNode node;
    qint64 depth = 0;
    qint64 kind = 0;
    QStringView element;
    QStringView data;
    if (!parser.ReadNumber(depth, u'|') || !parser.ReadNumber(kind, u'|') ||
        !parser.ReadField(element) || !parser.ReadField(data) ||
        kind > static_cast<qint64>(TKeptBodyNode::TKind::RawElement) ||
        depth > std::numeric_limits<int>::max())
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
