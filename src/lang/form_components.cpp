#include "form_components.h"

#include <QWidget>

namespace {

const char OpaqueProperty[] = "langOpaque";

bool IsComponentName(const QString& name) {
  return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

void Collect(const QObject* parent, QList<QObject*>& out) {
  for (QObject* child : parent->children()) {
    if (const auto* widget = qobject_cast<const QWidget*>(child); widget && widget->isWindow())
      continue;
    const bool named = IsComponentName(child->objectName());
    if (named)
      out.append(child);
    if (!(named && child->property(OpaqueProperty).toBool()))
      Collect(child, out);
  }
}

} // namespace

bool IsForm(const QObject* object) {
  const auto* widget = qobject_cast<const QWidget*>(object);
  return widget && widget->isWindow();
}

bool IsFrame(const QObject* object) {
  const auto* widget = qobject_cast<const QWidget*>(object);
  return widget && !widget->isWindow() && widget->inherits("TFrame");
}

QList<QObject*> FormComponents(const QObject* owner) {
  QList<QObject*> out;
  if (owner)
    Collect(owner, out);
  return out;
}
