#pragma once

#include <QString>

// The folder of the running executable, with a trailing '/'. Language files,
// the skin, the resource module and (normally) the settings file live there,
// so the working directory never matters.
QString ProgramDir();

// Where a data file (or folder) shipped with the program is: beside the
// executable when it is there, as in the build folder; otherwise in
// ../share/tralvesco/ next to the executable's folder, where an installed
// copy keeps it. When neither holds it, the path beside the executable, so
// a message about the missing file names the place looked first.
QString ProgramDataPath(const QString& relative);

// True for a copy installed under a prefix: its data lives in
// ../share/tralvesco/ and not beside the executable. Such a copy never writes
// under its prefix. A build folder, or a folder unpacked with Languages/
// beside the program, is a portable copy.
bool IsInstalledCopy();

// Tests point the program at a folder of their own.
void SetProgramDirForTesting(const QString& dir);
