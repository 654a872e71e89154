#include "ui/pane/saved_source.h"

#include "ui/pane/html_element_kinds.h"
#include "ui/pane/html_source_writer.h"
#include "ui/pane/raw_html_scanner.h"

#include <QStringDecoder>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// Removes the text at [at, at + length) and the line break right after it.
void RemoveLine(QString& text, qsizetype at, qsizetype length) {
  if (QStringView(text).mid(at + length).startsWith(LineBreak))
    length += LineBreak.size();
  text.remove(at, length);
}

QString CollapsedBlanks(QStringView text) {
  QString result;
  result.reserve(text.size());
  bool blank = false;
  for (const QChar c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
      blank = true;
      continue;
    }
    if (blank && !result.isEmpty())
      result += u' ';
    blank = false;
    result += c;
  }
  return result;
}

QStringView AttributeValue(const QString& raw, const TRawAttribute& attribute) {
  return QStringView(raw).mid(attribute.ValueStart, attribute.ValueLength);
}

QString SavedBaseURL(const QString& raw) {
  QString base;
  ScanRawTags(raw, [&](const TRawTag& tag) {
    if (tag.IsEndTag || tag.Name != u"base")
      return true;
    for (const TRawAttribute& attribute : tag.Attributes)
      if (attribute.Name == u"href" && attribute.ValueLength > 0)
        base = AttributeValue(raw, attribute).toString();
    return base.isEmpty();
  });
  return base;
}

} // namespace

QString SourcePrologue(const QString& documentPrologue, const QString& docType) {
  QString prologue = documentPrologue;
  if (docType != DefaultDocTypeLine) {
    qsizetype at = prologue.indexOf(DefaultDocTypeLine, 0, Qt::CaseInsensitive);
    if (at >= 0)
      RemoveLine(prologue, at, DefaultDocTypeLine.size());
    if (!docType.isEmpty()) {
      // A document keeps one document-type line: the one asked for replaces
      // whatever other declaration the raw source has.
      if (at < 0) {
        at = prologue.indexOf(u"<!DOCTYPE", 0, Qt::CaseInsensitive);
        if (at >= 0) {
          const qsizetype end = prologue.indexOf(u'>', at);
          RemoveLine(prologue, at, (end < 0 ? prologue.size() : end + 1) - at);
        } else {
          at = 0;
        }
      }
      prologue.insert(at, docType + LineBreak);
    }
  }
  // An empty prologue stays empty, so the source then starts with its html
  // element rather than with a blank line.
  if (!prologue.isEmpty() && !prologue.endsWith(LineBreak))
    prologue += LineBreak;
  return prologue;
}

QString TidySavedSource(const QString& raw, TLinkRewriting links) {
  links.BaseURL = SavedBaseURL(raw);
  QString out;
  out.reserve(raw.size());
  qsizetype copied = 0;
  const auto replace = [&](qsizetype at, qsizetype length, const QString& text) {
    out += QStringView(raw).mid(copied, at - copied);
    out += text;
    copied = at + length;
  };
  bool titleDone = false;
  ScanRawTags(raw, [&](const TRawTag& tag) {
    if (tag.IsEndTag)
      return true;
    if (links.RewritesAnything()) {
      for (const TRawAttribute& attribute : tag.Attributes) {
        if (attribute.ValueStart < 0 || !AttributeKindOf(attribute.Name).Link ||
            (tag.Name == u"base" && attribute.Name == u"href"))
          continue;
        const QString link = AttributeValue(raw, attribute).toString();
        const QString rewritten = RewriteLink(link, links);
        if (rewritten != link)
          replace(attribute.ValueStart, attribute.ValueLength, rewritten);
      }
    }
    if (tag.Name == u"title" && !titleDone) {
      titleDone = true;
      const QStringView title = QStringView(raw).mid(tag.End, tag.ContentEnd - tag.End);
      const QString tidy = CollapsedBlanks(title);
      if (tidy != title)
        replace(tag.End, title.size(), tidy);
    }
    return true;
  });
  out += QStringView(raw).mid(copied);
  return out;
}

QString DecodeSavedSource(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE")) {
    // Stateless: a cut-off last byte becomes a replacement character.
    QStringDecoder decode(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
    return decode(bytes.mid(2));
  }
  if (bytes.startsWith("\xEF\xBB\xBF"))
    return QString::fromUtf8(bytes.mid(3));
  return QString::fromLocal8Bit(bytes);
}
