#include "ui/pane/engine/gumbo_document.h"

#include "ui/pane/html_element_kinds.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <vector>

TGumboDocument::TGumboDocument(const QString& html)
    : FBuffer(MarkFormEnds(LimitTags(html.toUtf8(), MaxNestingDepth, MaxTagAttributes))) {
  GumboOptions options = kGumboDefaultOptions;
  // Errors are not used; recording them costs memory on broken input.
  options.max_errors = 0;
  FOutput.reset(
      gumbo_parse_with_options(&options, FBuffer.constData(), static_cast<size_t>(FBuffer.size())));
  if (!FOutput)
    throw std::runtime_error("The HTML parser failed.");
}

namespace {

bool IsTagNameEnd(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '/' || c == '>';
}

bool IsAsciiAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names are at most 32 bytes (ReadTagName cuts them), so no allocation per tag.
const TElementKind& KindOf(std::string_view name) {
  std::array<char16_t, 32> wide{};
  const std::size_t length = std::min(name.size(), wide.size());
  for (std::size_t i = 0; i < length; ++i)
    wide[i] = static_cast<unsigned char>(name[i]);
  return ElementKindOf(QStringView(wide.data(), static_cast<qsizetype>(length)));
}

// Start tags that never stay open inside themselves or have no content.
bool DoesNotNest(std::string_view name) {
  static constexpr std::array<const char*, 20> List = {
      "p",     "li",    "dt",       "dd",      "option", "optgroup", "tr",  "td", "th",   "tbody",
      "thead", "tfoot", "colgroup", "caption", "rb",     "rt",       "rtc", "rp", "html", "body"};
  return std::any_of(List.begin(), List.end(), [name](const char* item) { return name == item; }) ||
         name == "head" || KindOf(name).Void;
}

std::string ReadTagName(const char* data, qsizetype size, qsizetype& at) {
  std::string name;
  for (; at < size && !IsTagNameEnd(data[at]); ++at) {
    if (name.size() < 32)
      name.push_back(AsciiLower(data[at]));
  }
  return name;
}

// A tag's attributes, from where they start to just past its '>'.
struct TAttributeScan {
  qsizetype End = 0;
  int Count = 0;
  // Those past the limit: from the first of them up to the tag's end (a
  // closing "/" stays).
  qsizetype DropFrom = -1;
  qsizetype DropTo = -1;
};

TAttributeScan ScanAttributes(const char* data, qsizetype size, qsizetype at, int maxAttributes) {
  enum class TState { BeforeName, Name, AfterName, BeforeValue, Value, Quoted };
  TAttributeScan scan;
  TState state = TState::BeforeName;
  char quote = 0;
  qsizetype slash = -1;
  const auto isSpace = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
  };
  for (; at < size; ++at) {
    const char c = data[at];
    if (state == TState::Quoted) {
      if (c == quote)
        state = TState::BeforeName;
      continue;
    }
    if (c == '>') {
      scan.End = at + 1;
      if (scan.DropFrom >= 0)
        scan.DropTo = slash == at - 1 ? slash : at;
      return scan;
    }
    if (state == TState::Value) {
      if (isSpace(c))
        state = TState::BeforeName;
    } else if (state == TState::BeforeValue) {
      if (c == '"' || c == '\'') {
        quote = c;
        state = TState::Quoted;
      } else if (!isSpace(c)) {
        state = TState::Value;
      }
    } else if (c == '/') {
      slash = at;
      state = TState::BeforeName;
    } else if (isSpace(c)) {
      if (state == TState::Name)
        state = TState::AfterName;
    } else if (c == '=' && state != TState::BeforeName) {
      state = TState::BeforeValue;
    } else if (state != TState::Name) {
      // A name may start with '='.
      if (++scan.Count > maxAttributes && scan.DropFrom < 0)
        scan.DropFrom = at;
      state = TState::Name;
    }
  }
  scan.End = size;
  if (scan.DropFrom >= 0)
    scan.DropTo = size;
  return scan;
}

qsizetype FindCaseless(const char* data, qsizetype size, qsizetype from, std::string_view needle) {
  for (qsizetype i = from; i + static_cast<qsizetype>(needle.size()) <= size; ++i) {
    bool match = true;
    for (std::size_t k = 0; k < needle.size() && match; ++k)
      match = AsciiLower(data[i + static_cast<qsizetype>(k)]) == needle[k];
    if (match)
      return i;
  }
  return -1;
}

// Where the end tag of a raw-text element starts, or the end of the input.
// Only a name that ends there closes it: "</script1>" is text of a script.
qsizetype FindRawTextEnd(const char* data, qsizetype size, qsizetype from,
                         const std::string& name) {
  const std::string needle = "</" + name;
  for (qsizetype end = FindCaseless(data, size, from, needle); end >= 0;
       end = FindCaseless(data, size, end + 1, needle)) {
    const qsizetype after = end + static_cast<qsizetype>(needle.size());
    if (after < size && IsTagNameEnd(data[after]))
      return end;
  }
  return size;
}

