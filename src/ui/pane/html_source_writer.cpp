#include "ui/pane/html_source_writer.h"

#include "ui/pane/engine/html_style.h"
#include "ui/pane/engine/raw_source.h"
#include "ui/pane/html_attribute_writer.h"
#include "ui/pane/html_element_kinds.h"
#include "ui/pane/html_entities.h"
#include "ui/pane/html_links.h"
#include "ui/pane/html_names.h"
#include "ui/pane/saved_source.h"
#include "ui/pane/source_builder.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

namespace {

using namespace Qt::Literals::StringLiterals;
using TOption = TProfDHTMLEditSourceCodeOption;

const QString LineBreak = QStringLiteral("\r\n");

// Elements the engine keeps for its own bookkeeping have no start tag of
// their own: "!" (a comment or declaration held as an element), "/name" (a
// stray end tag), "?" (a processing instruction), "#" (text and other
// nameless nodes). They are never written, nor is anything below them.
bool IsEngineInternal(QStringView name) {
  return !name.isEmpty() &&
         (name[0] == u'!' || name[0] == u'/' || name[0] == u'?' || name[0] == u'#');
}

// Element indices are handed out densely in document order, so the sorted
// set of visited indices is a bitmap over them; an index far beyond any real
// document's size goes to an ordered set instead of a huge bitmap.
class TVisitedElements {
public:
  // True the first time the (non-negative) index is seen.
  bool Visit(int index) {
    if (index < BitmapLimit) {
      const auto at = static_cast<std::size_t>(index);
      if (at >= FBits.size())
        FBits.resize(std::max(at + 1, FBits.size() * 2));
      if (FBits[at])
        return false;
      FBits[at] = true;
      return true;
    }
    return FOthers.insert(index).second;
  }

private:
  static constexpr int BitmapLimit = 1 << 24;
  std::vector<bool> FBits;
  std::set<int> FOthers;
};

struct TTreeSurvey {
  bool Readable = true;
  int HtmlCount = 0;
  const TDomNode* Html = nullptr;
  QString BaseURL; // href of the first BASE element
};

TTreeSurvey SurveyTree(const TDomNode* root) {
  TTreeSurvey survey;
  TVisitedElements visited;
  std::vector<const TDomNode*> pending{root};
  while (!pending.empty()) {
    const TDomNode* node = pending.back();
    pending.pop_back();
    if (!node) {
      survey.Readable = false;
      break;
    }
    if (node->Kind == TDomNode::TKind::Element) {
      if (node->Index < 0) {
        survey.Readable = false;
        break;
      }
      if (!visited.Visit(node->Index))
        continue;
      if (node->TagName.size() == 4 && node->TagName.compare(u"html"_s, Qt::CaseInsensitive) == 0) {
        if (++survey.HtmlCount == 1)
          survey.Html = node;
      } else if (survey.BaseURL.isEmpty() && node->TagName.size() == 4 &&
                 node->TagName.compare(u"base"_s, Qt::CaseInsensitive) == 0) {
        for (const TDomAttribute& attribute : node->Attributes)
          if (attribute.Specified && attribute.Name.compare(u"href"_s, Qt::CaseInsensitive) == 0)
            survey.BaseURL = attribute.Value;
      }
    } else if (node != root) {
      continue;
    }
    for (auto it = node->Children.crbegin(); it != node->Children.crend(); ++it)
      pending.push_back(*it);
  }
  return survey;
}

// The ASCII characters that text escaping looks at; the rest are copied.
constexpr auto AsciiNeedsCare = [] {
  std::array<bool, 128> care{};
  for (const char16_t c : {u'&', u'<', u'>', u'"', u'\r'})
    care[c] = true;
  return care;
}();

class TTreeWriter {
public:
  TTreeWriter(const TSourceWriterSettings& settings, TLinkRewriting links, TSourceBuilder& out)
      : FSettings(settings), FLinks(std::move(links)), FOut(out) {}

