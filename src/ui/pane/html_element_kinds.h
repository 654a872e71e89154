#pragma once

#include <QString>
#include <QStringView>
#include <span>

// What every part of the pane knows about element and attribute names: the
// reader, the style rules, the source writer and the scanners all ask here,
// so they cannot disagree. Names are looked up in lower case; unknown names
// get no facts (inline, markup content, no formatting).

// How the text inside an element is read.
enum class TElementContent : unsigned char {
  Markup,
  // Text only, character references decoded (title, textarea).
  EscapableText,
  // Text only, taken verbatim up to the end tag (script, style, ...).
  RawText,
  // Verbatim to the end of the input: no end tag ends it.
  PlainText,
};

// What an element does to the look of the text inside it, whatever its
// attributes say (links and fonts depend on theirs).
enum class TElementFormatting : unsigned char {
  None,
  Bold,
  Italic,
  Underline,
  StrikeOut,
  Subscript,
  Superscript,
  Monospace,
  Bigger,
  Smaller,
  Marked,
  Heading,
};

struct TElementKind {
  QStringView Name;
  // Written without content or end tag ("<br />"); a reader never puts
  // anything inside.
  bool Void = false;
  // Shown as a block of its own (lines above and below).
  bool Block = false;
  // Never shown as a box in the text: the document's frame, head content,
  // table columns, frames and templates.
  bool Hidden = false;
  // Its content keeps every blank as typed.
  bool KeepsWhiteSpace = false;
  // A reader drops one line break right after its start tag.
  bool DropsLeadingNewline = false;
  // Shown as an empty line or cell when empty, which gets a no-break space
  // under AddNbsp.
  bool TextBlock = false;
  // Only formats, so an edit that takes the formatting away removes it.
  bool PureFormatting = false;
  TElementContent Content = TElementContent::Markup;
  TElementFormatting Formatting = TElementFormatting::None;

  // Whitespace around it never shows, so a line break may go there.
  bool BlockLike() const { return Block || Hidden; }
  // Its text is read back without character references decoded.
  bool RawText() const {
    return Content == TElementContent::RawText || Content == TElementContent::PlainText;
  }
  // A scanner steps over its content instead of reading it as markup.
  bool TextOnly() const { return Content != TElementContent::Markup; }
};

const TElementKind& ElementKindOf(QStringView lowerName);
// Every element with facts of its own.
std::span<const TElementKind> KnownElements();

struct TAttributeKind {
  // Its mere presence switches something on ("checked").
  bool Boolean = false;
  // Its value is an address (href, src, background, ...).
  bool Link = false;
  // Reported even when not specified, because it carries the element's
  // state: class, align, value, selected.
  bool CarriesState = false;
  // Carries the state of an AREA element: shape, coords.
  bool AreaState = false;
  // The engine's own bookkeeping, never written: DESIGNTIMESP, DESIGNTIMEURL.
  bool EngineBookkeeping = false;
};

TAttributeKind AttributeKindOf(const QString& lowerName);