bool StartsCaseless(const char* data, qsizetype size, qsizetype at, std::string_view text) {
  return size - at >= static_cast<qsizetype>(text.size()) &&
         FindCaseless(data, at + static_cast<qsizetype>(text.size()), at, text) == at;
}

// Where a script's end tag starts, or the end of the input. Between "<!--"
// and "-->" a "<script" starts a stretch that the parser reads as text up to
// the next "</script" (whose end tag then ends nothing), so that one is
// passed over.
qsizetype FindScriptEnd(const char* data, qsizetype size, qsizetype from) {
  const auto tag = [&](qsizetype at, std::string_view name) {
    const qsizetype after = at + static_cast<qsizetype>(name.size());
    return StartsCaseless(data, size, at, name) && after < size && IsTagNameEnd(data[after]);
  };
  bool escaped = false;
  bool doubleEscaped = false;
  for (qsizetype at = from; at < size; ++at) {
    if (escaped && StartsCaseless(data, size, at, "-->")) {
      escaped = doubleEscaped = false;
      at += 2;
    } else if (!escaped && StartsCaseless(data, size, at, "<!--")) {
      escaped = true;
      ++at; // its dashes may end it at once: "<!-->"
    } else if (tag(at, "</script")) {
      if (!doubleEscaped)
        return at;
      doubleEscaped = false;
    } else if (escaped && tag(at, "<script")) {
      doubleEscaped = true;
    }
  }
  return size;
}

struct TScanResult {
  int MaxDepth = 0;
  int MaxAttributes = 0;
  QByteArray Output;
  std::vector<qsizetype> FormEnds; // where each </form> tag starts
};

// One pass over the markup; with `rewrite` it also copies everything except
// the tags that nest beyond maxDepth and the attributes of a tag beyond its
// first maxAttributes.
TScanResult ScanTags(const QByteArray& utf8, int maxDepth, int maxAttributes, bool rewrite) {
  TScanResult result;
  const char* data = utf8.constData();
  const qsizetype size = utf8.size();
  if (rewrite)
    result.Output.reserve(size);
  std::vector<std::pair<std::string, bool>> open; // name, dropped
  // Open elements by name, so an end tag of an element that is not open
  // costs nothing and the scan stays linear.
  std::unordered_map<std::string, int> openCount;
  qsizetype copied = 0;
  auto drop = [&](qsizetype from, qsizetype to) {
    if (!rewrite || from < 0)
      return;
    result.Output.append(data + copied, from - copied);
    copied = to;
  };
  qsizetype at = 0;
  while (at < size) {
    const char* lt =
        static_cast<const char*>(std::memchr(data + at, '<', static_cast<size_t>(size - at)));
    if (!lt)
      break;
    const qsizetype tagStart = lt - data;
    at = tagStart + 1;
    if (at >= size)
      break;
    const char next = data[at];
    const bool endTag = next == '/' && at + 1 < size && IsAsciiAlpha(data[at + 1]);
    if (next == '!' && size - at >= 3 && data[at + 1] == '-' && data[at + 2] == '-') {
      const qsizetype end = FindCaseless(data, size, at + 3, "-->");
      at = end < 0 ? size : end + 3;
    } else if (next == '!' || next == '?' || (next == '/' && !endTag)) {
      // A bogus comment ("<!x", "<?x", "</" without a letter behind it) ends
      // at the first '>', quotes or not; read as a tag, a quote in it would
      // hide the markup behind it (a </form> among it) from this scan.
      const char* gt =
          static_cast<const char*>(std::memchr(data + at, '>', static_cast<size_t>(size - at)));
      at = gt ? gt - data + 1 : size;
    } else if (endTag) {
      ++at;
      const std::string name = ReadTagName(data, size, at);
      const TAttributeScan attributes = ScanAttributes(data, size, at, maxAttributes);
      at = attributes.End;
      result.MaxAttributes = std::max(result.MaxAttributes, attributes.Count);
      if (name == "form")
        result.FormEnds.push_back(tagStart);
      bool dropped = false;
      if (openCount[name] > 0) {
        for (;;) {
          auto entry = std::move(open.back());
          open.pop_back();
          --openCount[entry.first];
          if (entry.first == name) {
            dropped = entry.second;
            break;
          }
        }
        if (dropped)
          drop(tagStart, at);
      }
      if (!dropped)
        drop(attributes.DropFrom, attributes.DropTo);
    } else if (IsAsciiAlpha(next)) {
      const std::string name = ReadTagName(data, size, at);
      const TAttributeScan attributes = ScanAttributes(data, size, at, maxAttributes);
      at = attributes.End;
      result.MaxAttributes = std::max(result.MaxAttributes, attributes.Count);
      const bool tooDeep = !KindOf(name).TextOnly() && !DoesNotNest(name) &&
                           static_cast<int>(open.size()) >= maxDepth;
      if (!tooDeep)
        drop(attributes.DropFrom, attributes.DropTo);
      if (KindOf(name).TextOnly()) {
        if (name == "plaintext")
          break;
        at =
            name == "script" ? FindScriptEnd(data, size, at) : FindRawTextEnd(data, size, at, name);
      } else if (!DoesNotNest(name)) {
        open.emplace_back(name, tooDeep);
        ++openCount[name];
        result.MaxDepth = std::max(result.MaxDepth, static_cast<int>(open.size()));
        if (tooDeep)
          drop(tagStart, at);
      }
    }
  }
  if (rewrite)
    result.Output.append(data + copied, size - copied);
  return result;
}

