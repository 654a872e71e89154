#pragma once

#include "ui/pane/engine/engine_document.h"
#include "ui/pane/engine/gumbo_document.h"

// The parts of a document the pane never shows, kept in its TDocumentFrame
// as parsed so the writer puts them back: what stands before <html>, and the
// head (meta, title, base, style, script).

// The DOCTYPE line (the default one when the document has none) and the
// comments in front of <html>, each ending a line.
QString ReadPrologue(const TGumboDocument& parsed);

// The head element's attributes and its nodes, added to the frame.
void ReadHead(const TGumboDocument& parsed, const GumboNode& head, TDocumentFrame& frame);

// A head node as the writer wants it: scripts and styles with their raw
// text, whitespace between elements dropped (the writer indents itself).
// False when there is nothing to keep. Also used for head elements the
// parser left in the body.
bool KeepHeadNode(const TGumboDocument& parsed, const GumboNode* node, TKeptNode& kept, int depth);
