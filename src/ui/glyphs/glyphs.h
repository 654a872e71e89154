#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own 16 x 16 glyphs, drawn as SVG so they stay sharp at any
// scale and need no icon theme: open, clear, save, copy, paste, swap, print,
// help, translate, options, website, contact, about. They are shown from
// pixels rendered at build time (see TPixelIconEngine), so the first paint
// loads neither Qt's SVG support nor its image plugins.
QIcon Glyph(const QString& name);

// The program's icon, drawn the same way from its SVG.
QIcon ProgramIcon();

// The frame the Fusion style draws around a group box, from the same pixels
// as the style's own picture; null if it is missing.
QPixmap GroupBoxFramePixmap();

// The 32 x 16 pictures of the word for "Chinese characters" in simplified or
// traditional characters (with a double-resolution variant for HiDPI screens).
QIcon HanziPicture(bool traditional);
