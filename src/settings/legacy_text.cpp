#include "settings/legacy_text.h"

#include <QStringDecoder>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace {

struct TIconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using TIconv = std::unique_ptr<void, TIconvCloser>;

TIconv OpenIconv(const char* to, const char* from) {
  const iconv_t cd = iconv_open(to, from);
  return TIconv(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : static_cast<void*>(cd));
}

std::optional<QByteArray> Convert(const char* to, const char* from, const QByteArray& input) {
  const TIconv cd = OpenIconv(to, from);
  if (!cd)
    return std::nullopt;
  QByteArray out;
  // Twice the input covers the conversions used here (one UTF-16 unit per
  // input byte at most, four GB18030 bytes per surrogate pair); anything
  // longer grows the buffer below.
  out.resize(input.size() * 2 + 16);
  char* in = const_cast<char*>(input.constData());
  std::size_t inLeft = static_cast<std::size_t>(input.size());
  char* outAt = out.data();
  std::size_t outLeft = static_cast<std::size_t>(out.size());
  while (inLeft > 0) {
    if (iconv(static_cast<iconv_t>(cd.get()), &in, &inLeft, &outAt, &outLeft) ==
        static_cast<std::size_t>(-1)) {
      if (errno != E2BIG)
        return std::nullopt; // an invalid or an incomplete sequence
      const qsizetype done = outAt - out.data();
      out.resize(out.size() * 2);
      outAt = out.data() + done;
      outLeft = static_cast<std::size_t>(out.size() - done);
    }
  }
  // Ends any shift state, so a stateful charset is closed properly.
  if (iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, &outAt, &outLeft) ==
      static_cast<std::size_t>(-1))
    return std::nullopt;
  out.truncate(outAt - out.data());
  return out;
}

// Two-byte characters of the text read as GB18030, and how many of them have
// a trail byte below 0x80.
struct TPairCounts {
  qsizetype Pairs = 0;
  qsizetype LowTrails = 0;
};

TPairCounts CountPairs(const QByteArray& bytes) {
  TPairCounts counts;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto lead = static_cast<uchar>(bytes[i]);
    if (lead < 0x81 || lead == 0xFF || i + 1 == bytes.size())
      continue;
    const auto trail = static_cast<uchar>(bytes[i + 1]);
    if (trail >= 0x30 && trail <= 0x39) {
      i += 3; // a four-byte GB18030 character
      continue;
    }
    ++counts.Pairs;
    if (trail >= 0x40 && trail <= 0x7E)
      ++counts.LowTrails;
    ++i;
  }
  return counts;
}

} // namespace

bool IsValidUtf8(const QByteArray& bytes) {
  QStringDecoder decode(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  (void)QString(decode(bytes));
  return !decode.hasError();
}

std::optional<QString> DecodeCharset(const QByteArray& bytes, const char* charset) {
  const std::optional<QByteArray> units = Convert("UTF-16LE", charset, bytes);
  if (!units)
    return std::nullopt;
  QString text(units->size() / 2, Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const auto unit = static_cast<char16_t>(static_cast<uchar>(units->at(2 * i)) |
                                            (static_cast<uchar>(units->at(2 * i + 1)) << 8));
    // A C1 control is no character of these code pages: iconv passes a lone
    // 0x80 through as one, so bytes that are not such text would pass.
    if (unit >= 0x80 && unit <= 0x9F)
      return std::nullopt;
    text[i] = QChar(unit);
  }
  // Some byte pairs decode to a character whose own spelling is another pair
  // (Big5 F9 FD reads as A2 A3's character): saving would change the bytes,
  // and the guess between code pages would rest on a reading that is not one.
  if (EncodeCharset(text, charset) != bytes)
    return std::nullopt;
  return text;
}

std::optional<QByteArray> EncodeCharset(const QString& text, const char* charset) {
  QByteArray units;
  units.reserve(text.size() * 2);
  for (const QChar c : text) {
    units.append(static_cast<char>(c.unicode() & 0xFF));
    units.append(static_cast<char>(c.unicode() >> 8));
  }
  return Convert(charset, "UTF-16LE", units);
}

TLegacyText DecodeLegacyText(const QByteArray& bytes) {
  const std::optional<QString> gb = DecodeCharset(bytes, Gb18030Charset);
  const std::optional<QString> big5 = DecodeCharset(bytes, Big5Charset);
  if (gb && big5) {
    const TPairCounts counts = CountPairs(bytes);
    if (counts.LowTrails * 10 >= counts.Pairs && counts.LowTrails > 0)
      return {Big5Charset, *big5};
    return {Gb18030Charset, *gb};
  }
  if (gb)
    return {Gb18030Charset, *gb};
  if (big5)
    return {Big5Charset, *big5};
  return {nullptr, QString::fromLatin1(bytes)};
}
