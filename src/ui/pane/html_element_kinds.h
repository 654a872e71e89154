#pragma once

#include <QString>
#include <QStringView>

// What the source writer needs to know about element and attribute names
// (looked up in lower case; unknown names get all flags false).

struct TElementKind {
  // Written without content or end tag ("<br />").
  bool Empty = false;
  // Whitespace around it is never rendered: it may go on a line of its own
  // when its parent holds nothing but such elements.
  bool BlockLike = false;
  // Its content keeps every blank as typed, so the writer adds none inside.
  bool WhitespaceSensitive = false;
  // Its text children are read back verbatim, without entity decoding.
  bool RawText = false;
  // A parser drops one line break right after its start tag.
  bool DropsLeadingNewline = false;
  // Shown as an empty line or cell, which gets a no-break space under AddNbsp.
  bool TextBlock = false;
};

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

TElementKind ElementKindOf(const QString& lowerName);
TAttributeKind AttributeKindOf(const QString& lowerName);

// A style text that keeps blanks as typed ("white-space: pre-wrap").
bool StyleKeepsWhitespace(QStringView style);
