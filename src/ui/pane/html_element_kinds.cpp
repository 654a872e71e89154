#include "ui/pane/html_element_kinds.h"

#include <QHash>
#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

template <typename TKind, typename TValue>
void Mark(QHash<QStringView, TKind>& table, std::initializer_list<const char16_t*> names,
          TValue TKind::*field, TValue value) {
  for (const char16_t* name : names) {
    TKind& kind = table[QStringView(name)];
    kind.*field = value;
    if constexpr (std::is_same_v<TKind, TElementKind>)
      kind.Name = name;
  }
}

// Each fact once, with every element that has it. One hash lookup per
// element: the writer and the scanners ask for every node of documents with
// tens of thousands of them.
const QHash<QStringView, TElementKind>& Elements() {
  static const QHash<QStringView, TElementKind> table = [] {
    QHash<QStringView, TElementKind> t;
    Mark(t, {u"area",  u"base", u"basefont", u"bgsound", u"br",    u"col",     u"embed",
             u"frame", u"hr",   u"image",    u"img",     u"input", u"isindex", u"keygen",
             u"link",  u"meta", u"param",    u"source",  u"track", u"wbr"},
         &TElementKind::Void, true);
    Mark(t,
         {u"address",    u"article", u"aside",  u"blockquote", u"caption", u"center", u"dd",
          u"details",    u"dialog",  u"dir",    u"div",        u"dl",      u"dt",     u"fieldset",
          u"figcaption", u"figure",  u"footer", u"form",       u"h1",      u"h2",     u"h3",
          u"h4",         u"h5",      u"h6",     u"header",     u"hgroup",  u"hr",     u"legend",
          u"li",         u"listing", u"main",   u"menu",       u"nav",     u"ol",     u"p",
          u"plaintext",  u"pre",     u"search", u"section",    u"summary", u"table",  u"tbody",
          u"td",         u"tfoot",   u"th",     u"thead",      u"tr",      u"ul",     u"xmp"},
         &TElementKind::Block, true);
    Mark(t,
         {u"html", u"head", u"body", u"base", u"basefont", u"link", u"meta", u"script", u"style",
          u"title", u"template", u"col", u"colgroup", u"frame", u"frameset", u"isindex",
          u"noframes"},
         &TElementKind::Hidden, true);
    Mark(t,
         {u"pre", u"textarea", u"listing", u"title", u"script", u"style", u"xmp", u"iframe",
          u"noembed", u"noframes", u"plaintext"},
         &TElementKind::KeepsWhiteSpace, true);
    Mark(t, {u"pre", u"textarea", u"listing"}, &TElementKind::DropsLeadingNewline, true);
    Mark(t,
         {u"p", u"div", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"li", u"dt", u"dd", u"td", u"th",
          u"caption", u"pre", u"blockquote", u"address", u"center"},
         &TElementKind::TextBlock, true);
    Mark(t,
         {u"b", u"strong", u"i", u"em", u"u", u"ins", u"s", u"strike", u"del", u"sub", u"sup",
          u"cite", u"dfn"},
         &TElementKind::PureFormatting, true);

    using C = TElementContent;
    Mark(t, {u"script", u"style", u"xmp", u"iframe", u"noembed", u"noframes"},
         &TElementKind::Content, C::RawText);
    Mark(t, {u"plaintext"}, &TElementKind::Content, C::PlainText);
    Mark(t, {u"title", u"textarea"}, &TElementKind::Content, C::EscapableText);

    using F = TElementFormatting;
    const auto formats = [&t](std::initializer_list<const char16_t*> names, F formatting) {
      Mark(t, names, &TElementKind::Formatting, formatting);
    };
    formats({u"b", u"strong", u"th", u"dt", u"summary"}, F::Bold);
    formats({u"i", u"em", u"cite", u"var", u"dfn", u"address"}, F::Italic);
    formats({u"u", u"ins"}, F::Underline);
    formats({u"s", u"strike", u"del"}, F::StrikeOut);
    formats({u"sub"}, F::Subscript);
    formats({u"sup"}, F::Superscript);
    formats({u"code", u"tt", u"kbd", u"samp", u"pre", u"listing"}, F::Monospace);
    formats({u"big"}, F::Bigger);
    formats({u"small"}, F::Smaller);
    formats({u"mark"}, F::Marked);
    formats({u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"}, F::Heading);
    return t;
  }();
  return table;
}

const QHash<QStringView, TAttributeKind>& AttributeKinds() {
  static const QHash<QStringView, TAttributeKind> table = [] {
    QHash<QStringView, TAttributeKind> t;
    Mark(t,
         {u"checked", u"compact", u"declare", u"defer", u"disabled", u"ismap", u"multiple",
          u"noresize", u"noshade", u"nowrap", u"readonly", u"selected"},
         &TAttributeKind::Boolean, true);
    Mark(t,
         {u"href", u"src", u"background", u"action", u"cite", u"longdesc", u"usemap", u"codebase",
          u"data", u"lowsrc", u"dynsrc", u"poster", u"formaction"},
         &TAttributeKind::Link, true);
    Mark(t, {u"class", u"align", u"value", u"selected"}, &TAttributeKind::CarriesState, true);
    Mark(t, {u"shape", u"coords"}, &TAttributeKind::AreaState, true);
    Mark(t, {u"designtimesp", u"designtimeurl"}, &TAttributeKind::EngineBookkeeping, true);
    return t;
  }();
  return table;
}

} // namespace

const TElementKind& ElementKindOf(QStringView lowerName) {
  static const TElementKind unknown;
  const auto found = Elements().constFind(lowerName);
  return found == Elements().cend() ? unknown : *found;
}

std::span<const TElementKind> KnownElements() {
  static const std::vector<TElementKind> sorted = [] {
    std::vector<TElementKind> kinds(Elements().cbegin(), Elements().cend());
    std::sort(kinds.begin(), kinds.end(),
              [](const TElementKind& a, const TElementKind& b) { return a.Name < b.Name; });
    return kinds;
  }();
  return sorted;
}

TAttributeKind AttributeKindOf(const QString& lowerName) {
  return AttributeKinds().value(QStringView(lowerName));
}
