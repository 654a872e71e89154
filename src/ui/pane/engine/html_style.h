#pragma once

#include "ui/pane/engine/element_chain.h"

#include <QColor>
#include <QStringView>
#include <QTextBlockFormat>
#include <QTextCharFormat>

// How the engine shows the HTML it reads. The reader applies these rules
// element by element; the source rebuilding applies the same rules to a
// run's chain to tell formatting the document had from formatting added in
// the pane, so both sides must use exactly these functions.
namespace HtmlVocabulary {

// Elements that start their own block (lines above and below).
bool IsBlock(QStringView tag);
// Elements without content or end tag.
bool IsVoid(QStringView tag);
// Blocks that keep every blank and line feed of their text.
bool IsPreformatted(QStringView tag);
bool IsHeading(QStringView tag);
bool IsListContainer(QStringView tag);
// Elements that belong in the head wherever they appear.
bool IsHeadElement(QStringView tag);
// Elements whose content is a script, fallback or raw text and never shown
// as text of the document: left out of the body.
bool IsNeverShown(QStringView tag);

} // namespace HtmlVocabulary

namespace HtmlStyle {

// Point size of the document's default font: "font size=3" and 1em.
inline constexpr double BasePointSize = 12.0;

// "font size" 1..7 in points.
double FontSizeToPoints(int htmlSize);
// The "font size" that shows exactly that many points, or 0.
int PointsToFontSize(double points);

QColor ParseColor(QStringView text);
QString ColorText(const QColor& color);

// The char formatting an element gives to the text inside it.
void ApplyCharStyle(const TElementRef& element, QTextCharFormat& format);
// The block formatting an element gives to the blocks inside it.
void ApplyBlockStyle(const TElementRef& element, QTextBlockFormat& format);

// A property of a style attribute ("font-weight: bold; color: red").
QString StyleProperty(QStringView style, QStringView name);

// Blocks whose text keeps every blank, tab and line feed: preformatted
// elements and those styled so ("white-space: pre-wrap").
bool KeepsBlanks(const TElementRef& element);
// A style under which line breaks show ("white-space: pre-line" too), so
// none may be added inside.
bool StyleKeepsLineBreaks(QStringView style);

// Effective values of a char format, with the document's defaults for
// properties the format does not set.
QStringList Families(const QTextCharFormat& format);
double PointSize(const QTextCharFormat& format);
bool IsBold(const QTextCharFormat& format);

} // namespace HtmlStyle
