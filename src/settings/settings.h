#pragma once

#include <QString>
#include <optional>

// The settings record, filled from the settings file by LoadSettings. Members
// keep the order of the file's keys; Server comes last as an addition of ours.
struct TParams {
  qint32 Direction = 0;       // 0 = English to Chinese, any other = Chinese to English
  qint32 ChineseLanguage = 0; // 0 = Simplified, 1 = Traditional
  bool AutoPaste = false;
  bool AutoCopy = false;
  QString DisplayLanguage;
  bool NoProxy = true;
  QString Address;
  QString Port; // converted to a number only where the proxy is applied
  QString UserName;
  QString Password;
  QString Server; // translation service address; empty = the built-in one
  // The proxy credentials' bytes as the file holds them: a value written in
  // a legacy code page goes to the proxy as those bytes, not as its text.
  QByteArray StoredUserName;
  QByteArray StoredPassword;
};

extern TParams Params;

// Full path of the settings file, formed once by FormSettingsFileName().
extern QString SettingsFileName;

// A portable copy keeps "Tralvesco.ini" beside the executable. An installed
// copy, and a portable one whose folder or file this user may not write, use
// the user's own file (UserSettingsFile), which starts as a byte copy of the
// system default (installed) or of the file beside the executable (portable)
// when there is one. Sets and returns SettingsFileName.
QString FormSettingsFileName();

// One open, one read or write, one close per call: every read sees every
// earlier write. A failed write throws ETralvescoError("Unable to write to <path>"), or
// the fault that made it fail (SettingsWriteFault).
bool IniReadBool(const QString& fileName, const QString& section, const QString& key,
                 bool defaultValue = false);
qint32 IniReadInteger(const QString& fileName, const QString& section, const QString& key,
                      qint32 defaultValue = 0);
QString IniReadString(const QString& fileName, const QString& section, const QString& key,
                      const QString& defaultValue = {});
void IniWriteBool(const QString& fileName, const QString& section, const QString& key, bool value);
void IniWriteInteger(const QString& fileName, const QString& section, const QString& key,
                     qint32 value);
void IniWriteString(const QString& fileName, const QString& section, const QString& key,
                    const QString& value);

// A value as long as a read returns it: its first 2047 characters.
QString CutToProfileLength(const QString& value);

// Integer text as the settings file stores it: decimal, or hexadecimal after
// "0x", "0X" or "$". Empty when the text does not convert.
std::optional<qint32> ParseIniInteger(const QString& text);

void LoadSettings();
