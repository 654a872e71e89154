#include "ui/pane/engine/attribute_limit.h"

#include "ui/pane/html_element_kinds.h"

#include <QByteArrayView>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAsciiAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Elements whose content the parser reads as text up to their end tag.
bool IsTextOnly(const std::string& name) {
  return ElementKindOf(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())))
      .TextOnly();
}

class TScanner {
public:
  TScanner(const QByteArray& utf8, int maxCount)
      : FData(utf8.constData()), FSize(utf8.size()), FMax(maxCount) {}

  // Ranges [from, to) of attributes beyond the limit, ascending.
  std::vector<std::pair<qsizetype, qsizetype>> Run() {
    while (FAt < FSize) {
      const char* lt = static_cast<const char*>(std::memchr(FData + FAt, '<', Left()));
      if (!lt)
        break;
      FAt = lt - FData + 1;
      if (FAt >= FSize)
        break;
      const char next = FData[FAt];
      if (next == '!') {
        SkipPast(Starts("!--") ? std::string_view("-->") : std::string_view(">"));
      } else if (next == '?') {
        SkipPast(">");
      } else if (next == '/' && FAt + 1 < FSize && IsAsciiAlpha(FData[FAt + 1])) {
        ++FAt;
        ReadName();
        ReadAttributes();
      } else if (next == '/') {
        SkipPast(">");
      } else if (IsAsciiAlpha(next)) {
        const std::string name = ReadName();
        if (ReadAttributes() && IsTextOnly(name))
          SkipToEndTag(name);
      }
    }
    return std::move(FDropped);
  }

private:
  size_t Left() const { return static_cast<size_t>(FSize - FAt); }

  bool Starts(std::string_view text) const {
    return QByteArrayView(FData + FAt, FSize - FAt).startsWith(QByteArrayView(text));
  }

  void SkipPast(std::string_view end) {
    const qsizetype found = QByteArrayView(FData, FSize).indexOf(QByteArrayView(end), FAt);
    FAt = found < 0 ? FSize : found + static_cast<qsizetype>(end.size());
  }

  std::string ReadName() {
    std::string name;
    while (FAt < FSize && !IsBlank(FData[FAt]) && FData[FAt] != '/' && FData[FAt] != '>')
      name += Lower(FData[FAt++]);
    return name;
  }

  // Up to and past the tag's '>'; false when the input ends first.
  bool ReadAttributes() {
    int count = 0;
    qsizetype dropFrom = -1;
    for (;;) {
      while (FAt < FSize && (IsBlank(FData[FAt]) || FData[FAt] == '/'))
        ++FAt;
      if (FAt >= FSize) {
        if (dropFrom >= 0)
          FDropped.emplace_back(dropFrom, FSize);
        return false;
      }
      if (FData[FAt] == '>') {
        // A '/' right before the '>' stays: it closes the tag.
        const qsizetype end = FData[FAt - 1] == '/' ? FAt - 1 : FAt;
        if (dropFrom >= 0 && end > dropFrom)
          FDropped.emplace_back(dropFrom, end);
        ++FAt;
        return true;
      }
      if (++count == FMax + 1)
        dropFrom = FAt;
      // A name may start with '='; it ends at a blank, '/', '>' or '='.
      ++FAt;
      while (FAt < FSize && !IsBlank(FData[FAt]) && FData[FAt] != '/' && FData[FAt] != '>' &&
             FData[FAt] != '=')
        ++FAt;
      qsizetype after = FAt;
      while (after < FSize && IsBlank(FData[after]))
        ++after;
      if (after >= FSize || FData[after] != '=')
        continue;
      FAt = after + 1;
      while (FAt < FSize && IsBlank(FData[FAt]))
        ++FAt;
      if (FAt < FSize && (FData[FAt] == '"' || FData[FAt] == '\'')) {
        const char* close =
            static_cast<const char*>(std::memchr(FData + FAt + 1, FData[FAt], Left() - 1));
        FAt = close ? close - FData + 1 : FSize;
      } else {
        while (FAt < FSize && !IsBlank(FData[FAt]) && FData[FAt] != '>')
          ++FAt;
      }
    }
  }

  void SkipToEndTag(const std::string& name) {
    const std::string end = "</" + name;
    while (FAt < FSize) {
      const char* lt = static_cast<const char*>(std::memchr(FData + FAt, '<', Left()));
      if (!lt) {
        FAt = FSize;
        return;
      }
      FAt = lt - FData;
      bool match = FAt + static_cast<qsizetype>(end.size()) <= FSize;
      for (size_t i = 0; match && i < end.size(); ++i)
        match = Lower(FData[FAt + static_cast<qsizetype>(i)]) == end[i];
      if (match)
        return;
      ++FAt;
    }
  }

  const char* FData;
  qsizetype FSize;
  int FMax;
  qsizetype FAt = 0;
  std::vector<std::pair<qsizetype, qsizetype>> FDropped;
};

} // namespace

QByteArray LimitAttributes(const QByteArray& utf8, int maxCount) {
  const std::vector<std::pair<qsizetype, qsizetype>> dropped = TScanner(utf8, maxCount).Run();
  if (dropped.empty())
    return utf8;
  QByteArray kept;
  kept.reserve(utf8.size());
  qsizetype copied = 0;
  for (const auto& [from, to] : dropped) {
    kept.append(utf8.constData() + copied, from - copied);
    copied = to;
  }
  kept.append(utf8.constData() + copied, utf8.size() - copied);
  return kept;
}
