#pragma once

#include <QStringList>

class QWidget;
class TsmlFormLangRes;
class TsmlMenuLangRes;
class TsmlMsgLangRes;

// The localisers a window owns, set up the way every window sets them up:
// named as the form designer names them, reading the design-time file
// "English.ini" until the display language hands them one, with write-back
// off, and made active last, so that setting them up never creates a file.

// "smlFormLangRes1": the named properties of the window's components and
// their tab texts; never the window's caption; an empty text in the file
// leaves a component alone. Components named in ignoreControls are left out.
TsmlFormLangRes* CreateFormLocaliser(QWidget* form, const QStringList& stringProperties,
                                     const QStringList& ignoreControls = {});

// "smlMenuLangRes1": the items of one of the window's menus.
TsmlMenuLangRes* CreateMenuLocaliser(QWidget* form, QWidget* menu);

// "smlMsgLangRes1": the window's messages, as "name=text" lines.
TsmlMsgLangRes* CreateMsgLocaliser(QWidget* form, const QStringList& msgList);
