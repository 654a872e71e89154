#include "ui/pane/engine/run_elements.h"

#include "ui/pane/engine/html_style.h"
#include "ui/pane/html_element_kinds.h"

#include <QStringList>
#include <cmath>

namespace {

QColor Foreground(const QTextCharFormat& format) {
  return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
}

QColor Background(const QTextCharFormat& format) {
  return format.hasProperty(QTextFormat::BackgroundBrush) &&
                 format.background().style() != Qt::NoBrush
             ? format.background().color()
             : QColor();
}

} // namespace

TElementRef MadeElement(const QString& tag, QList<TDomAttribute> attributes) {
  return TElementRef{0, tag, std::move(attributes)};
}

TDomAttribute MadeAttribute(const QString& name, const QString& value) {
  return TDomAttribute{name, value, true};
}

TElementChain RunElements(TElementChain chain, const QTextCharFormat& actual,
                          const QTextCharFormat& blockBase) {
  auto computed = [&blockBase, &chain] {
    QTextCharFormat format = blockBase;
    for (const TElementRef& element : chain)
      HtmlStyle::ApplyCharStyle(element, format);
    return format;
  };
  QTextCharFormat shown = computed();
  // Removes the plain formatting elements (no attributes) with that effect.
  auto remove = [&chain](TElementFormatting effect) {
    chain.removeIf([effect](const TElementRef& e) {
      const TElementKind& kind = ElementKindOf(e.Tag);
      return kind.PureFormatting && kind.Formatting == effect && e.Attributes.isEmpty();
    });
  };
  if (!HtmlStyle::IsBold(actual) && HtmlStyle::IsBold(shown))
    remove(TElementFormatting::Bold);
  if (!actual.fontItalic() && shown.fontItalic())
    remove(TElementFormatting::Italic);
  if (!actual.fontUnderline() && shown.fontUnderline())
    remove(TElementFormatting::Underline);
  if (!actual.fontStrikeOut() && shown.fontStrikeOut())
    remove(TElementFormatting::StrikeOut);
  if (actual.verticalAlignment() != shown.verticalAlignment()) {
    remove(TElementFormatting::Subscript);
    remove(TElementFormatting::Superscript);
  }
  shown = computed();

  QList<TDomAttribute> font;
  QStringList spanStyle;
  if (HtmlStyle::Families(actual) != HtmlStyle::Families(shown) &&
      !HtmlStyle::Families(actual).isEmpty())
    font.append(MadeAttribute(QStringLiteral("face"),
                              HtmlStyle::Families(actual).join(QStringLiteral(", "))));
  const double points = HtmlStyle::PointSize(actual);
  if (std::abs(points - HtmlStyle::PointSize(shown)) > 0.01) {
    if (const int size = HtmlStyle::PointsToFontSize(points))
      font.append(MadeAttribute(QStringLiteral("size"), QString::number(size)));
    else
      spanStyle.append(QStringLiteral("font-size: ") + QString::number(points, 'g', 4) +
                       QStringLiteral("pt"));
  }
  const QColor color = Foreground(actual);
  if (color.isValid() && color != Foreground(shown))
    font.append(MadeAttribute(QStringLiteral("color"), HtmlStyle::ColorText(color)));
  const QColor background = Background(actual);
  if (background != Background(shown))
    spanStyle.append(QStringLiteral("background-color: ") + (background.isValid()
                                                                 ? HtmlStyle::ColorText(background)
                                                                 : QStringLiteral("transparent")));
  if (HtmlStyle::IsBold(actual) != HtmlStyle::IsBold(shown) && !HtmlStyle::IsBold(actual))
    spanStyle.append(QStringLiteral("font-weight: normal"));
  if (actual.fontItalic() != shown.fontItalic() && !actual.fontItalic())
    spanStyle.append(QStringLiteral("font-style: normal"));
  const bool decorationOff = (!actual.fontUnderline() && shown.fontUnderline()) ||
                             (!actual.fontStrikeOut() && shown.fontStrikeOut());
  if (decorationOff)
    spanStyle.append(QStringLiteral("text-decoration: none"));

  if (!font.isEmpty())
    chain.append(MadeElement(QStringLiteral("font"), font));
  if (!spanStyle.isEmpty())
    chain.append(MadeElement(
        QStringLiteral("span"),
        {MadeAttribute(QStringLiteral("style"), spanStyle.join(QStringLiteral("; ")))}));
  if (HtmlStyle::IsBold(actual) && !HtmlStyle::IsBold(shown))
    chain.append(MadeElement(QStringLiteral("strong")));
  if (actual.fontItalic() && !shown.fontItalic())
    chain.append(MadeElement(QStringLiteral("em")));
  if (actual.fontUnderline() && (decorationOff || !shown.fontUnderline()))
    chain.append(MadeElement(QStringLiteral("u")));
  if (actual.fontStrikeOut() && (decorationOff || !shown.fontStrikeOut()))
    chain.append(MadeElement(QStringLiteral("s")));
  if (actual.verticalAlignment() != shown.verticalAlignment()) {
    if (actual.verticalAlignment() == QTextCharFormat::AlignSubScript)
      chain.append(MadeElement(QStringLiteral("sub")));
    else if (actual.verticalAlignment() == QTextCharFormat::AlignSuperScript)
      chain.append(MadeElement(QStringLiteral("sup")));
  }
  return chain;
}
