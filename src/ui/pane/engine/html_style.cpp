#include "ui/pane/engine/html_style.h"

#include "ui/pane/html_element_kinds.h"

#include <QTextLength>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace HtmlVocabulary {

bool IsBlock(QStringView tag) {
  return ElementKindOf(tag).Block;
}

bool IsVoid(QStringView tag) {
  return ElementKindOf(tag).Void;
}

bool IsPreformatted(QStringView tag) {
  const TElementKind& kind = ElementKindOf(tag);
  return kind.Block && kind.KeepsWhiteSpace;
}

bool IsHeading(QStringView tag) {
  return tag.size() == 2 && tag[0] == u'h' && tag[1] >= u'1' && tag[1] <= u'6';
}

bool IsListContainer(QStringView tag) {
  return tag == u"ul" || tag == u"ol" || tag == u"menu" || tag == u"dir";
}

bool IsHeadElement(QStringView tag) {
  return tag == u"meta" || tag == u"link" || tag == u"base" || tag == u"title" || tag == u"style" ||
         tag == u"basefont" || tag == u"bgsound";
}

bool IsNeverShown(QStringView tag) {
  static constexpr std::array<QStringView, 10> List = {
      u"script",   u"noscript", u"template", u"iframe", u"noembed",
      u"noframes", u"frameset", u"frame",    u"head",   u"html"};
  return std::find(List.begin(), List.end(), tag) != List.end();
}

} // namespace HtmlVocabulary

