#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstring>

// Text that is built from many thousand small pieces (tags, names, runs of
// text): each append is a capacity check and a copy rather than a library
// call, and the capacity doubles, so building stays linear.
class TSourceBuilder {
public:
  explicit TSourceBuilder(qsizetype capacity) { Grow(std::max<qsizetype>(capacity, 16)); }

  qsizetype size() const { return FSize; }

  TSourceBuilder& operator+=(char16_t c) {
    if (FSize == FCapacity)
      Grow(1);
    FData[FSize++] = c;
    return *this;
  }

  TSourceBuilder& operator+=(QChar c) { return *this += c.unicode(); }

  TSourceBuilder& operator+=(QStringView text) {
    if (text.isEmpty()) // a null view has no data to copy from
      return *this;
    if (FCapacity - FSize < text.size())
      Grow(text.size());
    std::memcpy(FData + FSize, text.utf16(), std::size_t(text.size()) * sizeof(char16_t));
    FSize += text.size();
    return *this;
  }

  TSourceBuilder& operator+=(const QString& text) { return *this += QStringView(text); }

  void AppendSpaces(qsizetype count) {
    if (FCapacity - FSize < count)
      Grow(count);
    std::fill_n(FData + FSize, count, u' ');
    FSize += count;
  }

  // The text built so far; the builder is empty afterwards.
  QString Take() {
    FText.truncate(FSize);
    FSize = FCapacity = 0;
    FData = nullptr;
    return std::move(FText);
  }

private:
  void Grow(qsizetype needed) {
    FCapacity = std::max(FCapacity * 2, FSize + needed);
    FText.resize(FCapacity); // new characters are left uninitialised
    FData = reinterpret_cast<char16_t*>(FText.data());
  }

  QString FText;
  char16_t* FData = nullptr;
  qsizetype FSize = 0;
  qsizetype FCapacity = 0;
};
