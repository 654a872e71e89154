#include "settings/file_decoding.h"

#include "settings/legacy_text.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <array>

namespace {

std::optional<bool> HtmlBySuffix(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == u"htm" || suffix == u"html" || suffix == u"xhtml" || suffix == u"shtml" ||
      suffix == u"hta")
    return true;
  if (suffix == u"txt" || suffix == u"text")
    return false;
  return std::nullopt;
}

bool IsAsciiBlank(QChar c) {
  const char16_t u = c.unicode();
  return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f' || u == u'\v';
}

// Only ASCII blanks count: every way of decoding the file reads them alike
// from its first bytes on, so the start decides as the whole file would.
std::optional<bool> TextStartsLikeHtml(QStringView text, bool complete) {
  qsizetype at = 0;
  while (at < text.size() && IsAsciiBlank(text[at]))
    ++at;
  const QStringView rest = text.mid(at);
  for (const QStringView opening : {QStringView(u"<!doctype html"), QStringView(u"<html")}) {
    if (rest.startsWith(opening, Qt::CaseInsensitive))
      return true;
    if (!complete && opening.startsWith(rest, Qt::CaseInsensitive))
      return std::nullopt;
  }
  return false;
}

// Whether bytes that are not valid UTF-8 are still UTF-8 text with a few
// bad bytes (a damaged or cut-off file): far more valid multi-byte
// characters than bytes that fit none. Text in a legacy code page breaks
// the rules of UTF-8 at most of its non-ASCII characters.
bool IsMostlyUtf8(const QByteArray& bytes) {
  qsizetype valid = 0;
  qsizetype bad = 0;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype size = bytes.size();
  for (qsizetype i = 0; i < size;) {
    const unsigned char lead = data[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const int trail = lead >= 0xC2 && lead <= 0xDF   ? 1
                      : lead >= 0xE0 && lead <= 0xEF ? 2
                      : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                     : -1;
    bool ok = trail > 0;
    for (int k = 1; ok && k <= trail; ++k)
      ok = i + k < size && (data[i + k] & 0xC0) == 0x80;
    if (ok) {
      ++valid;
      i += trail + 1;
    } else {
      ++bad;
      ++i;
    }
  }
  return valid > 0 && bad * 8 <= valid;
}

// Windows-1252 where it differs from Latin-1; the five bytes it leaves
// undefined keep their Latin-1 meaning.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeWindows1252(const QByteArray& bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text[i] = byte >= 0x80 && byte <= 0x9F ? QChar(Windows1252High[byte - 0x80]) : QChar(byte);
  }
  return text;
}

} // namespace

TDecodedText DecodePaneBytes(const QByteArray& bytes, bool html) {
  const auto bom = QStringConverter::encodingForData(bytes);
  if (bom) {
    QStringDecoder decoder(*bom);
    return {decoder(bytes), TFileEncoding::Marked};
  }
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8(bytes);
  if (!utf8.hasError())
    return {std::move(text), TFileEncoding::Utf8};
  // Markup that could be read to find its charset is in an 8-bit encoding,
  // whatever it declares; of those, the reader knows Latin-1 by name.
  if (html && QStringConverter::encodingForHtml(bytes) == QStringConverter::Latin1)
    return {QString::fromLatin1(bytes), TFileEncoding::Latin1};
  // A bad byte or a cut-off last character shows as U+FFFD where it is;
  // the rest of the text stays what it was.
  if (IsMostlyUtf8(bytes))
    return {std::move(text), TFileEncoding::DamagedUtf8};
  // Written on a system with a legacy code page, most likely a Chinese one.
  TLegacyText legacy = DecodeLegacyText(bytes);
  if (!legacy.Charset)
    return {DecodeWindows1252(bytes), TFileEncoding::Windows1252};
  return {std::move(legacy.Text),
          legacy.Charset == Big5Charset ? TFileEncoding::Big5 : TFileEncoding::Gb18030};
}

QString DecodePaneFile(const QByteArray& bytes, bool html) {
  return DecodePaneBytes(bytes, html).Text;
}

QString ShowableText(QString text) {
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    const bool whitespace = u == u'\t' || u == u'\n' || u == u'\f' || u == u'\r';
    if ((u < 0x20 && !whitespace) || (u >= 0x7F && u <= 0x9F))
      c = QChar::ReplacementCharacter;
  }
  return text;
}

bool LooksLikeHtml(const QString& path, QStringView text) {
  if (const std::optional<bool> bySuffix = HtmlBySuffix(path))
    return *bySuffix;
  return TextStartsLikeHtml(text, true).value_or(false);
}

std::optional<bool> StartsLikeHtml(const QByteArray& start, bool complete) {
  return TextStartsLikeHtml(DecodePaneFile(start, false), complete);
}

bool IsHtmlFile(const QString& path, const QByteArray& bytes) {
  if (const std::optional<bool> bySuffix = HtmlBySuffix(path))
    return *bySuffix;
  // Blanks before the document are allowed in any number; the probe grows
  // until it sees past them rather than decode a large file twice.
  for (qsizetype probe = 256;; probe *= 4) {
    const bool complete = probe >= bytes.size();
    if (const std::optional<bool> html = StartsLikeHtml(bytes.left(probe), complete))
      return *html;
    if (complete)
      return false;
  }
}
