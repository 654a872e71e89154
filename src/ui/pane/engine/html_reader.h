#pragma once

#include "ui/pane/engine/engine_document.h"

#include <QString>
#include <QTextCursor>
#include <QUrl>
#include <functional>
#include <memory>

// A new document from HTML text, read with HTML5 rules: the head is kept as
// parsed nodes, the body is built into the text document.
std::unique_ptr<TEngineDocument> ReadHtmlDocument(const QString& html, const QUrl& location = {});

// HTML from the clipboard: read the same way, less scripts, event-handler
// attributes, script links and the content of embedded objects, so that a
// saved page never runs what another program put on the clipboard.
std::unique_ptr<TEngineDocument> ReadPastedHtmlDocument(const QString& html);

// A new document showing plain text: one line group, each line ("\r\n",
// "\n" or "\r" end one) a block of its own. When stopped() holds (asked
// now and then) the document holds only part of the text.
std::unique_ptr<TEngineDocument> ReadPlainTextDocument(const QString& text,
                                                       const QUrl& location = {},
                                                       const std::function<bool()>& stopped = {});

// Plain text as the document shows it: every line break one line separator,
// characters the text document reserves for its structure replaced.
QString PlainTextToDisplay(QStringView text);

// Ends the cursor's block with a line break whose format is `breakFormat`:
// the rest goes into a new block of the same element (a line start).
void StartLineBlock(QTextCursor& cursor, const QTextCharFormat& breakFormat);

// Inserts display text, a block for each line after the first.
void InsertDisplayLines(QTextCursor& cursor, QStringView display, const QTextCharFormat& format);
