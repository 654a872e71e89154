// A language file of any bytes under the template mode's write-back: a key
// that reads as empty (or a font number that is none) gets the value written, which then reads back
// as written (or the file is left exactly as it was), every other key reads as before, and the next
// pass writes nothing. The input is the file, then, each after the bytes 01 02 03, the section, the
// key and the value.
#include "fuzz_parts.h"
#include "lang/lang_file.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

#include <QList>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

void Check(bool condition) {
  if (!condition)
    std::abort();
}

// Section and key names are the program's own: letters, digits and '_' (a
// class or component name), in a key also the brackets of an index.
QString Name(const QByteArray& raw, const char* fallback, bool key) {
  QString name;
  for (const char c : raw)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
        (key && (c == '[' || c == ']') && !name.isEmpty()))
      name += QLatin1Char(c);
  return name.isEmpty() ? QString::fromLatin1(fallback) : name;
}

QString ReadFrom(const QByteArray& bytes, const QString& section, const QString& key) {
  return CutToProfileLength(
      TIniText(bytes, LangFile::CharsetOf(bytes)).Read(section, key).value_or(QString()));
}

using TKeys = QList<std::pair<QString, QString>>;

TKeys KeysOf(const QByteArray& bytes) {
  TKeys keys;
  TIniText(bytes).ForEachKey(
      [&keys](const QByteArray& section, const QByteArray& name, const QByteArray&) {
        keys.append({QString::fromUtf8(section), QString::fromUtf8(name)});
      });
  return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QList<QByteArray> parts = FuzzParts(input);
  const QByteArray file = parts.value(0);
  const QString section = Name(parts.value(1), "TfrmMain", false);
  const QString key = Name(parts.value(2), "btnGo_Caption", true);
  const QString value = QString::fromUtf8(parts.value(3));

  // The template mode writes a text that has no translation, and a font's
  // size or character set that is no number.
  const QString current = ReadFrom(file, section, key);
  const bool numberKey = key.endsWith(QLatin1String("_FontSize"), Qt::CaseInsensitive) ||
                         key.endsWith(QLatin1String("_FontCharset"), Qt::CaseInsensitive);
  if (!current.isEmpty() && !(numberKey && !ParseIniInteger(current)))
    return 0;
  const std::optional<QByteArray> written =
      IniFile::Rewritten(file, section, key, value, &LangFile::CharsetOf);
  if (!written || *written == file)
    return 0; // not text the writer understands, or a value left out

  QString expected = value;
  expected.replace(QLatin1Char('\r'), QLatin1Char(' '))
      .replace(QLatin1Char('\n'), QLatin1Char(' '))
      .replace(QChar(u'\0'), QLatin1Char(' '));
  Check(ReadFrom(*written, section, key) == CutToProfileLength(expected));
  Check(LangFile::CharsetOf(*written) == LangFile::CharsetOf(file));
  for (const auto& [otherSection, otherKey] : KeysOf(file)) {
    if (otherSection.compare(section, Qt::CaseInsensitive) == 0 &&
        otherKey.compare(key, Qt::CaseInsensitive) == 0)
      continue;
    Check(ReadFrom(*written, otherSection, otherKey) == ReadFrom(file, otherSection, otherKey));
  }
  // The next pass finds the value (or, for an empty one, writes it again
  // without a change).
  const std::optional<QByteArray> again =
      IniFile::Rewritten(*written, section, key, value, &LangFile::CharsetOf);
  Check(again && *again == *written);
  return 0;
}
