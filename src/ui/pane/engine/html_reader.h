#pragma once

#include "ui/pane/engine/engine_document.h"

#include <QString>
#include <QUrl>
#include <memory>

// A new document from HTML text, read with HTML5 rules: the head is kept as
// parsed nodes, the body is built into the text document.
std::unique_ptr<TEngineDocument> ReadHtmlDocument(const QString& html, const QUrl& location = {});

// A new document showing plain text: one block, its line breaks ("\r\n",
// "\n" or "\r") as line separators.
std::unique_ptr<TEngineDocument> ReadPlainTextDocument(const QString& text,
                                                       const QUrl& location = {});

// Plain text as the document shows it: every line break one line separator,
// characters the text document reserves for its structure replaced.
QString PlainTextToDisplay(QStringView text);
