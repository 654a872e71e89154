#include "ui/pane/html_element_kinds.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

using C = TElementContent;
using F = TElementFormatting;

enum : unsigned {
  V = 1 << 0, // void
  B = 1 << 1, // block
  H = 1 << 2, // hidden
  W = 1 << 3, // keeps white space
  N = 1 << 4, // drops a leading newline
  T = 1 << 5, // text block
  P = 1 << 6, // pure formatting
};

constexpr TElementKind Row(QStringView name, unsigned facts, C content, F formatting) {
  TElementKind kind;
  kind.Name = name;
  kind.Void = (facts & V) != 0;
  kind.Block = (facts & B) != 0;
  kind.Hidden = (facts & H) != 0;
  kind.KeepsWhiteSpace = (facts & W) != 0;
  kind.DropsLeadingNewline = (facts & N) != 0;
  kind.TextBlock = (facts & T) != 0;
  kind.PureFormatting = (facts & P) != 0;
  kind.Content = content;
  kind.Formatting = formatting;
  return kind;
}

// Sorted by name: looked up by binary search, for every node of documents
// with tens of thousands of them.
constexpr std::array<TElementKind, 102> Elements = {
    Row(u"address", B | T, C::Markup, F::Italic),
    Row(u"area", V, C::Markup, F::None),
    Row(u"article", B, C::Markup, F::None),
    Row(u"aside", B, C::Markup, F::None),
    Row(u"b", P, C::Markup, F::Bold),
    Row(u"base", V | H, C::Markup, F::None),
    Row(u"basefont", V | H, C::Markup, F::None),
    Row(u"bgsound", V, C::Markup, F::None),
    Row(u"big", 0, C::Markup, F::Bigger),
    Row(u"blockquote", B | T, C::Markup, F::None),
    Row(u"body", H, C::Markup, F::None),
    Row(u"br", V, C::Markup, F::None),
    Row(u"caption", B | T, C::Markup, F::None),
    Row(u"center", B | T, C::Markup, F::None),
    Row(u"cite", P, C::Markup, F::Italic),
    Row(u"code", 0, C::Markup, F::Monospace),
    Row(u"col", V | H, C::Markup, F::None),
    Row(u"colgroup", H, C::Markup, F::None),
    Row(u"dd", B | T, C::Markup, F::None),
    Row(u"del", P, C::Markup, F::StrikeOut),
    Row(u"details", B, C::Markup, F::None),
    Row(u"dfn", P, C::Markup, F::Italic),
    Row(u"dialog", B, C::Markup, F::None),
    Row(u"dir", B, C::Markup, F::None),
    Row(u"div", B | T, C::Markup, F::None),
    Row(u"dl", B, C::Markup, F::None),
    Row(u"dt", B | T, C::Markup, F::Bold),
    Row(u"em", P, C::Markup, F::Italic),
    Row(u"embed", V, C::Markup, F::None),
    Row(u"fieldset", B, C::Markup, F::None),
    Row(u"figcaption", B, C::Markup, F::None),
    Row(u"figure", B, C::Markup, F::None),
    Row(u"footer", B, C::Markup, F::None),
    Row(u"form", B, C::Markup, F::None),
    Row(u"frame", V | H, C::Markup, F::None),
    Row(u"frameset", H, C::Markup, F::None),
    Row(u"h1", B | T, C::Markup, F::Heading),
    Row(u"h2", B | T, C::Markup, F::Heading),
    Row(u"h3", B | T, C::Markup, F::Heading),
    Row(u"h4", B | T, C::Markup, F::Heading),
    Row(u"h5", B | T, C::Markup, F::Heading),
    Row(u"h6", B | T, C::Markup, F::Heading),
    Row(u"head", H, C::Markup, F::None),
    Row(u"header", B, C::Markup, F::None),
    Row(u"hgroup", B, C::Markup, F::None),
    Row(u"hr", V | B, C::Markup, F::None),
    Row(u"html", H, C::Markup, F::None),
    Row(u"i", P, C::Markup, F::Italic),
    Row(u"iframe", W, C::RawText, F::None),
    Row(u"image", V, C::Markup, F::None),
    Row(u"img", V, C::Markup, F::None),
    Row(u"input", V, C::Markup, F::None),
    Row(u"ins", P, C::Markup, F::Underline),
    Row(u"isindex", V | H, C::Markup, F::None),
    Row(u"kbd", 0, C::Markup, F::Monospace),
    Row(u"keygen", V, C::Markup, F::None),
    Row(u"legend", B, C::Markup, F::None),
    Row(u"li", B | T, C::Markup, F::None),
    Row(u"link", V | H, C::Markup, F::None),
    Row(u"listing", B | W | N, C::Markup, F::Monospace),
    Row(u"main", B, C::Markup, F::None),
    Row(u"mark", 0, C::Markup, F::Marked),
    Row(u"menu", B, C::Markup, F::None),
    Row(u"meta", V | H, C::Markup, F::None),
    Row(u"nav", B, C::Markup, F::None),
    Row(u"noembed", W, C::RawText, F::None),
    Row(u"noframes", H | W, C::RawText, F::None),
    Row(u"ol", B, C::Markup, F::None),
    Row(u"p", B | T, C::Markup, F::None),
    Row(u"param", V, C::Markup, F::None),
    Row(u"plaintext", B | W, C::PlainText, F::None),
    Row(u"pre", B | W | N | T, C::Markup, F::Monospace),
    Row(u"s", P, C::Markup, F::StrikeOut),
    Row(u"samp", 0, C::Markup, F::Monospace),
    Row(u"script", H | W, C::RawText, F::None),
    Row(u"search", B, C::Markup, F::None),
    Row(u"section", B, C::Markup, F::None),
    Row(u"small", 0, C::Markup, F::Smaller),
    Row(u"source", V, C::Markup, F::None),
    Row(u"strike", P, C::Markup, F::StrikeOut),
    Row(u"strong", P, C::Markup, F::Bold),
    Row(u"style", H | W, C::RawText, F::None),
    Row(u"sub", P, C::Markup, F::Subscript),
    Row(u"summary", B, C::Markup, F::Bold),
    Row(u"sup", P, C::Markup, F::Superscript),
    Row(u"table", B, C::Markup, F::None),
    Row(u"tbody", B, C::Markup, F::None),
    Row(u"td", B | T, C::Markup, F::None),
    Row(u"template", H, C::Markup, F::None),
    Row(u"textarea", W | N, C::EscapableText, F::None),
    Row(u"tfoot", B, C::Markup, F::None),
    Row(u"th", B | T, C::Markup, F::Bold),
    Row(u"thead", B, C::Markup, F::None),
    Row(u"title", H | W, C::EscapableText, F::None),
    Row(u"tr", B, C::Markup, F::None),
    Row(u"track", V, C::Markup, F::None),
    Row(u"tt", 0, C::Markup, F::Monospace),
    Row(u"u", P, C::Markup, F::Underline),
    Row(u"ul", B, C::Markup, F::None),
    Row(u"var", 0, C::Markup, F::Italic),
    Row(u"wbr", V, C::Markup, F::None),
    Row(u"xmp", B | W, C::RawText, F::None),
};

const TElementKind Unknown;

} // namespace

const TElementKind& ElementKindOf(QStringView lowerName) {
  const auto* at =
      std::lower_bound(Elements.begin(), Elements.end(), lowerName,
                       [](const TElementKind& kind, QStringView name) { return kind.Name < name; });
  return at != Elements.end() && at->Name == lowerName ? *at : Unknown;
}

std::span<const TElementKind> KnownElements() {
  return Elements;
}

namespace {

void Mark(QHash<QString, TAttributeKind>& table, std::initializer_list<const char16_t*> names,
          bool TAttributeKind::*property) {
  for (const char16_t* name : names)
    table[QString::fromUtf16(name)].*property = true;
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

TAttributeKind AttributeKindOf(const QString& lowerName) {
  return AttributeKinds().value(lowerName);
}
