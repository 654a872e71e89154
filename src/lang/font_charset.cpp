#include "lang/font_charset.h"

#include <QWidget>

namespace {
const char CharsetProperty[] = "FontCharset";
} // namespace

int FontCharsetOf(const QWidget* widget) {
  const QVariant value = widget->property(CharsetProperty);
  return value.isValid() ? value.toInt() : FontCharset::Default;
}

QFontDatabase::WritingSystem WritingSystemForCharset(int charset) {
  switch (charset) {
  case FontCharset::ShiftJis:
    return QFontDatabase::Japanese;
  case FontCharset::Hangeul:
  case 130: // Johab
    return QFontDatabase::Korean;
  case FontCharset::Gb2312:
    return QFontDatabase::SimplifiedChinese;
  case FontCharset::ChineseBig5:
    return QFontDatabase::TraditionalChinese;
  case FontCharset::Greek:
    return QFontDatabase::Greek;
  case 163:
    return QFontDatabase::Vietnamese;
  case FontCharset::Hebrew:
    return QFontDatabase::Hebrew;
  case FontCharset::Arabic:
    return QFontDatabase::Arabic;
  case FontCharset::Russian:
    return QFontDatabase::Cyrillic;
  case FontCharset::Thai:
    return QFontDatabase::Thai;
  default:
    return QFontDatabase::Any;
  }
}

void SetFontCharset(QWidget* widget, int charset) {
  widget->setProperty(CharsetProperty, charset);
  QFont font = widget->font();
  const QString face = font.family();
  QStringList families{face};
  const QFontDatabase::WritingSystem script = WritingSystemForCharset(charset);
  if (script != QFontDatabase::Any && !QFontDatabase::writingSystems(face).contains(script)) {
    const QStringList candidates = QFontDatabase::families(script);
    for (const QString& candidate : candidates) {
      if (candidate != face && !QFontDatabase::isPrivateFamily(candidate)) {
        families.append(candidate);
        break;
      }
    }
  }
  if (font.families() != families) {
    font.setFamilies(families);
    widget->setFont(font);
  }
}
