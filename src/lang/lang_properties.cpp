#include "lang/lang_properties.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMetaProperty>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include <vector>

namespace LangProperty {
namespace {

const char RestrictProperty[] = "langProperties";

struct TTextProperty {
  const char* Name;
  QString (*Get)(const QObject*);
  void (*Set)(QObject*, const QString&);
};

struct TStringsProperty {
  const char* Name;
  QStringList (*Get)(const QObject*);
  void (*SetLine)(QObject*, qsizetype, const QString&);
};

struct TControlKind {
  bool (*Is)(const QObject*);
  std::vector<TTextProperty> Texts;
  std::vector<TStringsProperty> Lists;
};

template <class T> T* As(QObject* o) {
  return qobject_cast<T*>(o);
}
template <class T> const T* As(const QObject* o) {
  return qobject_cast<const T*>(o);
}
template <class T> bool Is(const QObject* o) {
  return qobject_cast<const T*>(o) != nullptr;
}

// A page of a QTabWidget sits in the tab widget's internal stack.
QTabWidget* TabWidgetOfPage(const QObject* object) {
  const auto* page = As<QWidget>(object);
  if (!page || !page->parentWidget())
    return nullptr;
  auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
  return tabs && tabs->indexOf(const_cast<QWidget*>(page)) >= 0 ? tabs : nullptr;
}

const TTextProperty WidgetHint{"Hint", [](const QObject* o) { return As<QWidget>(o)->toolTip(); },
                               [](QObject* o, const QString& v) { As<QWidget>(o)->setToolTip(v); }};

const TStringsProperty ComboItems{"Items",
                                  [](const QObject* o) {
                                    const auto* c = As<QComboBox>(o);
                                    QStringList items;
                                    for (int i = 0; i < c->count(); ++i)
                                      items.append(c->itemText(i));
                                    return items;
                                  },
                                  [](QObject* o, qsizetype i, const QString& v) {
                                    As<QComboBox>(o)->setItemText(static_cast<int>(i), v);
                                  }};

const TStringsProperty ListItems{"Items",
                                 [](const QObject* o) {
                                   const auto* l = As<QListWidget>(o);
                                   QStringList items;
                                   for (int i = 0; i < l->count(); ++i)
                                     items.append(l->item(i)->text());
                                   return items;
                                 },
                                 [](QObject* o, qsizetype i, const QString& v) {
                                   As<QListWidget>(o)->item(static_cast<int>(i))->setText(v);
                                 }};

const TStringsProperty TabBarTabs{"Tabs",
                                  [](const QObject* o) {
                                    const auto* t = As<QTabBar>(o);
                                    QStringList tabs;
                                    for (int i = 0; i < t->count(); ++i)
                                      tabs.append(t->tabText(i));
                                    return tabs;
                                  },
                                  [](QObject* o, qsizetype i, const QString& v) {
                                    As<QTabBar>(o)->setTabText(static_cast<int>(i), v);
                                  }};

// Most specific kind first: the first kind a component belongs to decides.
const std::vector<TControlKind>& Kinds() {
  static const std::vector<TControlKind> kinds{
      {Is<QAction>,
       {{"Caption", [](const QObject* o) { return As<QAction>(o)->text(); },
         [](QObject* o, const QString& v) { As<QAction>(o)->setText(v); }},
        {"Hint", [](const QObject* o) { return As<QAction>(o)->toolTip(); },
         [](QObject* o, const QString& v) { As<QAction>(o)->setToolTip(v); }}},
       {}},
      // A menu is only the holder of its items, which have the texts.
      {[](const QObject* o) { return Is<QMenu>(o) || Is<QMenuBar>(o); }, {}, {}},
      {[](const QObject* o) { return TabWidgetOfPage(o) != nullptr; },
       {{"Caption",
         [](const QObject* o) {
           QTabWidget* tabs = TabWidgetOfPage(o);
           return tabs->tabText(tabs->indexOf(const_cast<QWidget*>(As<QWidget>(o))));
         },
         [](QObject* o, const QString& v) {
           QTabWidget* tabs = TabWidgetOfPage(o);
           tabs->setTabText(tabs->indexOf(As<QWidget>(o)), v);
         }},
        WidgetHint},
       {}},
      {Is<QAbstractButton>,
       {{"Caption", [](const QObject* o) { return As<QAbstractButton>(o)->text(); },
         [](QObject* o, const QString& v) { As<QAbstractButton>(o)->setText(v); }},
        WidgetHint},
       {}},
      {Is<QLabel>,
       {{"Caption", [](const QObject* o) { return As<QLabel>(o)->text(); },
         [](QObject* o, const QString& v) { As<QLabel>(o)->setText(v); }},
        WidgetHint},
       {}},
      {Is<QGroupBox>,
       {{"Caption", [](const QObject* o) { return As<QGroupBox>(o)->title(); },
         [](QObject* o, const QString& v) { As<QGroupBox>(o)->setTitle(v); }},
        WidgetHint},
       {}},
      {Is<QTabBar>, {WidgetHint}, {TabBarTabs}},
      {Is<QComboBox>, {WidgetHint}, {ComboItems}},
      {Is<QListWidget>, {WidgetHint}, {ListItems}},
      {[](const QObject* o) { return Is<QWidget>(o) && As<QWidget>(o)->isWindow(); },
       {{"Caption", [](const QObject* o) { return As<QWidget>(o)->windowTitle(); },
         [](QObject* o, const QString& v) { As<QWidget>(o)->setWindowTitle(v); }},
        WidgetHint},
       {}},
      // Every other widget (edits, panes, status bars, tab widgets whose
      // pages carry their own captions, plain containers) has a hint only.
      {Is<QWidget>, {WidgetHint}, {}},
  };
  return kinds;
}

bool SameName(const char* a, const QString& b) {
  return QString::compare(QLatin1String(a), b, Qt::CaseInsensitive) == 0;
}

bool Allowed(const QObject* component, const QString& name) {
  const QVariant restrict = component->property(RestrictProperty);
  return !restrict.isValid() || restrict.toStringList().contains(name, Qt::CaseInsensitive);
}

// A Q_PROPERTY of the component's own class with this name, when it has a
// text or list type.
QMetaProperty DeclaredProperty(const QObject* component, const QString& name) {
  const QMetaObject* meta = component->metaObject();
  for (int i = 0; i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    if (SameName(p.name(), name) && p.isReadable() && p.isWritable() &&
        (p.metaType() == QMetaType::fromType<QString>() ||
         p.metaType() == QMetaType::fromType<QStringList>()))
      return p;
  }
  return {};
}

const TControlKind* KindEntry(const QObject* component) {
  for (const TControlKind& kind : Kinds())
    if (kind.Is(component))
      return &kind;
  return nullptr;
}

const TTextProperty* TextEntry(const QObject* component, const QString& name) {
  if (const TControlKind* kind = KindEntry(component))
    for (const TTextProperty& p : kind->Texts)
      if (SameName(p.Name, name))
        return &p;
  return nullptr;
}

const TStringsProperty* StringsEntry(const QObject* component, const QString& name) {
  if (const TControlKind* kind = KindEntry(component))
    for (const TStringsProperty& p : kind->Lists)
      if (SameName(p.Name, name))
        return &p;
  return nullptr;
}

} // namespace

TKind KindOf(const QObject* component, const QString& name) {
  if (!component || name.isEmpty() || !Allowed(component, name))
    return TKind::None;
  if (const QMetaProperty p = DeclaredProperty(component, name); p.isValid())
    return p.metaType() == QMetaType::fromType<QString>() ? TKind::Text : TKind::Strings;
  if (TextEntry(component, name))
    return TKind::Text;
  if (StringsEntry(component, name))
    return TKind::Strings;
  if (SameName("Font", name) && Is<QWidget>(component) && !Is<QMenu>(component))
    return TKind::Font;
  return TKind::None;
}

QString Text(const QObject* component, const QString& name) {
  if (const QMetaProperty p = DeclaredProperty(component, name); p.isValid())
    return p.read(component).toString();
  const TTextProperty* entry = TextEntry(component, name);
  return entry ? entry->Get(component) : QString();
}

void SetText(QObject* component, const QString& name, const QString& value) {
  if (const QMetaProperty p = DeclaredProperty(component, name); p.isValid()) {
    p.write(component, value);
    return;
  }
  if (const TTextProperty* entry = TextEntry(component, name))
    entry->Set(component, value);
}

QStringList Strings(const QObject* component, const QString& name) {
  if (const QMetaProperty p = DeclaredProperty(component, name); p.isValid())
    return p.read(component).toStringList();
  const TStringsProperty* entry = StringsEntry(component, name);
  return entry ? entry->Get(component) : QStringList();
}

void SetStringsLine(QObject* component, const QString& name, qsizetype index,
                    const QString& value) {
  if (const QMetaProperty p = DeclaredProperty(component, name); p.isValid()) {
    QStringList lines = p.read(component).toStringList();
    if (index >= 0 && index < lines.size()) {
      lines[index] = value;
      p.write(component, lines);
    }
    return;
  }
  if (const TStringsProperty* entry = StringsEntry(component, name))
    if (index >= 0 && index < entry->Get(component).size())
      entry->SetLine(component, index, value);
}

} // namespace LangProperty