  // Writes the html element and everything below it; false on a node that
  // cannot be written.
  bool Write(const TDomNode* html) {
    if (!WriteElement(html, -1))
      return false;
    while (!FStack.empty()) {
      TFrame& top = FStack.back();
      if (top.NextChild < top.Node->Children.size()) {
        const TDomNode* child = top.Node->Children[top.NextChild++];
        if (!WriteChild(FStack.size() - 1, child))
          return false;
      } else {
        CloseTop();
      }
    }
    return true;
  }

private:
  struct TFrame {
    const TDomNode* Node = nullptr;
    qsizetype NextChild = 0;
    int Level = 0;
    QString Name; // as written in the tags
    bool StopIndent = true;
    bool IndentChildren = false;
    bool RawText = false;
    bool NbspWhenEmpty = false;
    bool ContentHasLineBreak = false;
    qsizetype ContentStart = 0;
  };

  bool Option(TOption option) const { return FSettings.SourceCodeOptions.testFlag(option); }

  void NewLine(int level) {
    FOut += LineBreak;
    FOut.AppendSpaces(2 * qsizetype(level));
  }

  bool WriteChild(std::size_t parentIndex, const TDomNode* child) {
    if (!child)
      return false;
    switch (child->Kind) {
    case TDomNode::TKind::Element:
      return WriteElement(child, static_cast<qsizetype>(parentIndex));
    case TDomNode::TKind::Text:
      WriteText(FStack[parentIndex], child->Data);
      return true;
    case TDomNode::TKind::Comment:
      WriteComment(FStack[parentIndex], child->Data);
      return true;
    default:
      return false;
    }
  }

  void WriteText(TFrame& parent, QStringView text) {
    if (parent.IndentChildren) {
      // Blanks between blocks are never shown; the indentation replaces
      // them, which also keeps a write/read/write cycle from piling them up.
      if (IsBlank(text))
        return;
      if (text.contains(u'\n') || text.contains(u'\r'))
        parent.ContentHasLineBreak = true;
    }
    if (parent.RawText)
      AppendWithLineFeeds(text);
    else
      AppendEscapedText(text);
  }

  void WriteComment(TFrame& parent, const QString& comment) {
    if (parent.IndentChildren) {
      NewLine(parent.Level + 1);
      parent.ContentHasLineBreak = true;
    }
    FOut += comment;
    // "--!>" ends a comment as well as "-->" does.
    if (Option(TOption::TerminateComments) && comment.startsWith(u"<!--") &&
        !comment.endsWith(u"-->") && !comment.endsWith(u"--!>")) {
      const QStringView close = u" -->";
      qsizetype present = 3;
      while (present > 0 && !comment.endsWith(close.left(present)))
        --present;
      FOut += close.mid(present);
    }
  }

