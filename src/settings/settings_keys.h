#pragma once

#include <QString>

// The settings file's sections and keys, spelled in one place. Files already
// stored rely on these exact names, letter case included.
namespace SettingsSection {
inline const QString General = QStringLiteral("General");
inline const QString Connection = QStringLiteral("Connection");
} // namespace SettingsSection

namespace SettingsKey {
// General
inline const QString Translator = QStringLiteral("Translator");
inline const QString Direction = QStringLiteral("Direction");
inline const QString AutoPaste = QStringLiteral("AutoPaste");
inline const QString AutoCopy = QStringLiteral("AutoCopy");
inline const QString ChineseLanguage = QStringLiteral("ChineseLanguage");
inline const QString DisplayLanguage = QStringLiteral("DisplayLanguage");
// Connection
inline const QString NoProxy = QStringLiteral("NoProxy");
inline const QString Address = QStringLiteral("Address");
inline const QString Port = QStringLiteral("Port");
inline const QString UserName = QStringLiteral("UserName");
inline const QString Password = QStringLiteral("Password");
inline const QString Server = QStringLiteral("Server");
} // namespace SettingsKey
