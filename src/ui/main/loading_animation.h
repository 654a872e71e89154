#pragma once

#include <QString>

class QLabel;

// File name of the resource module beside the executable that holds the
// loading animation as resource type "GIF", name "BAR".
inline const QString ResourceModuleName = QStringLiteral("KorvalineSys.DLL");

// Plays the named GIF resource of the resource module in the image, which
// sizes itself to the picture. Throws ETralvescoError "Resource %s not found"
// (the name in upper case) when the module or the resource is missing.
void ShowLoadingAnimation(QLabel* image, const QString& name);

// Leaves the image without a picture.
void HideLoadingAnimation(QLabel* image);
