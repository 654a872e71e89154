#pragma once

#include <QByteArray>
#include <QList>

// One fuzz input carries several fields (a file, then a section, a key, a
// value), cut at each "\x01\x02\x03".
inline QList<QByteArray> FuzzParts(const QByteArray& input) {
  QList<QByteArray> parts;
  qsizetype start = 0;
  for (qsizetype at; (at = input.indexOf("\x01\x02\x03", start)) >= 0; start = at + 3)
    parts.append(input.mid(start, at - start));
  parts.append(input.mid(start));
  return parts;
}
