#pragma once

#include "ui/pane/dom_tree.h"

#include <QByteArray>
#include <QString>

// The engine's own serialisation of its document, as saved into a memory
// stream: UTF-8 with a byte-order mark, the prologue (document-type line and
// comments before <html>) in front. Only a preserved source is handed out
// this way.
QByteArray SerializeRawSource(const TDomDocument& document, const QString& prologue);
