#include "ui/pane/raw_html_scanner.h"

#include "ui/pane/html_element_kinds.h"

namespace {

bool IsAsciiLetter(QChar c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsSpace(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// The end tag "</name" followed by a blank, "/" or ">", from position from.
qsizetype FindEndTag(QStringView source, QStringView name, qsizetype from) {
  const QString marker = QStringLiteral("</") + name.toString();
  for (qsizetype at = source.indexOf(marker, from, Qt::CaseInsensitive); at >= 0;
       at = source.indexOf(marker, at + 1, Qt::CaseInsensitive)) {
    const qsizetype after = at + marker.size();
    if (after >= source.size() || IsSpace(source[after]) || source[after] == u'/' ||
        source[after] == u'>')
      return at;
  }
  return -1;
}

class TScanner {
public:
  explicit TScanner(QStringView source) : FSource(source) {}

  void Run(const std::function<bool(const TRawTag&)>& visit) {
    while (FPos < FSource.size()) {
      const qsizetype lt = FSource.indexOf(u'<', FPos);
      if (lt < 0 || lt + 1 >= FSource.size())
        return;
      FPos = lt;
      const QChar next = FSource[lt + 1];
      if (FSource.mid(lt).startsWith(u"<!--")) {
        SkipPast(u"-->", lt + 2);
      } else if (next == u'!' || next == u'?') {
        SkipPast(u">", lt);
      } else if (next == u'/' && lt + 2 < FSource.size() && IsAsciiLetter(FSource[lt + 2])) {
        TRawTag tag;
        tag.IsEndTag = true;
        tag.Start = lt;
        FPos = lt + 2;
        tag.Name = ReadName().toString().toLower();
        SkipPast(u">", FPos);
        if (FPos > FSource.size())
          return;
        tag.End = FPos;
        if (!visit(tag))
          return;
      } else if (IsAsciiLetter(next)) {
        TRawTag tag;
        if (!ReadStartTag(tag))
          return;
        if (!visit(tag))
          return;
      } else {
        FPos = lt + 1;
      }
    }
  }

private:
  // Moves just past the next marker at or after from; past the end when the
  // source has none.
  void SkipPast(QStringView marker, qsizetype from) {
    const qsizetype at = FSource.indexOf(marker, from);
    FPos = at < 0 ? FSource.size() + 1 : at + marker.size();
  }

  QStringView ReadName() {
    const qsizetype start = FPos;
    while (FPos < FSource.size() && !IsSpace(FSource[FPos]) && FSource[FPos] != u'/' &&
           FSource[FPos] != u'>')
      ++FPos;
    return FSource.mid(start, FPos - start);
  }

  void SkipSpace() {
    while (FPos < FSource.size() && IsSpace(FSource[FPos]))
      ++FPos;
  }

  bool ReadStartTag(TRawTag& tag) {
    tag.Start = FPos;
    ++FPos;
    tag.Name = ReadName().toString().toLower();
    for (;;) {
      while (FPos < FSource.size() && (IsSpace(FSource[FPos]) || FSource[FPos] == u'/'))
        ++FPos;
      if (FPos >= FSource.size())
        return false;
      if (FSource[FPos] == u'>')
        break;
      TRawAttribute attribute;
      const qsizetype nameStart = FPos++;
      while (FPos < FSource.size() && !IsSpace(FSource[FPos]) && FSource[FPos] != u'/' &&
             FSource[FPos] != u'>' && FSource[FPos] != u'=')
        ++FPos;
      attribute.Name = FSource.mid(nameStart, FPos - nameStart).toString().toLower();
      SkipSpace();
      if (FPos < FSource.size() && FSource[FPos] == u'=') {
        ++FPos;
        SkipSpace();
        if (FPos >= FSource.size())
          return false;
        const QChar quote = FSource[FPos];
        if (quote == u'"' || quote == u'\'') {
          const qsizetype close = FSource.indexOf(quote, FPos + 1);
          if (close < 0)
            return false;
          attribute.ValueStart = FPos + 1;
          attribute.ValueLength = close - FPos - 1;
          FPos = close + 1;
        } else {
          attribute.ValueStart = FPos;
          while (FPos < FSource.size() && !IsSpace(FSource[FPos]) && FSource[FPos] != u'>')
            ++FPos;
          attribute.ValueLength = FPos - attribute.ValueStart;
        }
      }
      tag.Attributes.append(attribute);
    }
    tag.End = ++FPos;
    if (ElementKindOf(tag.Name).TextOnly()) {
      const qsizetype close = tag.Name == u"plaintext" ? -1 : FindEndTag(FSource, tag.Name, FPos);
      if (close < 0) {
        tag.ContentEnd = FSource.size();
        FPos = FSource.size();
      } else {
        tag.ContentEnd = close;
        const qsizetype gt = FSource.indexOf(u'>', close);
        tag.CloseEnd = gt < 0 ? FSource.size() : gt + 1;
        FPos = tag.CloseEnd;
      }
    }
    return true;
  }

  QStringView FSource;
  qsizetype FPos = 0;
};

} // namespace

void ScanRawTags(QStringView source, const std::function<bool(const TRawTag&)>& visit) {
  TScanner(source).Run(visit);
}
