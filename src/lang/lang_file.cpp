#include "lang/lang_file.h"

#include "core/app_error.h"
#include "settings/ini_file.h"
#include "settings/legacy_text.h"
#include "settings/settings.h"

namespace LangFile {

const char* CharsetOf(const QByteArray& fileBytes) {
  if (IsValidUtf8(fileBytes))
    return nullptr;
  // The key reader's own lines and numbers, so a line end or a spelling of
  // the number that one of them takes differently cannot split the two.
  const char* declared = nullptr;
  TIniText(fileBytes).ForEachKey(
      [&declared](const QByteArray&, const QByteArray& name, const QByteArray& value) {
        if (declared || !name.toLower().endsWith("_fontcharset"))
          return;
        const std::optional<qint32> charset = ParseIniInteger(TIniText::DecodeLegacyValue(value));
        if (charset == 134)
          declared = Gb18030Charset;
        else if (charset == 136)
          declared = Big5Charset;
      });
  if (declared)
    return declared;
  const char* found = DecodeLegacyText(fileBytes).Charset;
  return found ? found : Latin1Charset;
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
