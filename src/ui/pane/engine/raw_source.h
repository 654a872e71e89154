#pragma once

#include "ui/pane/dom_tree.h"
#include "ui/pane/html_links.h"

#include <QByteArray>
#include <QString>

// The engine's own serialisation of its document, as saved into a memory
// stream: UTF-8 with a byte-order mark, the prologue (document-type line and
// comments before <html>) in front. Only a preserved source is handed out
// this way, tidied as the rebuilt source is: the first title's blanks
// collapsed as a title bar shows them, link attributes rewritten.
QByteArray SerializeRawSource(const TDomDocument& document, const QString& prologue,
                              const TLinkRewriting& links);
