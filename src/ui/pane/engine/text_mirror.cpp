#include "ui/pane/engine/text_mirror.h"

#include <algorithm>
#include <cstring>

void TTextMirror::Reset(const QString& text) {
  FBuffer.assign(text.utf16(), text.utf16() + text.size());
  FGapStart = FGapEnd = static_cast<qsizetype>(FBuffer.size());
}

QChar TTextMirror::At(qsizetype position) const {
  if (position < 0 || position >= Length())
    return QChar();
  const qsizetype index = position < FGapStart ? position : position + GapSize();
  return QChar(FBuffer[static_cast<std::size_t>(index)]);
}

QString TTextMirror::Mid(qsizetype position, qsizetype length) const {
  position = std::clamp<qsizetype>(position, 0, Length());
  length = std::clamp<qsizetype>(length, 0, Length() - position);
  QString text;
  text.reserve(length);
  for (qsizetype i = 0; i < length; ++i)
    text += At(position + i);
  return text;
}

void TTextMirror::MoveGap(qsizetype position) {
  char16_t* data = FBuffer.data();
  if (position < FGapStart) {
    const qsizetype count = FGapStart - position;
    std::memmove(data + FGapEnd - count, data + position, static_cast<std::size_t>(count) * 2);
  } else if (position > FGapStart) {
    const qsizetype count = position - FGapStart;
    std::memmove(data + FGapStart, data + FGapEnd, static_cast<std::size_t>(count) * 2);
  }
  // The gap keeps its size and now starts at position.
  FGapEnd += position - FGapStart;
  FGapStart = position;
}

void TTextMirror::EnsureGap(qsizetype size) {
  if (GapSize() >= size)
    return;
  const qsizetype tail = static_cast<qsizetype>(FBuffer.size()) - FGapEnd;
  const qsizetype grow = std::max(size - GapSize(), Length() / 2 + 1024);
  FBuffer.resize(FBuffer.size() + static_cast<std::size_t>(grow));
  char16_t* data = FBuffer.data();
  std::memmove(data + FGapEnd + grow, data + FGapEnd, static_cast<std::size_t>(tail) * 2);
  FGapEnd += grow;
}

void TTextMirror::Replace(qsizetype position, qsizetype length, QStringView text) {
  position = std::clamp<qsizetype>(position, 0, Length());
  length = std::clamp<qsizetype>(length, 0, Length() - position);
  MoveGap(position);
  FGapEnd += length;
  EnsureGap(text.size());
  std::memcpy(FBuffer.data() + FGapStart, text.utf16(), static_cast<std::size_t>(text.size()) * 2);
  FGapStart += text.size();
}

bool TTextMirror::IsWordCharacter(QChar c) {
  return c.isLetterOrNumber() || c.isMark() || c == u'_' || c.isSurrogate();
}

qsizetype TTextMirror::Find(QStringView needle, qsizetype from, bool wholeWord,
                            Qt::CaseSensitivity cs) {
  if (needle.isEmpty() || from < 0 || from > Length())
    return -1;
  MoveGap(from);
  const QStringView after(FBuffer.data() + FGapEnd, Length() - from);
  qsizetype at = 0;
  for (;;) {
    const qsizetype found = after.indexOf(needle, at, cs);
    if (found < 0)
      return -1;
    const qsizetype position = from + found;
    if (!wholeWord)
      return position;
    const qsizetype end = position + needle.size();
    const bool startsWord = !IsWordCharacter(needle.front()) || !IsWordCharacter(At(position - 1));
    const bool endsWord = !IsWordCharacter(needle.back()) || !IsWordCharacter(At(end));
    if (startsWord && endsWord)
      return position;
    at = found + 1;
  }
}
