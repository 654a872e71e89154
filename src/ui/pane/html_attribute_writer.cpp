#include "ui/pane/html_attribute_writer.h"

#include "ui/pane/html_element_kinds.h"
#include "ui/pane/html_entities.h"
#include "ui/pane/html_names.h"

#include <algorithm>

namespace {

using namespace Qt::Literals::StringLiterals;
using TOption = TProfDHTMLEditSourceCodeOption;

// The charset of the local 8-bit encoding, which Qt 6 fixes as UTF-8 on this
// platform. A document declared as anything else would be misread when it is
// opened again.
constexpr QStringView LocalCharsetName = u"UTF-8";

// Property names before ":" in lower case; values (font names, addresses)
// and anything quoted or in parentheses keep their case.
QString LowerStylePropertyNames(QString style) {
  bool inName = true;
  QChar quote;
  int parentheses = 0;
  for (QChar& c : style) {
    if (!quote.isNull()) {
      if (c == quote)
        quote = QChar();
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'(') {
      ++parentheses;
    } else if (c == u')') {
      parentheses = std::max(0, parentheses - 1);
    } else if (parentheses == 0 && c == u';') {
      inName = true;
    } else if (parentheses == 0 && c == u':') {
      inName = false;
    } else if (inName) {
      c = c.toLower();
    }
  }
  return style;
}

// An unquoted value ends at a blank or ">", and a quote in it (or a
// backquote, which some readers took for one) makes the rest read wrongly:
// such values are quoted whatever the flags say.
bool NeedsQuotes(QStringView value) {
  return value.isEmpty() || std::any_of(value.begin(), value.end(), [](QChar c) {
           return IsHtmlSpace(c) || c == u'"' || c == u'\'' || c == u'>' || c == u'`';
         });
}

bool IsAsciiAlphanumeric(QChar c) {
  return IsAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// Whether the "&" at position at would be read as the start of a character
// reference inside an attribute value (so it must be written as "&amp;").
// "?a=1&b=2" stays as it is; "&copy;", "&#38" and a bare "&copy" do not.
bool AmpersandStartsReference(QStringView value, qsizetype at) {
  const qsizetype start = at + 1;
  if (start < value.size() && value[start] == u'#')
    return true;
  qsizetype end = start;
  while (end < value.size() && IsAsciiAlphanumeric(value[end]))
    ++end;
  if (end == start)
    return false;
  if (end < value.size() && value[end] == u';')
    return true;
  return IsBareEntityName(value.mid(start, end - start)) &&
         !(end < value.size() && value[end] == u'=');
}

// Quoted when the flags say so or when the value could not stand unquoted;
// '"' and a "&" that would start a character reference are escaped and a
// carriage return is written as a reference, so the value reads back as it
// is.
void AppendAttributeValue(TSourceBuilder& out, QStringView value, bool forceQuotes,
                          TProfDHTMLEditSourceCodeOptions options) {
  const bool quote =
      forceQuotes || options.testFlag(TOption::QuoteAttributeValues) || NeedsQuotes(value);
  if (quote)
    out += u'"';
  qsizetype run = 0;
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    QString replacement;
    if (c == u'"')
      replacement = u"&quot;"_s;
    else if (c == u'&' && AmpersandStartsReference(value, i))
      replacement = u"&amp;"_s;
    else if (c == u'\r')
      replacement = u"&#13;"_s;
    else
      continue;
    out += value.mid(run, i - run);
    out += replacement;
    run = i + 1;
  }
  out += value.mid(run);
  if (quote)
    out += u'"';
}

} // namespace

void CollectAttributes(const TDomNode& node, const QString& lowerTag,
                       TProfDHTMLEditSourceCodeOptions options, const TLinkRewriting& links,
                       std::vector<TWrittenAttribute>& attributes) {
  attributes.clear();
  for (const TDomAttribute& attribute : node.Attributes) {
    if (!IsWritableName(attribute.Name, true))
      continue;
    const QString lower = LowerName(attribute.Name);
    const TAttributeKind kind = AttributeKindOf(lower);
    if (kind.EngineBookkeeping)
      continue;
    if (!attribute.Specified && !kind.CarriesState && !(kind.AreaState && lowerTag == u"area"_s))
      continue;
    TWrittenAttribute& a = attributes.emplace_back();
    a.Name = options.testFlag(TOption::LowercaseAttributeNames) ? lower : attribute.Name;
    a.Value = attribute.Value;
    if (kind.Boolean) {
      // Present means on, whatever the value; a reported default only
      // counts when it says so.
      a.Boolean = true;
      if (!attribute.Specified &&
          (a.Value.isEmpty() || a.Value.compare(u"false"_s, Qt::CaseInsensitive) == 0))
        attributes.pop_back();
    } else if (lower == u"style"_s) {
      if (IsBlank(a.Value))
        attributes.pop_back();
      else if (options.testFlag(TOption::LowercaseStylePropertyNames))
        a.Value = LowerStylePropertyNames(a.Value);
    } else if (a.Value.isEmpty()) {
      attributes.pop_back();
    } else if (kind.Link && !(lowerTag == u"base"_s && lower == u"href"_s)) {
      if (links.RewritesAnything())
        a.Value = RewriteLink(a.Value, links);
    } else if (lowerTag == u"meta"_s && lower == u"content"_s &&
               options.testFlag(TOption::Preserve8BitCharacters) &&
               a.Value.compare(u"text/html; charset=unicode"_s, Qt::CaseInsensitive) == 0) {
      a.Value = a.Value.chopped(7) + LocalCharsetName.toString();
    }
  }
}

bool IsGeneratorMeta(const std::vector<TWrittenAttribute>& attributes) {
  if (attributes.size() != 2)
    return false;
  bool name = false;
  bool content = false;
  for (const TWrittenAttribute& a : attributes) {
    if (a.Name.compare(u"name", Qt::CaseInsensitive) == 0)
      name = a.Value.compare(u"GENERATOR", Qt::CaseInsensitive) == 0;
    else if (a.Name.compare(u"content", Qt::CaseInsensitive) == 0)
      content = a.Value.startsWith(u"MSHTML ", Qt::CaseInsensitive) ||
                a.Value.compare(u"Microsoft DHTML Editing Control", Qt::CaseInsensitive) == 0;
  }
  return name && content;
}

void WriteAttributes(const std::vector<TWrittenAttribute>& attributes,
                     TProfDHTMLEditSourceCodeOptions options, bool slashEnds, TSourceBuilder& out) {
  for (std::size_t i = 0; i < attributes.size(); ++i) {
    const TWrittenAttribute& a = attributes[i];
    const bool forceQuotes = slashEnds && i + 1 == attributes.size();
    out += u' ';
    out += a.Name;
    if (a.Boolean) {
      if (options.testFlag(TOption::UnminimizeBooleanAttributes)) {
        out += u'=';
        AppendAttributeValue(out, a.Name, forceQuotes, options);
      }
    } else {
      out += u'=';
      AppendAttributeValue(out, a.Value, forceQuotes, options);
    }
  }
}
