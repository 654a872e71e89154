// The INI text on arbitrary files: parse, read, write one value, read it back
// from the text and from the text written out and parsed again, and check a
// second key is left as it was. The input is the file, then, each after the
// bytes 01 02 03 (which no text file holds, UTF-16 ones included), the
// section, the key, the value to write and, when present, the legacy code
// page the file is in (a part starting with 'B' is Big5, any other GB18030).
#include "fuzz_parts.h"
#include "settings/ini_file.h"
#include "settings/legacy_text.h"

#include <QList>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
  if (!condition)
    std::abort();
}

// Section and key names are the program's own: letters, digits, '_'.
QString Name(const QByteArray& raw, const char* fallback) {
  QString name;
  for (const char c : raw)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')
      name += QLatin1Char(c);
  return name.isEmpty() ? QString::fromLatin1(fallback) : name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QList<QByteArray> parts = FuzzParts(input);
  const QByteArray file = parts.value(0);
  const QString section = Name(parts.value(1), "General");
  const QString key = Name(parts.value(2), "Direction");
  const QString value = QString::fromUtf8(parts.value(3));
  const QString otherKey = key + QStringLiteral("_other");

  const char* charset = nullptr;
  if (parts.size() > 4)
    charset = parts[4].startsWith('B') ? Big5Charset : Gb18030Charset;

  TIniText text(file, charset);
  const std::optional<QString> otherBefore = text.Read(section, otherKey);
  const QByteArray before = text.ToBytes();
  if (!text.Write(section, key, value)) {
    // The code page cannot hold the value: nothing is written.
    Check(charset != nullptr && text.ToBytes() == before);
    return 0;
  }

  // Line breaks cannot live in a one-line value, nor a NUL in a text file;
  // they are stored as blanks.
  QString expected = value;
  expected.replace(QLatin1Char('\r'), QLatin1Char(' '))
      .replace(QLatin1Char('\n'), QLatin1Char(' '))
      .replace(QChar(u'\0'), QLatin1Char(' '));
  Check(text.Read(section, key) == expected);
  const QByteArray written = text.ToBytes();
  const TIniText reread(written, charset);
  Check(reread.Read(section, key) == expected);
  Check(reread.Read(section, otherKey) == otherBefore);
  // Writing the same value again changes nothing.
  TIniText again(written, charset);
  again.Write(section, key, value);
  Check(again.ToBytes() == written);
  return 0;
}
