// The decoder the Open command uses, on any bytes, as a plain file and as
// HTML: valid UTF-8 comes back unchanged; a legacy code page is chosen only
// when its text encodes back to the same bytes; without a byte-order mark no
// ASCII '<' is lost (a UTF-16 reading of 8-bit bytes would swallow them); and
// a file counts as HTML exactly when its whole text, ASCII blanks skipped,
// starts like a document, however far the first probe falls short.
#include "settings/file_decoding.h"
#include "settings/legacy_text.h"

#include <QStringConverter>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
  if (!condition)
    std::abort();
}

bool WholeTextStartsLikeHtml(const QString& text) {
  qsizetype at = 0;
  while (at < text.size() && QStringView(u" \t\n\r\f\v").contains(text[at]))
    ++at;
  const QStringView rest = QStringView(text).mid(at);
  return rest.startsWith(u"<!doctype html", Qt::CaseInsensitive) ||
         rest.startsWith(u"<html", Qt::CaseInsensitive);
}

void CheckDecoding(const QByteArray& bytes, bool html) {
  const TDecodedText decoded = DecodePaneBytes(bytes, html);
  const bool marked = QStringConverter::encodingForData(bytes).has_value();
  if (!marked && IsValidUtf8(bytes)) {
    Check(decoded.Encoding == TFileEncoding::Utf8);
    Check(decoded.Text == QString::fromUtf8(bytes));
  }
  switch (decoded.Encoding) {
  case TFileEncoding::Gb18030:
    Check(EncodeCharset(decoded.Text, Gb18030Charset) == bytes);
    break;
  case TFileEncoding::Big5:
    Check(EncodeCharset(decoded.Text, Big5Charset) == bytes);
    break;
  case TFileEncoding::Latin1:
  case TFileEncoding::Windows1252:
    Check(decoded.Text.size() == bytes.size());
    break;
  case TFileEncoding::Marked:
    Check(marked);
    break;
  case TFileEncoding::Utf8:
  case TFileEncoding::DamagedUtf8:
    break;
  }
  if (!marked)
    Check(decoded.Text.count(QLatin1Char('<')) == bytes.count('<'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  CheckDecoding(bytes, false);
  CheckDecoding(bytes, true);
  Check(IsHtmlFile(QStringLiteral("page.dat"), bytes) ==
        WholeTextStartsLikeHtml(DecodePaneFile(bytes, false)));
  Check(IsHtmlFile(QStringLiteral("page.html"), bytes));
  Check(!IsHtmlFile(QStringLiteral("page.txt"), bytes));
  return 0;
}
