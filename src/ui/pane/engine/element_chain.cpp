#include "ui/pane/engine/element_chain.h"

#include "ui/pane/engine/length_fields.h"

#include <algorithm>
#include <atomic>

QString TElementRef::Attribute(QStringView name) const {
  for (const TDomAttribute& attribute : Attributes)
    if (attribute.Name == name)
      return attribute.Value;
  return {};
}

bool TElementRef::HasAttribute(QStringView name) const {
  return std::any_of(Attributes.begin(), Attributes.end(),
                     [name](const TDomAttribute& a) { return a.Name == name; });
}

void TElementRef::SetAttribute(const QString& name, const QString& value) {
  for (TDomAttribute& attribute : Attributes)
    if (attribute.Name == name) {
      attribute.Value = value;
      return;
    }
  Attributes.append(TDomAttribute{name, value, true});
}

void TElementRef::RemoveAttribute(QStringView name) {
  Attributes.removeIf([name](const TDomAttribute& a) { return a.Name == name; });
}

quint64 NewElementId() {
  static std::atomic<quint64> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

bool SameElement(const TElementRef& a, const TElementRef& b) {
  if (a.Id != 0 || b.Id != 0)
    return a.Id == b.Id;
  return a.Tag == b.Tag &&
         std::equal(a.Attributes.begin(), a.Attributes.end(), b.Attributes.begin(),
                    b.Attributes.end(), [](const TDomAttribute& x, const TDomAttribute& y) {
                      return x.Name == y.Name && x.Value == y.Value;
                    });
}

void AppendSerializedElement(QString& out, const TElementRef& element) {
  out += QString::number(element.Id);
  out += u'|';
  out += QString::number(element.Attributes.size());
  out += u'|';
  AppendLengthField(out, element.Tag);
  for (const TDomAttribute& attribute : element.Attributes) {
    AppendLengthField(out, attribute.Name);
    AppendLengthField(out, attribute.Value);
  }
}

QString SerializeChain(const TElementChain& chain) {
  QString out;
  for (const TElementRef& element : chain)
    AppendSerializedElement(out, element);
  return out;
}

TElementChain ParseChain(QStringView serialized) {
  TElementChain chain;
  TLengthFieldReader parser(serialized);
  while (!parser.AtEnd()) {
    TElementRef element;
    quint64 attributeCount = 0;
    if (!parser.ReadNumber(element.Id, u'|') || !parser.ReadNumber(attributeCount, u'|') ||
        !parser.ReadField(element.Tag))
      break;
    bool complete = true;
    for (quint64 i = 0; i < attributeCount && complete; ++i) {
      TDomAttribute attribute;
      complete = parser.ReadField(attribute.Name) && parser.ReadField(attribute.Value);
      if (complete)
        element.Attributes.append(attribute);
    }
    if (!complete)
      break;
    chain.append(std::move(element));
  }
  return chain;
}
