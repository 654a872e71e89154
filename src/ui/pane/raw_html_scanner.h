#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <functional>

// A light, forgiving pass over HTML source text that finds tags and where
// their parts are, so the writer can take pieces of the engine's raw saved
// source (prologue, head scripts) and tidy it without parsing it into a tree.
// Comments, declarations and the content of raw-text elements (script,
// style, title, ...) are stepped over, never mistaken for tags.

struct TRawAttribute {
  QString Name;              // lower case
  qsizetype ValueStart = -1; // the value without its quotes; -1 without "="
  qsizetype ValueLength = 0;
};

struct TRawTag {
  QString Name; // lower case
  bool IsEndTag = false;
  qsizetype Start = 0; // the "<"
  qsizetype End = 0;   // just after the ">"
  QList<TRawAttribute> Attributes;
  // Raw-text elements: where their content ends (the end tag's "<", or the
  // end of the source), and just after their end tag (-1 when it is missing).
  qsizetype ContentEnd = -1;
  qsizetype CloseEnd = -1;
};

// Calls visit for every tag in source order until it returns false. A tag
// that the source does not finish ends the scan.
void ScanRawTags(QStringView source, const std::function<bool(const TRawTag&)>& visit);
