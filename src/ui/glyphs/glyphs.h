#pragma once

#include <QIcon>
#include <QString>

// The program's own 16 x 16 glyphs, drawn as SVG so they stay sharp at any
// scale and need no icon theme: open, clear, save, copy, paste, swap, print,
// help, translate, options, website, contact, about.
QIcon Glyph(const QString& name);

// The 32 x 16 pictures of the word for "Chinese characters" in simplified or
// traditional characters (with a double-resolution variant for HiDPI screens).
QIcon HanziPicture(bool traditional);
