#pragma once

#include <QString>
#include <QStringView>

// Engine data stored in format properties is written as fields of the form
// "<length>:<characters>", so names, values and comments may hold any
// character, separators included.
inline void AppendLengthField(QString& out, QStringView text) {
  out += QString::number(text.size());
  out += u':';
  out += text;
}

// Reads numbers and fields back; each read fails, leaving the rest unread,
// on text that was not written as expected.
class TLengthFieldReader {
public:
  explicit TLengthFieldReader(QStringView text) : FText(text) {}

  bool AtEnd() const { return FAt >= FText.size(); }

  // A decimal number followed by the terminator; at most 19 digits, so it
  // never overflows.
  bool ReadNumber(quint64& value, QChar terminator) {
    value = 0;
    const qsizetype start = FAt;
    while (FAt < FText.size() && FText[FAt].isDigit() && FAt - start < 19) {
      value = value * 10 + static_cast<quint64>(FText[FAt].unicode() - u'0');
      ++FAt;
    }
    if (FAt == start || FAt >= FText.size() || FText[FAt] != terminator)
      return false;
    ++FAt;
    return true;
  }

  bool ReadField(QStringView& value) {
    quint64 length = 0;
    if (!ReadNumber(length, u':') || length > static_cast<quint64>(FText.size() - FAt))
      return false;
    value = FText.mid(FAt, static_cast<qsizetype>(length));
    FAt += static_cast<qsizetype>(length);
    return true;
  }

  bool ReadField(QString& value) {
    QStringView view;
    if (!ReadField(view))
      return false;
    value = view.toString();
    return true;
  }

private:
  QStringView FText;
  qsizetype FAt = 0;
};
