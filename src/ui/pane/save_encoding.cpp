#include "ui/pane/save_encoding.h"

#include <QRegularExpression>
#include <QStringEncoder>

namespace {

// A charset named in a meta element of the head: <meta charset=...> or the
// http-equiv form with "charset=" in its content.
bool DeclaresCharset(const QString& source) {
  static const QRegularExpression meta(QStringLiteral(R"(<meta\b[^>]*\bcharset\s*=)"),
                                       QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression bodyStart(QStringLiteral(R"(<body\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch body = bodyStart.match(source);
  const QStringView head =
      body.hasMatch() ? QStringView(source).left(body.capturedStart()) : QStringView(source);
  return meta.match(head.toString()).hasMatch();
}

bool IsAscii(const QString& text) {
  for (const QChar c : text)
    if (c.unicode() > 0x7F)
      return false;
  return true;
}

} // namespace

QByteArray EncodeSavedDocument(const QString& source) {
  const QByteArray local = source.toLocal8Bit();
  if (QString::fromLocal8Bit(local) == source) {
    // Without a declaration a browser guesses the charset from the bytes,
    // often wrongly for Chinese; the byte-order mark settles it and changes
    // nothing in the markup.
    if (!IsAscii(source) && !DeclaresCharset(source))
      return "\xEF\xBB\xBF" + local;
    return local;
  }
  QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
  return encoder(source);
}
