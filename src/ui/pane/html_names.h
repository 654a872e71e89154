#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>

// Names and blanks as the source writer sees them, for the tags
// (html_source_writer.cpp) and their attributes (html_attribute_writer.cpp).

inline bool IsHtmlSpace(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

inline bool IsBlank(QStringView text) {
  return std::all_of(text.begin(), text.end(), IsHtmlSpace);
}

// Names are nearly always lower-case ASCII already; only others pay for a
// full case conversion.
inline QString LowerName(const QString& name) {
  const bool lower = std::none_of(name.begin(), name.end(), [](QChar c) {
    return c.unicode() >= 0x80 || (c.unicode() >= u'A' && c.unicode() <= u'Z');
  });
  return lower ? name : name.toLower();
}

inline bool IsAsciiLetter(QChar c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// A name that a reader parses back as the same name; a tag name must also
// start with a letter to be read as a tag at all.
inline bool IsWritableName(QStringView name, bool attribute) {
  if (name.isEmpty() || (!attribute && !IsAsciiLetter(name[0])))
    return false;
  return std::none_of(name.begin(), name.end(), [attribute](QChar c) {
    return IsHtmlSpace(c) || c == u'/' || c == u'>' || c == u'\0' ||
           (attribute && (c == u'=' || c == u'"' || c == u'\'' || c == u'<'));
  });
}
