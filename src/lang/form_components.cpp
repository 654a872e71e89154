#include "lang/form_components.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QWidget>

namespace {

const char OpaqueProperty[] = "langOpaque";

// Qt names some of its internal objects "qt_..." or "_q_...".
bool IsComponentName(const QString& name) {
  return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) &&
         !name.startsWith(QLatin1String("_q_"));
}

// Controls whose children are their own parts (a tab bar's scroll buttons,
// an edit's clear button), never controls placed on the form.
bool IsLeafControl(const QObject* object) {
  return qobject_cast<const QTabBar*>(object) || qobject_cast<const QAbstractButton*>(object) ||
         qobject_cast<const QComboBox*>(object) || qobject_cast<const QLineEdit*>(object) ||
         qobject_cast<const QAbstractSpinBox*>(object);
}

void Collect(const QObject* parent, QList<QObject*>& out);

void Visit(QObject* child, QList<QObject*>& out) {
  if (const auto* widget = qobject_cast<const QWidget*>(child); widget && widget->isWindow())
    return;
  const bool named = IsComponentName(child->objectName());
  if (named)
    out.append(child);
  if (!IsLeafControl(child) && !(named && child->property(OpaqueProperty).toBool()))
    Collect(child, out);
}

void Collect(const QObject* parent, QList<QObject*>& out) {
  // A stack raises the page it shows, which reorders its children; its page
  // order (a tab widget's tab order) is the order they were added in.
  if (const auto* stack = qobject_cast<const QStackedWidget*>(parent)) {
    for (int i = 0; i < stack->count(); ++i)
      Visit(stack->widget(i), out);
    for (QObject* child : parent->children())
      if (const auto* w = qobject_cast<const QWidget*>(child); !w || stack->indexOf(w) < 0)
        Visit(child, out);
    return;
  }
  for (QObject* child : parent->children())
    Visit(child, out);
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