namespace HtmlStyle {

namespace {

// Sizes of "font size" 1..7 relative to size 3, as browsers show them.
constexpr std::array<double, 7> FontSizeFactors = {0.625, 0.8125, 1.0, 1.125, 1.5, 2.0, 3.0};

void SetPointSize(QTextCharFormat& format, double points) {
  if (std::isfinite(points) && points > 0)
    format.setFontPointSize(std::clamp(points, 1.0, 400.0));
}

struct TCssNumber {
  double Number;
  QStringView Unit;
};

// "12px", "-1.5em", "120%": the number and what follows it, trimmed.
std::optional<TCssNumber> ScanCssNumber(QStringView value) {
  qsizetype numberEnd = 0;
  while (numberEnd < value.size() &&
         (value[numberEnd].isDigit() || value[numberEnd] == u'.' || value[numberEnd] == u'-'))
    ++numberEnd;
  bool ok = false;
  const double number = value.left(numberEnd).toDouble(&ok);
  if (!ok || !std::isfinite(number))
    return std::nullopt;
  return TCssNumber{number, value.mid(numberEnd).trimmed()};
}

// "12px", "1.5em", "120%", "small", ... relative to the current size.
void ApplyCssFontSize(QTextCharFormat& format, QStringView value) {
  const double current = PointSize(format);
  static constexpr std::array<std::pair<QStringView, double>, 7> Keywords = {
      {{u"xx-small", 7.0 / 12},
       {u"x-small", 7.5 / 12},
       {u"small", 10.0 / 12},
       {u"medium", 1.0},
       {u"large", 13.5 / 12},
       {u"x-large", 1.5},
       {u"xx-large", 2.0}}};
  for (const auto& [name, factor] : Keywords)
    if (value == name)
      return SetPointSize(format, BasePointSize * factor);
  if (value == u"smaller")
    return SetPointSize(format, current / 1.2);
  if (value == u"larger")
    return SetPointSize(format, current * 1.2);
  const std::optional<TCssNumber> size = ScanCssNumber(value);
  if (!size)
    return;
  const auto [number, unit] = *size;
  if (unit == u"pt")
    SetPointSize(format, number);
  else if (unit == u"px")
    SetPointSize(format, number * 0.75);
  else if (unit == u"em" || unit == u"rem")
    SetPointSize(format, current * number);
  else if (unit == u"%")
    SetPointSize(format, current * number / 100);
}

void ApplyCssFontWeight(QTextCharFormat& format, QStringView value) {
  if (value == u"bold" || value == u"bolder")
    format.setFontWeight(QFont::Bold);
  else if (value == u"normal" || value == u"lighter")
    format.setFontWeight(QFont::Normal);
  else {
    bool ok = false;
    const int weight = value.toInt(&ok);
    if (ok)
      format.setFontWeight(std::clamp(weight, 1, 1000));
  }
}

void ApplyCssTextDecoration(QTextCharFormat& format, QStringView value) {
  if (value.contains(u"none")) {
    format.setFontUnderline(false);
    format.setFontStrikeOut(false);
  }
  if (value.contains(u"underline"))
    format.setFontUnderline(true);
  if (value.contains(u"line-through"))
    format.setFontStrikeOut(true);
}

// A font list ("Arial, 'Times New Roman'"); an empty one changes nothing.
void ApplyFamilies(QTextCharFormat& format, QStringView value) {
  QStringList families;
  for (QStringView part : value.split(u',')) {
    part = part.trimmed();
    if (part.size() >= 2 && (part.front() == u'"' || part.front() == u'\'') &&
        part.back() == part.front())
      part = part.mid(1, part.size() - 2).trimmed();
    if (!part.isEmpty())
      families.append(part.toString());
  }
  if (!families.isEmpty())
    format.setFontFamilies(families);
}

// A color the reader cannot make out changes nothing.
void ApplyForeground(QTextCharFormat& format, QStringView value) {
  const QColor color = ParseColor(value);
  if (color.isValid())
    format.setForeground(color);
}

// Walks "name: value; name: value" and hands each pair to f, names in lower case.
template <typename F> void ForEachDeclaration(QStringView style, F&& f) {
  for (QStringView declaration : style.split(u';')) {
    const qsizetype colon = declaration.indexOf(u':');
    if (colon <= 0)
      continue;
    const QString name = declaration.left(colon).trimmed().toString().toLower();
    QStringView value = declaration.mid(colon + 1).trimmed();
    if (value.endsWith(u"!important", Qt::CaseInsensitive))
      value = value.chopped(10).trimmed();
    f(QStringView(name), value);
  }
}

std::optional<Qt::Alignment> ParseAlignment(QStringView value) {
  static constexpr std::array<std::pair<QStringView, Qt::AlignmentFlag>, 5> Names = {
      {{u"left", Qt::AlignLeft},
       {u"right", Qt::AlignRight},
       {u"center", Qt::AlignHCenter},
       {u"middle", Qt::AlignHCenter},
       {u"justify", Qt::AlignJustify}}};
  for (const auto& [name, alignment] : Names)
    if (value.compare(name, Qt::CaseInsensitive) == 0)
      return alignment;
  return std::nullopt;
}

// "12px", "1em", "10pt" as pixels.
double ParseLength(QStringView value) {
  const std::optional<TCssNumber> length = ScanCssNumber(value);
  if (!length)
    return 0;
  const auto [number, unit] = *length;
  double pixels = number;
  if (unit == u"pt")
    pixels = number * 4 / 3;
  else if (unit == u"em" || unit == u"rem")
    pixels = number * BasePointSize * 4 / 3;
  return std::clamp(pixels, -2000.0, 2000.0);
}

void ApplyHeading(QStringView tag, QTextCharFormat& format) {
  static constexpr std::array<double, 6> Factors = {2.0, 1.5, 1.17, 1.0, 0.83, 0.67};
  const int level = tag[1].unicode() - u'1';
  format.setFontWeight(QFont::Bold);
  SetPointSize(format, BasePointSize * Factors[static_cast<std::size_t>(level)]);
}

} // namespace

double FontSizeToPoints(int htmlSize) {
  return BasePointSize * FontSizeFactors[static_cast<std::size_t>(std::clamp(htmlSize, 1, 7) - 1)];
}

int PointsToFontSize(double points) {
  for (int size = 1; size <= 7; ++size)
    if (std::abs(FontSizeToPoints(size) - points) < 0.01)
      return size;
  return 0;
}

QColor ParseColor(QStringView text) {
  const QString value = text.trimmed().toString();
  if (value.isEmpty())
    return {};
  if (value.startsWith(u"rgb", Qt::CaseInsensitive)) {
    const qsizetype open = value.indexOf(u'(');
    const qsizetype close = value.indexOf(u')');
    if (open < 0 || close < open)
      return {};
    const QStringList parts = value.mid(open + 1, close - open - 1).split(u',');
    if (parts.size() < 3)
      return {};
    std::array<int, 3> rgb{};
    for (std::size_t i = 0; i < 3; ++i) {
      QString part = parts[static_cast<qsizetype>(i)].trimmed();
      const bool percent = part.endsWith(u'%');
      if (percent)
        part.chop(1);
      bool ok = false;
      const double number = part.toDouble(&ok);
      if (!ok || !std::isfinite(number))
        return {};
      rgb[i] = std::clamp(static_cast<int>(std::lround(percent ? number * 2.55 : number)), 0, 255);
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
  }
  QColor color = QColor::fromString(value);
  // Legacy attribute values often lack the '#'.
  if (!color.isValid() && (value.size() == 6 || value.size() == 3))
    color = QColor::fromString(QStringLiteral("#") + value);
  if (color.isValid())
    color.setAlpha(255);
  return color;
}

QString ColorText(const QColor& color) {
  return color.name(QColor::HexRgb);
}

QString StyleProperty(QStringView style, QStringView name) {
  QString found;
  ForEachDeclaration(style, [&](QStringView property, QStringView value) {
    if (property == name)
      found = value.toString();
  });
  return found;
}

bool KeepsBlanks(const TElementRef& element) {
  if (HtmlVocabulary::IsPreformatted(element.Tag))
    return true;
  // No style attribute reads as an empty one.
  const QString value =
      StyleProperty(element.Attribute(u"style"), u"white-space").trimmed().toLower();
  return value == u"pre" || value == u"pre-wrap" || value == u"break-spaces";
}

bool StyleKeepsLineBreaks(QStringView style) {
  const QString value = StyleProperty(style, u"white-space").trimmed().toLower();
  return value == u"pre" || value == u"pre-wrap" || value == u"pre-line" ||
         value == u"break-spaces";
}

QStringList Families(const QTextCharFormat& format) {
  const QVariant families = format.property(QTextFormat::FontFamilies);
  if (families.isValid())
    return families.toStringList();
  const QString family = format.stringProperty(QTextFormat::FontFamily);
  return family.isEmpty() ? QStringList() : QStringList{family};
}

double PointSize(const QTextCharFormat& format) {
  const double points = format.fontPointSize();
  return points > 0 ? points : BasePointSize;
}

bool IsBold(const QTextCharFormat& format) {
  return format.fontWeight() >= QFont::DemiBold;
}

void ApplyCharStyle(const TElementRef& element, QTextCharFormat& format) {
  const QString& tag = element.Tag;
  using F = TElementFormatting;
  const F formatting = ElementKindOf(tag).Formatting;
  if (formatting == F::Bold)
    format.setFontWeight(QFont::Bold);
  else if (formatting == F::Italic)
    format.setFontItalic(true);
  else if (formatting == F::Underline)
    format.setFontUnderline(true);
  else if (formatting == F::StrikeOut)
    format.setFontStrikeOut(true);
  else if (formatting == F::Subscript)
    format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  else if (formatting == F::Superscript)
    format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  else if (formatting == F::Monospace)
    format.setFontFamilies({QStringLiteral("monospace")});
  else if (formatting == F::Bigger)
    SetPointSize(format, PointSize(format) * 1.2);
  else if (formatting == F::Smaller)
    SetPointSize(format, PointSize(format) / 1.2);
  else if (formatting == F::Marked)
    format.setBackground(QColor(Qt::yellow));
  else if (formatting == F::Heading)
    ApplyHeading(tag, format);
  else if (tag == u"a" && element.HasAttribute(u"href")) {
    format.setAnchor(true);
    format.setAnchorHref(element.Attribute(u"href"));
    format.setForeground(QColor(Qt::blue));
    format.setFontUnderline(true);
  } else if (tag == u"font") {
    for (const TDomAttribute& attribute : element.Attributes) {
      if (attribute.Name == u"face") {
        ApplyFamilies(format, attribute.Value);
      } else if (attribute.Name == u"color") {
        ApplyForeground(format, attribute.Value);
      } else if (attribute.Name == u"size") {
        const QString value = attribute.Value.trimmed();
        bool ok = false;
        const int number = value.toInt(&ok);
        if (ok)
          SetPointSize(format, FontSizeToPoints(value.startsWith(u'+') || value.startsWith(u'-')
                                                    ? 3 + number
                                                    : number));
      }
    }
  }
  ForEachDeclaration(element.Attribute(u"style"), [&format](QStringView name, QStringView value) {
    if (name == u"font-family") {
      ApplyFamilies(format, value);
    } else if (name == u"font-size") {
      ApplyCssFontSize(format, value);
    } else if (name == u"font-weight") {
      ApplyCssFontWeight(format, value);
    } else if (name == u"font-style") {
      format.setFontItalic(value == u"italic" || value == u"oblique");
    } else if (name == u"text-decoration" || name == u"text-decoration-line") {
      ApplyCssTextDecoration(format, value);
    } else if (name == u"color") {
      ApplyForeground(format, value);
    } else if (name == u"background-color" || name == u"background") {
      if (value == u"transparent" || value == u"none") {
        format.clearBackground();
      } else {
        const QColor color = ParseColor(value);
        if (color.isValid())
          format.setBackground(color);
      }
    } else if (name == u"vertical-align") {
      if (value == u"sub")
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
      else if (value == u"super")
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
      else if (value == u"baseline")
        format.setVerticalAlignment(QTextCharFormat::AlignNormal);
    }
  });
}

void ApplyBlockStyle(const TElementRef& element, QTextBlockFormat& format) {
  const QString& tag = element.Tag;
  const bool quote = tag == u"blockquote" || tag == u"figure";
  if (quote || tag == u"p" || tag == u"dl" || HtmlVocabulary::IsHeading(tag) ||
      HtmlVocabulary::IsPreformatted(tag)) {
    format.setTopMargin(12);
    format.setBottomMargin(12);
  }
  if (quote) {
    format.setLeftMargin(format.leftMargin() + 40);
    format.setRightMargin(format.rightMargin() + 40);
  } else if (tag == u"dd") {
    format.setLeftMargin(format.leftMargin() + 40);
  } else if (tag == u"center" || tag == u"th") {
    format.setAlignment(Qt::AlignHCenter);
  } else if (tag == u"hr") {
    format.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                       QTextLength(QTextLength::PercentageLength, 100));
  }
  if (HtmlVocabulary::IsPreformatted(tag))
    format.setNonBreakableLines(true);
  if (const auto alignment = ParseAlignment(element.Attribute(u"align").trimmed()))
    format.setAlignment(*alignment);
  ForEachDeclaration(element.Attribute(u"style"), [&format](QStringView name, QStringView value) {
    if (name == u"text-align") {
      if (const auto alignment = ParseAlignment(value))
        format.setAlignment(*alignment);
    } else if (name == u"margin-left" || name == u"padding-left") {
      format.setLeftMargin(format.leftMargin() + ParseLength(value));
    } else if (name == u"margin-right" || name == u"padding-right") {
      format.setRightMargin(format.rightMargin() + ParseLength(value));
    } else if (name == u"margin-top") {
      format.setTopMargin(ParseLength(value));
    } else if (name == u"margin-bottom") {
      format.setBottomMargin(ParseLength(value));
    } else if (name == u"text-indent") {
      format.setTextIndent(ParseLength(value));
    }
  });
}

} // namespace HtmlStyle
