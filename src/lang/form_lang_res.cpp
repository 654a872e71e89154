#include "lang/form_lang_res.h"

#include "lang/form_components.h"

#include <QAction>
#include <QHeaderView>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

TsmlFormLangRes::TsmlFormLangRes(QObject* owner) : TsmlLangRes(owner) {}

void TsmlFormLangRes::SetStringProperties(const QStringList& value) {
  FStringProperties = value;
  Refresh();
}

void TsmlFormLangRes::SetStringsProperties(const QStringList& value) {
  FStringsProperties = value;
  Refresh();
}

void TsmlFormLangRes::SetIgnoreControls(const QStringList& value) {
  FIgnoreControls = value;
  Refresh();
}

void TsmlFormLangRes::SetIgnoreFormCaption(bool value) {
  FIgnoreFormCaption = value;
  Refresh();
}

void TsmlFormLangRes::SetIncludeListViewItems(bool value) {
  FIncludeListViewItems = value;
  Refresh();
}

void TsmlFormLangRes::SetIncludeListViewHead(bool value) {
  FIncludeListViewHead = value;
  Refresh();
}

void TsmlFormLangRes::SetIncludeTreeViewItems(bool value) {
  FIncludeTreeViewItems = value;
  Refresh();
}

void TsmlFormLangRes::ApplyLanguage() {
  QWidget* owner = OwnerForm() ? OwnerForm() : OwnerFrame();
  if (!owner)
    return;
  ApplyFont(owner);
  for (const QString& name : FStringProperties) {
    if (FIgnoreFormCaption && name == QLatin1String("Caption"))
      continue;
    if (HasProperty(owner, name))
      ApplyStringProperty(owner, name);
  }
  for (const QString& name : FStringsProperties)
    if (HasProperty(owner, name))
      ApplyStringsProperty(owner, name);
  for (QObject* component : FormComponents(owner))
    ApplyComponent(component);
}

void TsmlFormLangRes::ApplyComponent(QObject* component) {
  if (qobject_cast<TsmlFormLangRes*>(component) || qobject_cast<QTimer*>(component) ||
      qobject_cast<QAction*>(component))
    return;
  if (FIgnoreControls.contains(component->objectName(), Qt::CaseSensitive))
    return;
  if (auto* list = qobject_cast<QTableWidget*>(component)) {
    if (FIncludeListViewHead)
      ApplyListColumns(list);
    if (FIncludeListViewItems)
      ApplyListItems(list);
    return;
  }
  if (auto* tree = qobject_cast<QTreeWidget*>(component); tree && FIncludeTreeViewItems) {
    ApplyTreeItems(tree);
    return;
  }
  if (auto* header = qobject_cast<QHeaderView*>(component)) {
    ApplyHeaderSections(header);
    return;
  }
  if (auto* grid = qobject_cast<QTableView*>(component)) {
    ApplyGridColumns(grid);
    return;
  }
  ApplyNamedProperties(component);
}

void TsmlFormLangRes::ApplyNamedProperties(QObject* component) {
  for (const QString& name : FStringProperties)
    if (HasProperty(component, name))
      ApplyStringProperty(component, name);
  for (const QString& name : FStringsProperties)
    if (HasProperty(component, name))
      ApplyStringsProperty(component, name);
}