constexpr std::string_view FormEndMarker = "<!---->";

} // namespace

QString GumboTagName(const GumboElement& element) {
  if (element.tag != GUMBO_TAG_UNKNOWN)
    return QString::fromLatin1(gumbo_normalized_tagname(element.tag));
  const GumboStringPiece& piece = element.original_tag;
  if (!piece.data || piece.length < 2 || piece.data[0] != '<')
    return QStringLiteral("unknown");
  // The name ends where the tokenizer ended it: at HTML's blanks, '/' or
  // '>'. The parser's own helper also stops at a vertical tab, which is part
  // of the name, and would turn "tr\v" into "tr", a table row.
  std::size_t from = piece.data[1] == '/' ? 2 : 1;
  std::size_t to = from;
  while (to < piece.length && !IsTagNameEnd(piece.data[to]))
    ++to;
  if (to == from)
    return QStringLiteral("unknown");
  return QString::fromUtf8(piece.data + from, static_cast<qsizetype>(to - from)).toLower();
}

QString FromGumbo(const char* text) {
  return text ? QString::fromUtf8(text) : QString();
}

QByteArray TGumboDocument::MarkFormEnds(const QByteArray& utf8) {
  if (FindCaseless(utf8.constData(), utf8.size(), 0, "</form") < 0)
    return utf8;
  const TScanResult scan =
      ScanTags(utf8, std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), false);
  if (scan.FormEnds.empty())
    return utf8;
  QByteArray marked;
  marked.reserve(utf8.size() + static_cast<qsizetype>(scan.FormEnds.size() * FormEndMarker.size()));
  qsizetype copied = 0;
  for (const qsizetype at : scan.FormEnds) {
    marked.append(utf8.constData() + copied, at - copied);
    FMarkers.push_back(marked.size());
    marked.append(FormEndMarker.data(), static_cast<qsizetype>(FormEndMarker.size()));
    copied = at;
  }
  marked.append(utf8.constData() + copied, utf8.size() - copied);
  return marked;
}

bool TGumboDocument::IsMarker(const GumboNode& node) const {
  if (node.type != GUMBO_NODE_COMMENT || !node.v.text.original_text.data)
    return false;
  const qsizetype at = node.v.text.original_text.data - FBuffer.constData();
  return std::binary_search(FMarkers.begin(), FMarkers.end(), at);
}

QByteArray LimitTags(const QByteArray& utf8, int maxDepth, int maxAttributes) {
  const TScanResult scan = ScanTags(utf8, maxDepth, maxAttributes, false);
  if (scan.MaxDepth <= maxDepth && scan.MaxAttributes <= maxAttributes)
    return utf8;
  return ScanTags(utf8, maxDepth, maxAttributes, true).Output;
}

QList<TDomAttribute> GumboAttributes(const GumboElement& element) {
  QList<TDomAttribute> attributes;
  attributes.reserve(static_cast<qsizetype>(element.attributes.length));
  for (unsigned i = 0; i < element.attributes.length; ++i) {
    const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
    attributes.append(TDomAttribute{FromGumbo(attribute->name), FromGumbo(attribute->value), true});
  }
  return attributes;
}

const GumboNode* Child(const GumboVector& children, unsigned i) {
  return static_cast<const GumboNode*>(children.data[i]);
}

bool IsElement(const GumboNode* node) {
  return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

QString TextOf(const GumboNode* node) {
  QString text;
  if (!IsElement(node))
    return FromGumbo(node->v.text.text);
  const GumboVector& children = node->v.element.children;
  for (unsigned i = 0; i < children.length; ++i)
    if (!IsElement(Child(children, i)) && Child(children, i)->type != GUMBO_NODE_COMMENT)
      text += FromGumbo(Child(children, i)->v.text.text);
  return text;
}

QString CommentSource(const GumboNode* node) {
  const GumboStringPiece& original = node->v.text.original_text;
  if (original.data && original.length > 0) {
    QString source = QString::fromUtf8(original.data, static_cast<qsizetype>(original.length));
    // A bogus comment ("<!x", "<?x", "</1") that the input ends before its
    // '>' gets one: written back without it, it would swallow the markup
    // that the writer puts behind it.
    if (!source.startsWith(u"<!--") && !source.endsWith(u'>'))
      source += u'>';
    return source;
  }
  return QStringLiteral("<!--") + FromGumbo(node->v.text.text) + QStringLiteral("-->");
}
