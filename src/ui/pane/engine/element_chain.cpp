#include "ui/pane/engine/element_chain.h"

#include <atomic>

QString TElementRef::Attribute(QStringView name) const {
  for (const TDomAttribute& attribute : Attributes)
    if (attribute.Name == name)
      return attribute.Value;
  return {};
}

bool TElementRef::HasAttribute(QStringView name) const {
  for (const TDomAttribute& attribute : Attributes)
    if (attribute.Name == name)
      return true;
  return false;
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
  if (a.Tag != b.Tag || a.Attributes.size() != b.Attributes.size())
    return false;
  for (qsizetype i = 0; i < a.Attributes.size(); ++i)
    if (a.Attributes[i].Name != b.Attributes[i].Name ||
        a.Attributes[i].Value != b.Attributes[i].Value)
      return false;
  return true;
}

namespace {

// Every string is written as its length, ':' and its characters, so any
// character may appear in names and values.
void AppendField(QString& out, QStringView text) {
  out += QString::number(text.size());
  out += u':';
  out += text;
}

class TChainParser {
public:
  explicit TChainParser(QStringView text) : FText(text) {}

  bool AtEnd() const { return FAt >= FText.size(); }

  bool ReadNumber(quint64& value, QChar terminator) {
    value = 0;
    const qsizetype start = FAt;
    while (FAt < FText.size() && FText[FAt].isDigit() && FAt - start < 19) {
      value = value * 10 + static_cast<quint64>(FText[FAt].unicode() - u'0');
      ++FAt;
    }
    if (FAt == start || FAt >= FText.size() || FText[FAt] != terminator)
      return false;
    ++FAt;
    return true;
  }

  bool ReadField(QString& value) {
    quint64 length = 0;
    if (!ReadNumber(length, u':') || length > static_cast<quint64>(FText.size() - FAt))
      return false;
    value = FText.mid(FAt, static_cast<qsizetype>(length)).toString();
    FAt += static_cast<qsizetype>(length);
    return true;
  }

private:
  QStringView FText;
  qsizetype FAt = 0;
};

} // namespace

void AppendSerializedElement(QString& out, const TElementRef& element) {
  out += QString::number(element.Id);
  out += u'|';
  out += QString::number(element.Attributes.size());
  out += u'|';
  AppendField(out, element.Tag);
  for (const TDomAttribute& attribute : element.Attributes) {
    AppendField(out, attribute.Name);
    AppendField(out, attribute.Value);
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
  TChainParser parser(serialized);
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
