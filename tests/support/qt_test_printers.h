#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// Readable GoogleTest failure messages for Qt's strings (they would print as
// lists of bytes or of two-byte objects).
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
  *os << '"' << QString::fromUtf8(bytes).toStdString() << '"';
}
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
