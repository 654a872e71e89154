#include "ui/pane/engine/run_elements.h"

#include "ui/pane/engine/html_style.h"

#include <QStringList>
#include <cmath>

namespace {

bool SameFamilies(const QTextCharFormat& a, const QTextCharFormat& b) {
  return HtmlStyle::Families(a) == HtmlStyle::Families(b);
}

QColor Foreground(const QTextCharFormat& format) {
  return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
}

QColor Background(const QTextCharFormat& format) {
  return format.hasProperty(QTextFormat::BackgroundBrush) &&
                 format.background().style() != Qt::NoBrush
             ? format.background().color()
             : QColor();
}

QString PointsText(double points) {
  return QString::number(points, 'g', 4) + QStringLiteral("pt");
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
  auto removeWhere = [&chain](auto predicate) {
    chain.removeIf([&](const TElementRef& e) {
      return HtmlVocabulary::IsPureFormatting(e.Tag) && e.Attributes.isEmpty() && predicate(e.Tag);
    });
  };
  if (!HtmlStyle::IsBold(actual) && HtmlStyle::IsBold(shown))
    removeWhere([](const QString& t) { return t == u"b" || t == u"strong"; });
  if (!actual.fontItalic() && shown.fontItalic())
    removeWhere(
        [](const QString& t) { return t == u"i" || t == u"em" || t == u"cite" || t == u"dfn"; });
  if (!actual.fontUnderline() && shown.fontUnderline())
    removeWhere([](const QString& t) { return t == u"u" || t == u"ins"; });
  if (!actual.fontStrikeOut() && shown.fontStrikeOut())
    removeWhere([](const QString& t) { return t == u"s" || t == u"strike" || t == u"del"; });
  if (actual.verticalAlignment() != shown.verticalAlignment())
    removeWhere([](const QString& t) { return t == u"sub" || t == u"sup"; });
  shown = computed();

  QList<TDomAttribute> font;
  QStringList spanStyle;
  if (!SameFamilies(actual, shown) && !HtmlStyle::Families(actual).isEmpty())
    font.append(MadeAttribute(QStringLiteral("face"),
                              HtmlStyle::Families(actual).join(QStringLiteral(", "))));
  const double points = HtmlStyle::PointSize(actual);
  if (std::abs(points - HtmlStyle::PointSize(shown)) > 0.01) {
    if (const int size = HtmlStyle::PointsToFontSize(points))
      font.append(MadeAttribute(QStringLiteral("size"), QString::number(size)));
    else
      spanStyle.append(QStringLiteral("font-size: ") + PointsText(points));
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
