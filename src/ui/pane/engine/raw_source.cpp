#include "ui/pane/engine/raw_source.h"

#include "ui/pane/engine/html_style.h"
#include "ui/pane/html_element_kinds.h"

#include <vector>

namespace {

void AppendEscaped(QString& out, QStringView text, bool attribute) {
  for (const QChar c : text) {
    if (c == u'&')
      out += u"&amp;";
    else if (c == u'<')
      out += u"&lt;";
    else if (c == u'>')
      out += u"&gt;";
    else if (c == QChar::Nbsp)
      out += u"&nbsp;";
    else if (c == u'"' && attribute)
      out += u"&quot;";
    else
      out += c;
  }
}

// A title's text as a title bar shows it: each run of blanks one space.
QString CollapsedBlanks(QStringView text) {
  QString result;
  result.reserve(text.size());
  bool blank = false;
  for (const QChar c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
      blank = true;
      continue;
    }
    if (blank && !result.isEmpty())
      result += u' ';
    blank = false;
    result += c;
  }
  return result;
}

// Iterative, so no document depth can exhaust the stack.
void AppendNode(QString& out, const TDomNode* root, const TLinkRewriting& links, bool& titleDone) {
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
    const QString tag = node->TagName.toLower();
    for (const TDomAttribute& attribute : node->Attributes) {
      out += u' ';
      out += attribute.Name;
      out += u"=\"";
      const QString name = attribute.Name.toLower();
      const bool link = AttributeKindOf(name).Link && !(tag == u"base" && name == u"href");
      AppendEscaped(out, link ? RewriteLink(attribute.Value, links) : attribute.Value, true);
      out += u'"';
    }
    out += u'>';
    if (HtmlVocabulary::IsVoid(tag))
      return;
    if (tag == u"title" && !titleDone) {
      titleDone = true;
      QString title;
      for (const TDomNode* child : node->Children)
        if (child && child->Kind == TDomNode::TKind::Text)
          title += child->Data;
      AppendEscaped(out, CollapsedBlanks(title), false);
      out += u"</title>";
      return;
    }
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

QByteArray SerializeRawSource(const TDomDocument& document, const QString& prologue,
                              const TLinkRewriting& links) {
  QString source = prologue;
  bool titleDone = false;
  for (const TDomNode* node : document.Root()->Children)
    AppendNode(source, node, links, titleDone);
  source += QStringLiteral("\r\n");
  return QByteArray("\xEF\xBB\xBF") + source.toUtf8();
}
