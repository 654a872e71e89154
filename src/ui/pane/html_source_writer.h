#pragma once

#include "ui/pane/dom_tree.h"
#include "ui/pane/source_code_options.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The pane properties that shape the rebuilt source.
struct TSourceWriterSettings {
  TProfDHTMLEditSourceCodeOptions SourceCodeOptions = AllSourceCodeOptions;
  bool SourceCodePreservation = false;
  QString DOCTYPE;
  TProfDHTMLEditTagsSubstitution TagsSubstitution;
};

// The document's HTML source as the pane hands it out: rebuilt from the tree
// under the settings, the document's prologue (document-type line and
// comments before <html>) in front; with SourceCodePreservation the engine's
// own serialisation of the tree, tidied. Nothing when the document cannot be
// written (not exactly one html element, a node that cannot be written, out
// of memory).
std::optional<QString> RebuildSource(const TDomDocument& document, const QString& prologue,
                                     const TSourceWriterSettings& settings);

// The engine's raw saved source decoded by its byte-order mark: UTF-16LE after
// FF FE, UTF-8 after EF BB BF, otherwise the local 8-bit encoding.
QString DecodeSavedSource(const QByteArray& bytes);
