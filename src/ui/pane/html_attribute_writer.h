#pragma once

#include "ui/pane/dom_tree.h"
#include "ui/pane/html_links.h"
#include "ui/pane/source_builder.h"
#include "ui/pane/source_code_options.h"

#include <QString>
#include <vector>

// The attributes of a start tag as the source writer writes them.

struct TWrittenAttribute {
  QString Name;
  QString Value;
  bool Boolean = false;
};

// Fills attributes (cleared first, so one vector serves every element) with
// what the start tag of the element holds under the options: names that
// read back, no engine bookkeeping, no unspecified defaults that carry no
// state, links rewritten.
void CollectAttributes(const TDomNode& node, const QString& lowerTag,
                       TProfDHTMLEditSourceCodeOptions options, const TLinkRewriting& links,
                       std::vector<TWrittenAttribute>& attributes);

// The META an HTML editor adds to name itself, which the writer leaves out.
bool IsGeneratorMeta(const std::vector<TWrittenAttribute>& attributes);

// Each attribute with its leading blank. slashEnds: the tag ends with "/>"
// right after the last attribute, which an unquoted value would take as its
// own last character ("a.png/").
void WriteAttributes(const std::vector<TWrittenAttribute>& attributes,
                     TProfDHTMLEditSourceCodeOptions options, bool slashEnds, TSourceBuilder& out);
