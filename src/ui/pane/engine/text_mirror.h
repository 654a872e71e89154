#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <vector>

// The document's shown characters (one per shown position: block and line
// separators and images count one each, kept nodes none; see
// TShownPositions) for searching. QTextDocument::find
// copies the whole block's text on every call, and a translation is one
// block, so a find/replace loop over it would cost the block's length per
// step. Edits go through a gap buffer that sits where the last edit or
// search was, so a loop that moves forward through the text costs its
// length once.
class TTextMirror {
public:
  void Reset(const QString& text);
  qsizetype Length() const { return static_cast<qsizetype>(FBuffer.size()) - GapSize(); }
  QChar At(qsizetype position) const;
  QString Mid(qsizetype position, qsizetype length) const;
  void Replace(qsizetype position, qsizetype length, QStringView text);

  // Position of the first match at or after `from`, or -1. A whole-word
  // match neither starts right after nor ends right before a word
  // character; word characters are letters, digits, combining marks and
  // '_' (and the halves of surrogate pairs, which are nearly all letters or
  // ideographs), so "foo_bar" is one word and "foo-bar" two.
  qsizetype Find(QStringView needle, qsizetype from, bool wholeWord, Qt::CaseSensitivity cs);

  static bool IsWordCharacter(QChar c);

private:
  qsizetype GapSize() const { return FGapEnd - FGapStart; }
  void MoveGap(qsizetype position);
  void EnsureGap(qsizetype size);

  std::vector<char16_t> FBuffer;
  qsizetype FGapStart = 0;
  qsizetype FGapEnd = 0;
};
