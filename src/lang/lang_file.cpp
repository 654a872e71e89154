#include "lang/lang_file.h"

#include "core/app_error.h"
#include "settings/ini_file.h"
#include "settings/legacy_text.h"
#include "settings/settings.h"

#include <QRegularExpression>

namespace LangFile {

const char* CharsetOf(const QByteArray& fileBytes) {
  if (IsValidUtf8(fileBytes))
    return nullptr;
  static const QRegularExpression charsetLine(
      QStringLiteral(R"(^[ \t]*[A-Za-z0-9_]*_FontCharset[ \t]*=[ \t]*(\d+)[ \t]*$)"),
      QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
  // Line ends of any kind: a lone carriage return ends a line too.
  QString text = QString::fromLatin1(fileBytes);
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  for (QRegularExpressionMatchIterator it = charsetLine.globalMatch(text); it.hasNext();) {
    const int charset = it.next().captured(1).toInt();
    if (charset == 134)
      return Gb18030Charset;
    if (charset == 136)
      return Big5Charset;
  }
  const char* found = DecodeLegacyText(fileBytes).Charset;
  return found ? found : "ISO-8859-1";
}

QString ReadString(const QString& path, const QString& section, const QString& key) {
  return CutToProfileLength(IniFile::Read(path, section, key, &CharsetOf).value_or(QString()));
}

qint32 ReadInteger(const QString& path, const QString& section, const QString& key,
                   qint32 defaultValue) {
  const std::optional<QString> text = IniFile::Read(path, section, key, &CharsetOf);
  return text ? ParseIniInteger(*text).value_or(defaultValue) : defaultValue;
}

void WriteString(const QString& path, const QString& section, const QString& key,
                 const QString& value) {
  if (!IniFile::Write(path, section, key, value, &CharsetOf))
    throw ETralvescoError(QStringLiteral("Unable to write to %1").arg(path));
}

} // namespace LangFile
