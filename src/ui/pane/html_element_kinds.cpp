#include "ui/pane/html_element_kinds.h"

#include <QHash>
#include <initializer_list>

namespace {

// One hash lookup per element and attribute: the writer runs these for every
// node of documents with tens of thousands of them.
template <typename TKind>
void Mark(QHash<QString, TKind>& table, std::initializer_list<const char16_t*> names,
          bool TKind::*property) {
  for (const char16_t* name : names)
    table[QString::fromUtf16(name)].*property = true;
}

const QHash<QString, TElementKind>& ElementKinds() {
  static const QHash<QString, TElementKind> table = [] {
    QHash<QString, TElementKind> t;
    Mark(t,
         {u"area", u"base", u"basefont", u"br", u"col", u"frame", u"hr", u"img", u"input",
          u"isindex", u"link", u"meta", u"param"},
         &TElementKind::Empty);
    // Blocks, plus the elements that are never displayed and so never put
    // text between their neighbours. Everything else, unknown names included,
    // flows inline as a browser treats it: a line break next to it would show
    // as a space, so the writer keeps it where it is.
    Mark(t, {u"html",     u"head",     u"body",       u"base",       u"basefont",  u"link",
             u"meta",     u"script",   u"style",      u"title",      u"template",  u"address",
             u"article",  u"aside",    u"blockquote", u"caption",    u"center",    u"col",
             u"colgroup", u"dd",       u"details",    u"dialog",     u"dir",       u"div",
             u"dl",       u"dt",       u"fieldset",   u"figcaption", u"figure",    u"footer",
             u"form",     u"frame",    u"frameset",   u"h1",         u"h2",        u"h3",
             u"h4",       u"h5",       u"h6",         u"header",     u"hgroup",    u"hr",
             u"isindex",  u"legend",   u"li",         u"listing",    u"main",      u"menu",
             u"nav",      u"noframes", u"ol",         u"p",          u"plaintext", u"pre",
             u"section",  u"summary",  u"table",      u"tbody",      u"td",        u"tfoot",
             u"th",       u"thead",    u"tr",         u"ul",         u"xmp"},
         &TElementKind::BlockLike);
    // Read back as raw text: anything added inside would become content.
    Mark(t, {u"script", u"style", u"xmp", u"iframe", u"noembed", u"noframes", u"plaintext"},
         &TElementKind::RawText);
    Mark(t,
         {u"pre", u"textarea", u"listing", u"title", u"script", u"style", u"xmp", u"iframe",
          u"noembed", u"noframes", u"plaintext"},
         &TElementKind::WhitespaceSensitive);
    Mark(t, {u"pre", u"textarea", u"listing"}, &TElementKind::DropsLeadingNewline);
    Mark(t,
         {u"p", u"div", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"li", u"dt", u"dd", u"td", u"th",
          u"caption", u"pre", u"blockquote", u"address", u"center"},
         &TElementKind::TextBlock);
    return t;
  }();
  return table;
}

const QHash<QString, TAttributeKind>& AttributeKinds() {
  static const QHash<QString, TAttributeKind> table = [] {
    QHash<QString, TAttributeKind> t;
    Mark(t,
         {u"checked", u"compact", u"declare", u"defer", u"disabled", u"ismap", u"multiple",
          u"noresize", u"noshade", u"nowrap", u"readonly", u"selected"},
         &TAttributeKind::Boolean);
    Mark(t,
         {u"href", u"src", u"background", u"action", u"cite", u"longdesc", u"usemap", u"codebase",
          u"data", u"lowsrc", u"dynsrc", u"poster", u"formaction"},
         &TAttributeKind::Link);
    Mark(t, {u"class", u"align", u"value", u"selected"}, &TAttributeKind::CarriesState);
    Mark(t, {u"shape", u"coords"}, &TAttributeKind::AreaState);
    Mark(t, {u"designtimesp", u"designtimeurl"}, &TAttributeKind::EngineBookkeeping);
    return t;
  }();
  return table;
}

} // namespace

TElementKind ElementKindOf(const QString& lowerName) {
  return ElementKinds().value(lowerName);
}

TAttributeKind AttributeKindOf(const QString& lowerName) {
  return AttributeKinds().value(lowerName);
}

bool StyleKeepsWhitespace(QStringView style) {
  const qsizetype at = style.indexOf(u"white-space", 0, Qt::CaseInsensitive);
  if (at < 0)
    return false;
  QStringView value = style.mid(at + 11);
  const qsizetype end = value.indexOf(u';');
  if (end >= 0)
    value = value.left(end);
  // pre, pre-wrap, pre-line and break-spaces all keep line breaks or blanks.
  return value.contains(u"pre", Qt::CaseInsensitive) ||
         value.contains(u"break-spaces", Qt::CaseInsensitive);
}
