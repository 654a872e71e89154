#pragma once

#include <QString>

// The short language tag in a screenshot's file name.
inline QString ScreenshotTag(const QString& language) {
  if (language == QLatin1String("Chinese-Simp"))
    return QStringLiteral("zh-CN");
  if (language == QLatin1String("Chinese-Trad"))
    return QStringLiteral("zh-TW");
  return language.left(2).toLower();
}
