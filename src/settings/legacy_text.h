#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Text written on systems whose 8-bit code page is not UTF-8: settings and
// language files from Chinese Windows systems hold GBK or Big5, and so do the
// users' own text files. Conversions go through the C library's iconv, which
// every Linux system has, and are strict: bytes that are not valid in the
// charset give no text rather than a guess.

// GB18030 is a superset of GBK (code page 936); Big5 is code page 950.
// Arrays, so each name has one address in the whole program.
inline constexpr char Gb18030Charset[] = "GB18030";
inline constexpr char Big5Charset[] = "BIG5";
inline constexpr char Latin1Charset[] = "ISO-8859-1";

bool IsValidUtf8(const QByteArray& bytes);

// Strict both ways: nothing unless every byte is part of a character and the
// text encodes back to exactly these bytes.
std::optional<QString> DecodeCharset(const QByteArray& bytes, const char* charset);
std::optional<QByteArray> EncodeCharset(const QString& text, const char* charset);

// Text that is not valid UTF-8 and has no byte-order mark: GB18030 or Big5,
// whichever decodes it strictly, and when both do, Big5 when its trail bytes
// (0x40-0x7E, which GBK uses only for rare characters) make a tenth or more of
// the two-byte characters; Latin-1 when neither decodes. Returns the charset
// it chose and the text.
struct TLegacyText {
  const char* Charset; // nullptr for Latin-1
  QString Text;
};
TLegacyText DecodeLegacyText(const QByteArray& bytes);
