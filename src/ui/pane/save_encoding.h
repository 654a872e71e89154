#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a saved document: the local 8-bit encoding when it holds the
// text without loss (it is UTF-8 here, so only text with unpaired surrogates
// fails), otherwise UTF-16 little-endian after the byte-order mark FF FE.
// UTF-8 text beyond ASCII whose head declares no charset starts with the
// UTF-8 byte-order mark, so that it says what it is; a document that declares
// a charset is written as it is.
QByteArray EncodeSavedDocument(const QString& source);
