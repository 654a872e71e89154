#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The named properties a localiser can reach on a component. Each kind of Qt
// control declares which it has (see the table in lang_properties.cpp):
//   Caption  the visible text: a label's or button's text, a group box's
//            title, a tab page's tab text, a menu item's text, a window's title
//   Hint     the tool tip of any widget or action
//   Tabs     the tab texts of a tab bar
//   Items    the entries of a combo box or list box
//   Font     the font of any widget
// Names match without regard to case. A class of ours can add a property by
// declaring a Q_PROPERTY of that name (QString for a text, QStringList for a
// list). A component can narrow what it exposes with the dynamic property
// "langProperties" (a QStringList of names), for example a label that only
// ever shows a picture and so has a hint but no caption.
namespace LangProperty {

enum class TKind { None, Text, Strings, Font };

TKind KindOf(const QObject* component, const QString& name);

// Only for a component whose KindOf(name) is Text.
QString Text(const QObject* component, const QString& name);
void SetText(QObject* component, const QString& name, const QString& value);

// Only for a component whose KindOf(name) is Strings.
QStringList Strings(const QObject* component, const QString& name);
void SetStringsLine(QObject* component, const QString& name, qsizetype index, const QString& value);

} // namespace LangProperty
