#pragma once

#include <QString>

// Gives the whole application its look: reads the Qt style sheet skinFile (a
// bare name is taken from the program's folder, never the working directory)
// and applies it over the Fusion style. A missing or unreadable file leaves
// the application unskinned, silently. The second text is reserved and
// ignored. Call it before any window shows. True when a skin was applied.
bool SkinH_AttachEx(const QString& skinFile, const QString& second);
