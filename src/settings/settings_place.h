#pragma once

#include <QString>

// Where this copy of the program keeps its settings file, and what to tell
// the user when that file cannot be used.

// The user's own settings file: Tralvesco/Tralvesco.ini in the user's
// configuration folder ($XDG_CONFIG_HOME, else ~/.config).
QString UserSettingsFile();

// The administrator's default for every user of an installed copy: the first
// tralvesco/Tralvesco.ini among the system configuration folders
// ($XDG_CONFIG_DIRS, else /etc/xdg). Empty when there is none.
QString SystemSettingsFile();

// The message for a settings file that could not be written: it names what
// really failed (reading the old contents, a folder in the way, the write
// itself) and the path the user can mend.
QString SettingsWriteFault(const QString& path);
