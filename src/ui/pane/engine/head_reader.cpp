#include "ui/pane/engine/head_reader.h"

namespace {

QString DoctypeLine(const GumboDocument& document) {
  QString line = QStringLiteral("<!DOCTYPE ") + FromGumbo(document.name);
  const QString publicId = FromGumbo(document.public_identifier);
  const QString systemId = FromGumbo(document.system_identifier);
  if (!publicId.isEmpty())
    line += QStringLiteral(" PUBLIC \"") + publicId + u'"';
  if (!systemId.isEmpty())
    line += (publicId.isEmpty() ? QStringLiteral(" SYSTEM \"") : QStringLiteral(" \"")) + systemId +
            u'"';
  return line + u'>';
}

} // namespace

bool KeepHeadNode(const TGumboDocument& parsed, const GumboNode* node, TKeptNode& kept, int depth) {
  if (node->type == GUMBO_NODE_COMMENT) {
    if (parsed.IsMarker(*node))
      return false;
    kept.Kind = TDomNode::TKind::Comment;
    kept.Data = CommentSource(node);
    return true;
  }
  if (!IsElement(node)) {
    const QString text = FromGumbo(node->v.text.text);
    if (text.trimmed().isEmpty())
      return false;
    kept.Kind = TDomNode::TKind::Text;
    kept.Data = text;
    return true;
  }
  const GumboElement& element = node->v.element;
  if (element.tag_namespace != GUMBO_NAMESPACE_HTML)
    return false;
  kept.Kind = TDomNode::TKind::Element;
  kept.TagName = GumboTagName(element);
  kept.Attributes = GumboAttributes(element);
  if (kept.TagName == u"script" || kept.TagName == u"style" || kept.TagName == u"noscript" ||
      kept.TagName == u"noframes") {
    kept.HasRawContent = true;
    kept.RawContent = TextOf(node);
    return true;
  }
  if (kept.TagName == u"title" || kept.TagName == u"textarea") {
    const QString text = TextOf(node);
    if (!text.isEmpty())
      kept.Children.push_back(TKeptNode{TDomNode::TKind::Text, {}, {}, text, false, {}, {}});
    return true;
  }
  if (depth > 64)
    return true;
  for (unsigned i = 0; i < element.children.length; ++i) {
    TKeptNode child;
    if (KeepHeadNode(parsed, Child(element.children, i), child, depth + 1))
      kept.Children.push_back(std::move(child));
  }
  return true;
}

QString ReadPrologue(const TGumboDocument& parsed) {
  const GumboOutput& output = parsed.Output();
  const GumboDocument& document = output.document->v.document;
  QString prologue =
      (document.has_doctype ? DoctypeLine(document) : TDocumentFrame::DefaultDoctype) +
      QStringLiteral("\r\n");
  for (unsigned i = 0; i < document.children.length; ++i) {
    const GumboNode* node = Child(document.children, i);
    if (node == output.root)
      break;
    if (node->type == GUMBO_NODE_COMMENT && !parsed.IsMarker(*node)) {
      // One the input ends inside is closed: in front of the written
      // document it would swallow all of it.
      QString comment = CommentSource(node);
      if (comment.startsWith(u"<!--") && !comment.endsWith(u"-->") && !comment.endsWith(u"--!>"))
        comment += QStringLiteral("-->");
      prologue += comment + QStringLiteral("\r\n");
    }
  }
  return prologue;
}

void ReadHead(const TGumboDocument& parsed, const GumboNode& head, TDocumentFrame& frame) {
  const GumboElement& element = head.v.element;
  frame.HeadAttributes = GumboAttributes(element);
  for (unsigned k = 0; k < element.children.length; ++k) {
    TKeptNode kept;
    if (KeepHeadNode(parsed, Child(element.children, k), kept, 0))
      frame.Head.push_back(std::move(kept));
  }
}
