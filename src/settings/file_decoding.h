#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// How a file's bytes become the pane's text. No GUI here: the decoder runs on
// the reading thread and under the fuzzer.

enum class TFileEncoding {
  Marked,      // UTF-8, UTF-16 or UTF-32 after its byte-order mark
  Utf8,        // valid UTF-8
  DamagedUtf8, // UTF-8 with a few bad bytes, each shown as U+FFFD
  Latin1,      // declared by an HTML file's markup
  Gb18030,
  Big5,
  Windows1252, // nothing else fits; every byte is still some character
};

struct TDecodedText {
  QString Text;
  TFileEncoding Encoding = TFileEncoding::Utf8;
};

// Text in UTF-8, UTF-16/32 with a byte-order mark, an HTML file's declared
// 8-bit charset, or the local 8-bit encoding (UTF-8 here). UTF-8 with a few bad
// bytes stays UTF-8, each bad byte a U+FFFD. Other bytes are text in a legacy
// code page: GB18030 or Big5 as DecodeLegacyText tells them apart (strictly:
// the text encodes back to the same bytes), and Windows-1252 when neither
// fits. A declared UTF-16 or UTF-32 is not believed: markup readable as ASCII
// is not in either.
TDecodedText DecodePaneBytes(const QByteArray& bytes, bool html);
QString DecodePaneFile(const QByteArray& bytes, bool html);

// Plain text with each control character other than tab, line feed, form
// feed and carriage return (NUL among them) replaced by U+FFFD.
QString ShowableText(QString text);

// HTML by extension; other names only when the text starts like a document.
bool LooksLikeHtml(const QString& path, QStringView text);

// Whether a file starting with these bytes is an HTML document: its text,
// ASCII blanks skipped, starts with "<!doctype html" or "<html". Nothing while
// the bytes so far are blanks or the start of one of those, unless `complete`
// says there are no more.
std::optional<bool> StartsLikeHtml(const QByteArray& start, bool complete);

// LooksLikeHtml for a file whose bytes are all here, however many blanks
// come first.
bool IsHtmlFile(const QString& path, const QByteArray& bytes);
