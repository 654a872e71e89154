#pragma once

#include "ui/pane/html_links.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// Pieces of the engine's raw saved source that the rebuilt source reuses.

// The document-type line the engine puts in front of every saved document.
inline constexpr QStringView DefaultDocTypeLine =
    u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";

// What goes in front of the rebuilt html element: everything the raw source
// has before its html start tag, with the document-type line that docType
// asks for, ending in "\r\n" unless it is empty.
QString SavedSourcePrologue(const QString& raw, const QString& docType);

// Every complete script block ("<script" ... "</script>") of the raw
// source's head, in order.
QStringList SavedHeadScripts(const QString& raw);

// The raw source as handed out when the source is preserved: the document
// title's blanks collapsed as a title bar shows them, and links rewritten as
// in the rebuilt source (against the raw source's own BASE element).
QString TidySavedSource(const QString& raw, TLinkRewriting links);
