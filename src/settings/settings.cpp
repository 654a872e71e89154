#include "settings/settings.h"

#include "core/app_error.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "settings/settings_place.h"

TParams Params;
QString SettingsFileName;

namespace {

using SettingsSection::Connection;
using SettingsSection::General;

// Longest value a read returns, as the 2048-byte buffer of the original
// profile functions allowed.
constexpr qsizetype MaxValueLength = 2047;

void WriteOrThrow(const QString& fileName, const QString& section, const QString& key,
                  const QString& value) {
  if (!IniFile::Write(fileName, section, key, value))
    throw ETralvescoError(SettingsWriteFault(fileName));
}

} // namespace

std::optional<qint32> ParseIniInteger(const QString& text) {
  QStringView s = QStringView(text).trimmed();
  bool negative = false;
  if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
    negative = s.front() == u'-';
    s = s.mid(1);
  }
  int base = 10;
  if (s.startsWith(u'$')) {
    base = 16;
    s = s.mid(1);
  } else if (s.startsWith(u"0x", Qt::CaseInsensitive) && s.size() > 2) {
    base = 16;
    s = s.mid(2);
  }
  if (s.isEmpty())
    return std::nullopt;
  quint64 magnitude = 0;
  for (const QChar c : s) {
    const int digit = base == 16 && c.isLetter() && c.toLower() >= u'a' && c.toLower() <= u'f'
                          ? c.toLower().unicode() - u'a' + 10
                          : (c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1);
    if (digit < 0 || digit >= base)
      return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFull)
      return std::nullopt;
  }
  if (base == 16) {
    // Hexadecimal spells the 32-bit pattern: $FFFFFFFF is -1.
    const auto pattern = static_cast<quint32>(magnitude);
    const auto value = static_cast<qint32>(pattern);
    return negative ? static_cast<qint32>(0u - pattern) : value;
  }
  const qint64 value = negative ? -static_cast<qint64>(magnitude) : static_cast<qint64>(magnitude);
  if (value < INT32_MIN || value > INT32_MAX)
    return std::nullopt;
  return static_cast<qint32>(value);
}

QString CutToProfileLength(const QString& value) {
  qsizetype length = qMin(value.size(), MaxValueLength);
  // Never cut a character outside the Basic Multilingual Plane in two.
  if (length < value.size() && length > 0 && value.at(length - 1).isHighSurrogate())
    --length;
  return value.left(length);
}

QString IniReadString(const QString& fileName, const QString& section, const QString& key,
                      const QString& defaultValue) {
  const std::optional<QString> value = IniFile::Read(fileName, section, key);
  if (!value)
    return defaultValue;
  return CutToProfileLength(*value);
}

qint32 IniReadInteger(const QString& fileName, const QString& section, const QString& key,
                      qint32 defaultValue) {
  const std::optional<QString> text = IniFile::Read(fileName, section, key);
  if (!text)
    return defaultValue;
  return ParseIniInteger(*text).value_or(defaultValue);
}

bool IniReadBool(const QString& fileName, const QString& section, const QString& key,
                 bool defaultValue) {
  return IniReadInteger(fileName, section, key, defaultValue ? 1 : 0) != 0;
}

void IniWriteString(const QString& fileName, const QString& section, const QString& key,
                    const QString& value) {
  WriteOrThrow(fileName, section, key, value);
}

void IniWriteInteger(const QString& fileName, const QString& section, const QString& key,
                     qint32 value) {
  WriteOrThrow(fileName, section, key, QString::number(value));
}

void IniWriteBool(const QString& fileName, const QString& section, const QString& key, bool value) {
  WriteOrThrow(fileName, section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void LoadSettings() {
  const QString& f = SettingsFileName;
  Params.Direction = IniReadInteger(f, General, SettingsKey::Direction);
  Params.AutoPaste = IniReadBool(f, General, SettingsKey::AutoPaste);
  Params.AutoCopy = IniReadBool(f, General, SettingsKey::AutoCopy);
  Params.ChineseLanguage = IniReadInteger(f, General, SettingsKey::ChineseLanguage);
  Params.DisplayLanguage = IniReadString(f, General, SettingsKey::DisplayLanguage);
  // A missing or empty NoProxy means a direct connection.
  Params.NoProxy = IniReadBool(f, Connection, SettingsKey::NoProxy);
  if (IniReadString(f, Connection, SettingsKey::NoProxy).isEmpty())
    Params.NoProxy = true;
  Params.Address = IniReadString(f, Connection, SettingsKey::Address);
  Params.Port = IniReadString(f, Connection, SettingsKey::Port);
  Params.UserName = IniReadString(f, Connection, SettingsKey::UserName);
  Params.Password = IniReadString(f, Connection, SettingsKey::Password);
  Params.Server = IniReadString(f, Connection, SettingsKey::Server);
  Params.StoredUserName =
      IniFile::ReadBytes(f, Connection, SettingsKey::UserName).value_or(QByteArray());
  Params.StoredPassword =
      IniFile::ReadBytes(f, Connection, SettingsKey::Password).value_or(QByteArray());
}
