#pragma once

#include <QString>
#include <QStringView>

// The prologue in front of the rebuilt source.

// The document-type line the engine puts in front of every saved document.
inline constexpr QStringView DefaultDocTypeLine =
    u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";

// What goes in front of the rebuilt html element: the document's prologue
// with the document-type line that docType asks for, ending in "\r\n" unless
// it is empty.
QString SourcePrologue(const QString& prologue, const QString& docType);
