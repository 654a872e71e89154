#pragma once

#include <QString>

// HTML from the clipboard as the pane reads it: the clipboard's fragment
// markers go, and rich text written by Qt (another pane, another Qt
// program) loses the toolkit's private style properties and the zero
// margins it writes on every paragraph, so they never reach a saved file.
QString CleanPastedHtml(const QString& html);
