#pragma once

#include <QString>

// What the program says about itself, kept in one place: the request's
// Referer, the help menu's links and the About box all read it from here.
namespace ProductInfo {
inline const QString Title = QStringLiteral("Tralvesco Translator");
inline const QString ApplicationTitle = QStringLiteral("Tralvesco");
inline const QString Version = QStringLiteral("Ver 2.0.0");
inline const QString Copyright =
    QStringLiteral("Copyright \u00A9 2026 Tralvesco Software. All rights reserved.");
inline const QString HomePage = QStringLiteral("http://www.tralvesco.com/");
inline const QString SupportMail = QStringLiteral("support@tralvesco.com");
} // namespace ProductInfo