  bool WriteElement(const TDomNode* node, qsizetype parentIndex) {
    if (node->Index < 0)
      return false;
    if (!FVisited.Visit(node->Index))
      return true;
    const QString lowerName = LowerName(node->TagName);
    if (IsEngineInternal(lowerName))
      return true;
    if (!IsWritableName(node->TagName, false))
      return false;
    if (lowerName == u"base"_s && Option(TOption::HideBaseElement))
      return true;
    const TElementKind& kind = ElementKindOf(lowerName);
    CollectAttributes(*node, lowerName, FSettings.SourceCodeOptions, FLinks, FAttributes);
    if (lowerName == u"meta"_s && (FAttributes.empty() || IsGeneratorMeta(FAttributes)))
      return true;

    TFrame frame;
    frame.Node = node;
    frame.Name = WrittenElementName(node->TagName, lowerName);
    bool stopIndent = !Option(TOption::IndentSource);
    if (parentIndex >= 0) {
      TFrame& parent = FStack[static_cast<std::size_t>(parentIndex)];
      frame.Level = parent.Level + 1;
      stopIndent = parent.StopIndent;
      if (parent.IndentChildren) {
        NewLine(frame.Level);
        parent.ContentHasLineBreak = true;
      }
    }
    FOut += u'<';
    FOut += frame.Name;
    const bool slashEnds = kind.Void && Option(TOption::TerminateEmptyElements) &&
                           !Option(TOption::AddSpaceInTerminatedEmptyElements);
    WriteAttributes(FAttributes, FSettings.SourceCodeOptions, slashEnds, FOut);
    if (kind.Void && Option(TOption::TerminateEmptyElements))
      FOut += Option(TOption::AddSpaceInTerminatedEmptyElements) ? u" />"_s : u"/>"_s;
    else
      FOut += u'>';
    if (kind.Void)
      return true;

    frame.StopIndent =
        stopIndent || kind.KeepsWhiteSpace || !kind.BlockLike() || KeepsWhitespaceByStyle(node);
    frame.IndentChildren = !frame.StopIndent && (lowerName == u"html"_s || lowerName == u"head"_s ||
                                                 HoldsOnlyBlocks(node));
    frame.RawText = kind.RawText();
    frame.NbspWhenEmpty = kind.TextBlock && Option(TOption::AddNbsp);
    const bool rawContent = node->HasRawContent && node->Children.isEmpty();
    // A reader drops one line break right after <pre>, so content that starts
    // with one gets another in front to survive.
    if (kind.DropsLeadingNewline && StartsWithLineBreak(node, rawContent))
      FOut += LineBreak;
    frame.ContentStart = FOut.size();
    if (rawContent)
      FOut += node->RawContent;
    FStack.push_back(std::move(frame));
    return true;
  }

  void CloseTop() {
    const TFrame frame = std::move(FStack.back());
    FStack.pop_back();
    if (frame.NbspWhenEmpty && FOut.size() == frame.ContentStart)
      FOut += u"&nbsp;"_s;
    // Only content made of blocks ends on a line of its own: anywhere else
    // the line break would show as a space or be part of the text.
    if (frame.IndentChildren && frame.ContentHasLineBreak)
      NewLine(frame.Level);
    FOut += u"</"_s;
    FOut += frame.Name;
    FOut += u'>';
  }

  static bool StartsWithLineBreak(const TDomNode* node, bool rawContent) {
    QStringView first;
    if (rawContent)
      first = node->RawContent;
    else if (!node->Children.isEmpty() && node->Children.front() &&
             node->Children.front()->Kind == TDomNode::TKind::Text)
      first = node->Children.front()->Data;
    return first.startsWith(u'\n') || first.startsWith(u'\r');
  }

  static bool KeepsWhitespaceByStyle(const TDomNode* node) {
    return std::any_of(node->Attributes.begin(), node->Attributes.end(),
                       [](const TDomAttribute& a) {
                         return a.Name.compare(u"style"_s, Qt::CaseInsensitive) == 0 &&
                                HtmlStyle::StyleKeepsLineBreaks(a.Value);
                       });
  }

  // Content where added line breaks can never show: nothing but blocks,
  // comments and blanks.
  static bool HoldsOnlyBlocks(const TDomNode* node) {
    return std::all_of(node->Children.begin(), node->Children.end(), [](const TDomNode* c) {
      if (!c)
        return false;
      switch (c->Kind) {
      case TDomNode::TKind::Element: {
        const QString name = LowerName(c->TagName);
        return IsEngineInternal(name) || ElementKindOf(name).BlockLike();
      }
      case TDomNode::TKind::Text:
        return IsBlank(c->Data);
      case TDomNode::TKind::Comment:
        return true;
      default:
        return false;
      }
    });
  }

  QString WrittenElementName(const QString& tagName, const QString& lowerName) const {
    for (const TProfDHTMLEditTagsSubstitutionItem& item : FSettings.TagsSubstitution) {
      // Element names are case-insensitive; an unusable replacement is ignored
      // rather than written into a broken tag.
      if (item.OriginalTag.compare(tagName, Qt::CaseInsensitive) == 0 &&
          IsWritableName(item.ReplacementTag, false))
        return Option(TOption::LowercaseElementNames) ? item.ReplacementTag.toLower()
                                                      : item.ReplacementTag;
    }
    return Option(TOption::LowercaseElementNames) ? lowerName : tagName;
  }

