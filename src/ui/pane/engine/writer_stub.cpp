// TEMPORARY: stands in for the source writer until it arrives on main.
#include "ui/pane/html_source_writer.h"

#include "ui/pane/engine/html_style.h"

#include <QStringDecoder>
#include <vector>

namespace {

void Escape(QString& out, QStringView text, bool attribute) {
  for (const QChar c : text) {
    if (c == u'&')
      out += u"&amp;";
    else if (c == u'<')
      out += u"&lt;";
    else if (c == u'>')
      out += u"&gt;";
    else if (c == QChar::Nbsp)
      out += u"&nbsp;";
    else if (attribute && c == u'"')
      out += u"&quot;";
    else
      out += c;
  }
}

void Write(QString& out, const TDomNode* node) {
  if (node->Kind == TDomNode::TKind::Text) {
    Escape(out, node->Data, false);
    return;
  }
  if (node->Kind == TDomNode::TKind::Comment) {
    out += node->Data;
    return;
  }
  out += u'<' + node->TagName;
  for (const TDomAttribute& a : node->Attributes) {
    out += u' ';
    out += a.Name;
    out += u"=\"";
    Escape(out, a.Value, true);
    out += u'"';
  }
  if (HtmlVocabulary::IsVoid(node->TagName)) {
    out += u" />";
    return;
  }
  out += u'>';
  if (HtmlVocabulary::IsPreformatted(node->TagName) && !node->Children.isEmpty() &&
      node->Children.first()->Kind == TDomNode::TKind::Text &&
      node->Children.first()->Data.startsWith(u'\n'))
    out += u"\r\n";
  if (node->HasRawContent)
    out += node->RawContent;
  for (const TDomNode* child : node->Children)
    Write(out, child);
  out += u"</";
  out += node->TagName;
  out += u'>';
}

} // namespace

QString RebuildSource(const TDomDocument& document, const QString& rawSavedSource,
                      const TSourceWriterSettings& settings) {
  if (settings.SourceCodePreservation)
    return rawSavedSource;
  const QList<TDomNode*> html = document.ElementsByTagName(QStringLiteral("html"));
  if (html.size() != 1)
    return QStringLiteral("ERROR");
  QString prologue = rawSavedSource.left(rawSavedSource.indexOf(u"<html", 0, Qt::CaseInsensitive));
  prologue.remove(
      QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"));
  QString out = prologue;
  Write(out, html.first());
  return out;
}

QString DecodeSavedSource(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE"))
    return QStringDecoder(QStringConverter::Utf16LE)(bytes.mid(2));
  if (bytes.startsWith("\xEF\xBB\xBF"))
    return QString::fromUtf8(bytes.mid(3));
  return QString::fromLocal8Bit(bytes);
}
