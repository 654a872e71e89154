#pragma once

#include <QFontDatabase>

class QWidget;

// Windows numbers a font's character set; Qt fonts have no such notion. A
// widget keeps the number as a property of its own (so a language file can
// set it and a template can write it back), and the number picks a writing
// system whose glyphs the font should prefer: a Chinese face is placed behind
// the chosen face, so Han characters come out in the right regional forms.
namespace FontCharset {
constexpr int Ansi = 0;
constexpr int Default = 1;
constexpr int ShiftJis = 128;
constexpr int Hangeul = 129;
constexpr int Gb2312 = 134;
constexpr int ChineseBig5 = 136;
constexpr int Greek = 161;
constexpr int Hebrew = 177;
constexpr int Arabic = 178;
constexpr int Russian = 204;
constexpr int Thai = 222;
} // namespace FontCharset

// The character set last given to the widget; Default when none was.
int FontCharsetOf(const QWidget* widget);

// Stores the number (0 to 255) and adjusts the widget's font families.
void SetFontCharset(QWidget* widget, int charset);

// Any for character sets that name no particular script.
QFontDatabase::WritingSystem WritingSystemForCharset(int charset);
