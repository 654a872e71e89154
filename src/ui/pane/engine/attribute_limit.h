#pragma once

#include <QByteArray>

// The most attributes one tag keeps when a document is read. The HTML
// parser checks each new attribute of a tag against all before it, so a
// tag with n attributes costs n * n / 2 comparisons: a paragraph with
// 100,000 of them held a core for half a minute. No document a person
// writes comes near this many on one element.
inline constexpr int MaxTagAttributes = 128;

// The UTF-8 markup with every attribute of a tag after its first maxCount
// removed (the tag's name, its first attributes and its end stay); the
// input unchanged when no tag has more. Comments, processing instructions
// and the text of script, style and the other raw-text elements are
// passed over, as the parser passes over them.
QByteArray LimitAttributes(const QByteArray& utf8, int maxCount = MaxTagAttributes);
