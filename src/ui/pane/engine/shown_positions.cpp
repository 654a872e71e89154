#include "ui/pane/engine/shown_positions.h"

#include "ui/pane/engine/kept_nodes.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

void TShownPositions::Extract(const QTextDocument& document, QString& text) {
  FHidden.clear();
  // Kept nodes and images share the object character; only its format tells
  // them apart. Blocks without one are not looked at, so a translation (one
  // long block of text) costs one scan of its characters.
  constexpr QChar Object = QChar::ObjectReplacementCharacter;
  for (qsizetype at = text.indexOf(Object); at >= 0;) {
    const QTextBlock block = document.findBlock(static_cast<int>(at));
    if (!block.isValid())
      break;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || !IsKeptNode(fragment.charFormat()))
        continue;
      const QString characters = fragment.text();
      for (qsizetype i = 0; i < characters.size(); ++i)
        if (characters[i] == Object)
          FHidden.push_back(fragment.position() + static_cast<int>(i));
    }
    at = text.indexOf(Object, block.position() + block.length());
  }
  if (FHidden.empty())
    return;
  QString shown;
  shown.reserve(text.size() - static_cast<qsizetype>(FHidden.size()));
  qsizetype from = 0;
  for (const int hidden : FHidden) {
    shown += QStringView(text).mid(from, hidden - from);
    from = hidden + 1;
  }
  shown += QStringView(text).mid(from);
  text = std::move(shown);
}

int TShownPositions::ShownOf(int documentPosition) const {
  const auto before = std::lower_bound(FHidden.begin(), FHidden.end(), documentPosition);
  return documentPosition - static_cast<int>(before - FHidden.begin());
}

int TShownPositions::DocumentOf(int shown) const {
  // The i-th hidden character stands in front of shown position
  // FHidden[i] - i, which never decreases with i.
  int low = 0;
  int high = HiddenCount();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (FHidden[static_cast<std::size_t>(middle)] - middle <= shown)
      low = middle + 1;
    else
      high = middle;
  }
  return shown + low;
}

void TShownPositions::Replaced(int start, int end, int length) {
  const auto first = std::lower_bound(FHidden.begin(), FHidden.end(), start);
  const auto last = std::lower_bound(first, FHidden.end(), end);
  const auto after = FHidden.erase(first, last);
  const int shift = length - (end - start);
  std::for_each(after, FHidden.end(), [shift](int& hidden) { hidden += shift; });
}

bool IsHiddenCharacter(const QTextDocument& document, int position) {
  if (document.characterAt(position) != QChar::ObjectReplacementCharacter)
    return false;
  const QTextBlock block = document.findBlock(position);
  for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
    if (it.fragment().contains(position))
      return IsKeptNode(it.fragment().charFormat());
  return false;
}
