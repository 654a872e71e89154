#pragma once

#include "ui/pane/dom_tree.h"
#include "ui/pane/engine/engine_document.h"

#include <memory>

// The document tree the source writer reads: html, the kept head and the
// body rebuilt from the text document's blocks and runs, whose element
// chains are regrouped into elements. Formatting added in the pane becomes
// the elements an HTML editor writes (<font face=...>, <strong>, ...).
// defaultBlockTag ("div" or "p") is the element of a paragraph the pane made
// out of text that had none.
std::unique_ptr<TDomDocument> BuildDomDocument(const TEngineDocument& document,
                                               const QString& defaultBlockTag);
