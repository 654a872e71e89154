#pragma once

#include "ui/pane/dom_tree.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <gumbo.h>
#include <memory>
#include <vector>

// One parse by gumbo. Gumbo's nodes point into the input buffer, so the
// buffer lives exactly as long as the output.
class TGumboDocument {
public:
  explicit TGumboDocument(const QString& html);
  TGumboDocument(const TGumboDocument&) = delete;
  TGumboDocument& operator=(const TGumboDocument&) = delete;

  const GumboOutput& Output() const { return *FOutput; }

  // Gumbo leaves text that stands right before </form> behind the form: it
  // takes the form off its stack before placing the text it holds back. An
  // empty comment in front of each </form> makes it place the text first;
  // such a comment is this parse's own and no node of the document.
  bool IsMarker(const GumboNode& node) const;

  // Gumbo's tree builder looks through the whole stack of open elements for
  // most start tags, so parsing time grows with the square of the nesting
  // depth (20,000 nested divs take a second, 100,000 half a minute), and it
  // frees its tree recursively. Deeper markup than this is flattened first.
  static constexpr int MaxNestingDepth = 1000;
  // Gumbo checks each new attribute of a tag against all before it, so a
  // tag with n attributes costs n * n / 2 comparisons: a paragraph with
  // 100,000 of them held a core for half a minute. No document a person
  // writes comes near this many on one element; those beyond are left out.
  static constexpr int MaxTagAttributes = 128;

private:
  struct TOutputDeleter {
    void operator()(GumboOutput* output) const {
      gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
  };

  QByteArray MarkFormEnds(const QByteArray& utf8);

  std::vector<qsizetype> FMarkers; // buffer offsets of the markers, ascending
  QByteArray FBuffer;
  std::unique_ptr<GumboOutput, TOutputDeleter> FOutput;
};

// The UTF-8 text with the start and end tags that would nest deeper than
// maxDepth removed (text and everything else stay), and each tag's
// attributes after its first maxAttributes; the input unchanged when there
// are none such. Comments and the text of raw-text elements are passed
// over, as the parser passes over them. The nesting count follows tags
// naively, ignoring those that a parser closes by itself, so it errs
// towards removing too few.
QByteArray LimitTags(const QByteArray& utf8, int maxDepth, int maxAttributes);

// Element name as gumbo reports it, lower case (the original text for
// elements gumbo does not know).
QString GumboTagName(const GumboElement& element);
QString FromGumbo(const char* text);

// Reading gumbo's nodes, for the parts of the reader.
QList<TDomAttribute> GumboAttributes(const GumboElement& element);
const GumboNode* Child(const GumboVector& children, unsigned i);
bool IsElement(const GumboNode* node);
// A text node's text, or the text right inside an element.
QString TextOf(const GumboNode* node);
// A comment as it was written, "<!--" to "-->".
QString CommentSource(const GumboNode* node);