  void AppendWithLineFeeds(QStringView text) {
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) {
        FOut += text.mid(run, i + 1 - run);
        FOut += u'\n';
        run = i + 1;
      }
    }
    FOut += text.mid(run);
  }

  void AppendCharacterReference(char32_t code) {
    FOut += u"&#"_s;
    FOut += QString::number(code);
    FOut += u';';
  }

  // Text under UseEntityReferences (named entities) and
  // Preserve8BitCharacters (characters the local 8-bit encoding holds stay
  // as they are). That encoding is UTF-8, which holds every character but an
  // unpaired surrogate; a pair is one character and gets one reference.
  void AppendEscapedText(QStringView text) {
    const bool entities = Option(TOption::UseEntityReferences);
    const bool keep8Bit = Option(TOption::Preserve8BitCharacters);
    qsizetype run = 0;
    const auto flushTo = [&](qsizetype end) { FOut += text.mid(run, end - run); };
    const char16_t* const data = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
      const char16_t c = data[i];
      if (c < 128 && !AsciiNeedsCare[c])
        continue;
      if (c == u'\r') {
        if (i + 1 < text.size() && text[i + 1] == u'\n')
          continue;
        flushTo(i + 1);
        FOut += u'\n';
        run = i + 1;
        continue;
      }
      if (entities) {
        const QStringView name = EntityNameFor(c);
        if (!name.isEmpty()) {
          flushTo(i);
          FOut += u'&';
          FOut += name;
          FOut += u';';
          run = i + 1;
          continue;
        }
      } else if (c == u'&' || c == u'<' || c == u'>' || c == 0xA0) {
        flushTo(i);
        FOut += c == u'&'   ? u"&amp;"_s
                : c == u'<' ? u"&lt;"_s
                : c == u'>' ? u"&gt;"_s
                            : u"&nbsp;"_s;
        run = i + 1;
        continue;
      }
      if (c < 128)
        continue;
      if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        if (!keep8Bit) {
          flushTo(i);
          AppendCharacterReference(QChar::surrogateToUcs4(c, text[i + 1].unicode()));
          run = i + 2;
        }
        ++i;
        continue;
      }
      if (keep8Bit && !QChar::isSurrogate(c))
        continue;
      flushTo(i);
      AppendCharacterReference(c);
      run = i + 1;
    }
    flushTo(text.size());
  }

  const TSourceWriterSettings& FSettings;
  const TLinkRewriting FLinks;
  TSourceBuilder& FOut;
  std::vector<TFrame> FStack;
  std::vector<TWrittenAttribute> FAttributes; // of the element being written
  TVisitedElements FVisited;
};

} // namespace

std::optional<QString> RebuildSource(const TDomDocument& document, const QString& prologue,
                                     const TSourceWriterSettings& settings) {
  try {
    const TProfDHTMLEditSourceCodeOptions options = settings.SourceCodeOptions;
    const TTreeSurvey survey = SurveyTree(document.Root());
    const TLinkRewriting links{
        options.testFlag(TOption::ExcludeFileProtocol), options.testFlag(TOption::ExcludeBaseURL),
        options.testFlag(TOption::UseBackSlashAsPathDelimiter), survey.BaseURL};
    if (settings.SourceCodePreservation)
      return DecodeSavedSource(SerializeRawSource(document, prologue, links));
    if (!survey.Readable || survey.HtmlCount != 1)
      return std::nullopt;

    TSourceBuilder builder(prologue.size() + 1024);
    builder += SourcePrologue(prologue, settings.DOCTYPE);
    TTreeWriter writer(settings, links, builder);
    if (!writer.Write(survey.Html))
      return std::nullopt;
    return builder.Take();
  } catch (...) {
    // Out of memory on a huge document, say: the pane reports it like any
    // other document it cannot read.
    return std::nullopt;
  }
}
