#pragma once

#include "core/build_info.h"

#include <QString>

// What the program says about itself, kept in one place: the request's
// Referer, the help menu's links and the About box all read it from here.
namespace ProductInfo {
inline const QString Title = QStringLiteral("Tralvesco Translator");
inline const QString ApplicationTitle = QStringLiteral("Tralvesco");
inline const QString VersionNumber = QStringLiteral(TRALVESCO_VERSION);
inline const QString Version = QStringLiteral("Ver " TRALVESCO_VERSION);
// The command the program is started by, and the reverse-DNS id its desktop
// entry, icon and metadata are installed under.
inline const QString ProgramName = QStringLiteral(TRALVESCO_PROGRAM);
inline const QString DesktopId = QStringLiteral(TRALVESCO_APP_ID);
inline const QString Copyright =
    QStringLiteral("Copyright \u00A9 2026 Tralvesco Software. All rights reserved.");
inline const QString HomePage = QStringLiteral("http://www.tralvesco.com/");
inline const QString SupportMail = QStringLiteral("support@tralvesco.com");
} // namespace ProductInfo
