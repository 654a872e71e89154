#include "ui/main/pane_html.h"

#include "ui/main/translate_command.h"

#include <QRegularExpression>

namespace {

const QString BreakTag = QStringLiteral("<br>");

bool IsBlank(QChar c) {
  return c == u' ' || c == u'\t';
}

// Whether some blank of the text would vanish or shrink in ordinary HTML.
bool NeedsKeptBlanks(const QString& text) {
  if (text.contains(u'\t'))
    return true;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u' ')
      continue;
    const bool lineStart = i == 0 || QStringView(text).left(i).endsWith(BreakTag);
    const bool lineEnd = i + 1 == text.size() || QStringView(text).mid(i + 1).startsWith(BreakTag);
    if (lineStart || lineEnd || (i + 1 < text.size() && IsBlank(text[i + 1])))
      return true;
  }
  return false;
}

void AppendEscaped(QString& out, QStringView text) {
  for (const QChar c : text) {
    if (c == u'&')
      out += QStringLiteral("&amp;");
    else if (c == u'<')
      out += QStringLiteral("&lt;");
    else if (c == u'>')
      out += QStringLiteral("&gt;");
    else
      out += c;
  }
}

} // namespace

QString TranslationBlock(const QString& translation) {
  QString out = NeedsKeptBlanks(translation)
                    ? QStringLiteral("<div style=\"white-space: pre-wrap\">")
                    : QStringLiteral("<div>");
  out.reserve(out.size() + translation.size() + translation.size() / 8 + 6);
  qsizetype start = 0;
  for (;;) {
    const qsizetype tag = translation.indexOf(BreakTag, start);
    AppendEscaped(
        out, QStringView(translation).mid(start, (tag < 0 ? translation.size() : tag) - start));
    if (tag < 0)
      break;
    out += BreakTag;
    start = tag + BreakTag.size();
  }
  return out + QStringLiteral("</div>");
}

QString WithUtf8Header(const QString& html) {
  // Text never holds a raw '<' in the pane's source; values are quoted, so a
  // tag ends at the first '>' outside quotes.
  static const QRegularExpression Meta(QStringLiteral(R"(<meta\b(?:[^<>"']|"[^"]*"|'[^']*')*>)"),
                                       QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression Declares(
      QStringLiteral(R"(\bcharset\s*=|\bhttp-equiv\s*=\s*["']?content-type)"),
      QRegularExpression::CaseInsensitiveOption);
  QString kept;
  kept.reserve(html.size() + Utf8MetaHeader.size());
  qsizetype copied = 0;
  QRegularExpressionMatchIterator it = Meta.globalMatch(html);
  while (it.hasNext()) {
    const QRegularExpressionMatch match = it.next();
    if (!Declares.match(match.capturedView()).hasMatch())
      continue;
    kept += QStringView(html).mid(copied, match.capturedStart() - copied);
    copied = match.capturedEnd();
  }
  kept += QStringView(html).mid(copied);
  return kept + Utf8MetaHeader;
}
