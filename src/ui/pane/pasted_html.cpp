#include "ui/pane/pasted_html.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Qt's writer sets these on every block whatever the text looks like: zero
// margins, and the margins its own reader gives a paragraph.
bool IsQtDefault(QStringView tag, QStringView name, QStringView value) {
  if (name.startsWith(u"-qt-"))
    return true;
  const bool zeroLength = value == u"0" || value == u"0px";
  const bool margin = name == u"margin-top" || name == u"margin-bottom" || name == u"margin-left" ||
                      name == u"margin-right";
  if (zeroLength && (margin || name == u"text-indent"))
    return true;
  return tag == u"p" && value == u"12px" && (name == u"margin-top" || name == u"margin-bottom");
}

QString CleanStyle(QStringView tag, const QString& style) {
  QStringList kept;
  for (const QString& declaration : style.split(u';', Qt::SkipEmptyParts)) {
    const qsizetype colon = declaration.indexOf(u':');
    const QString name = declaration.left(colon).trimmed().toLower();
    const QString value = colon < 0 ? QString() : declaration.mid(colon + 1).trimmed();
    if (name.isEmpty() || IsQtDefault(tag, name, value))
      continue;
    kept.append(name + QStringLiteral(": ") + value);
  }
  return kept.join(QStringLiteral("; "));
}

QString CleanQtRichText(const QString& html) {
  // An empty paragraph is written with a line break in it that only marks
  // it as empty; read as a break it would show one line more.
  static const QRegularExpression EmptyParagraph(
      QStringLiteral("(<p style=\"[^\"]*-qt-paragraph-type:empty;[^\"]*\">)<br />"));
  // Qt escapes '"' in text and values, so a style="..." is always an
  // attribute of its writer.
  static const QRegularExpression Style(
      QStringLiteral("(<([a-zA-Z0-9]+)[^<>]*?) style=\"([^\"]*)\""));
  QString withoutBreaks = html;
  withoutBreaks.replace(EmptyParagraph, QStringLiteral("\\1"));
  QString out;
  out.reserve(withoutBreaks.size());
  qsizetype copied = 0;
  QRegularExpressionMatchIterator it = Style.globalMatch(withoutBreaks);
  while (it.hasNext()) {
    const QRegularExpressionMatch match = it.next();
    out += QStringView(withoutBreaks).mid(copied, match.capturedStart() - copied);
    out += match.capturedView(1);
    const QString style = CleanStyle(match.captured(2).toLower(), match.captured(3));
    if (!style.isEmpty())
      out += QStringLiteral(" style=\"") + style + u'"';
    copied = match.capturedEnd();
  }
  out += QStringView(withoutBreaks).mid(copied);
  return out;
}

} // namespace

QString CleanPastedHtml(const QString& html) {
  QString cleaned = html;
  cleaned.remove(QStringLiteral("<!--StartFragment-->"));
  cleaned.remove(QStringLiteral("<!--EndFragment-->"));
  if (cleaned.contains(QStringLiteral("<meta name=\"qrichtext\"")))
    cleaned = CleanQtRichText(cleaned);
  return cleaned;
}
