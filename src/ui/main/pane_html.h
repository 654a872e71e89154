#pragma once

#include <QString>

// HTML the window writes into its panes around text it did not make.

// A translation as one block: its "<br>" tags (the service's line breaks)
// stay markup, every other character shows as the service returned it;
// blanks that HTML would collapse (runs of blanks, tabs, blanks at the
// ends of a line) keep their width.
QString TranslationBlock(const QString& translation);

// The pane's source with its content-type and charset declarations
// replaced by the UTF-8 header at its end: a document opened and saved
// again and again carries one declaration, not one more each time.
QString WithUtf8Header(const QString& html);
