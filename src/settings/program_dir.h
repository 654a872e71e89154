#pragma once

#include <QString>

// The folder of the running executable, with a trailing '/'. Language files,
// the skin, the resource module and (normally) the settings file live there,
// so the working directory never matters.
QString ProgramDir();

// Tests point the program at a folder of their own.
void SetProgramDirForTesting(const QString& dir);
