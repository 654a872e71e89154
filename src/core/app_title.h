#pragma once

#include <QString>

// The application title: the caption of application-titled message boxes,
// the error box and the pane's messages alike. Kept apart from
// QGuiApplication::applicationDisplayName, which the platform would append
// to every window title. Until it is set it is the application name.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);
