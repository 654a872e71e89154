#include "ui/pane/engine/raw_source.h"

#include "ui/pane/engine/html_style.h"

#include <vector>

namespace {

void AppendEscaped(QString& out, QStringView text, bool attribute) {
  for (const QChar c : text) {
    switch (c.unicode()) {
    case u'&':
      out += u"&amp;";
      break;
    case u'<':
      out += u"&lt;";
      break;
    case u'>':
      out += u"&gt;";
      break;
    case QChar::Nbsp:
      out += u"&nbsp;";
      break;
    case u'"':
      out += attribute ? QStringView(u"&quot;") : QStringView(u"\"");
      break;
    default:
      out += c;
    }
  }
}

// Iterative, so no document depth can exhaust the stack.
void AppendNode(QString& out, const TDomNode* root) {
  struct TFrame {
    const TDomNode* Node;
    qsizetype Next;
  };
  std::vector<TFrame> stack;
  auto open = [&](const TDomNode* node) {
    switch (node->Kind) {
    case TDomNode::TKind::Text:
      AppendEscaped(out, node->Data, false);
      return;
    case TDomNode::TKind::Comment:
      out += node->Data;
      return;
    case TDomNode::TKind::Element:
      break;
    default:
      return;
    }
    out += u'<';
    out += node->TagName;
    for (const TDomAttribute& attribute : node->Attributes) {
      out += u' ';
      out += attribute.Name;
      out += u"=\"";
      AppendEscaped(out, attribute.Value, true);
      out += u'"';
    }
    out += u'>';
    if (HtmlVocabulary::IsVoid(node->TagName))
      return;
    if (node->HasRawContent)
      out += node->RawContent;
    stack.push_back(TFrame{node, 0});
  };
  open(root);
  while (!stack.empty()) {
    TFrame& top = stack.back();
    if (top.Next < top.Node->Children.size()) {
      open(top.Node->Children[top.Next++]);
      continue;
    }
    out += u"</";
    out += top.Node->TagName;
    out += u'>';
    stack.pop_back();
  }
}

} // namespace

QByteArray SerializeRawSource(const TDomDocument& document, const QString& prologue) {
  QString source = prologue;
  for (const TDomNode* node : document.Root()->Children)
    AppendNode(source, node);
  source += QStringLiteral("\r\n");
  return QByteArray("\xEF\xBB\xBF") + source.toUtf8();
}
