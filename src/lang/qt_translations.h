#pragma once

#include <QString>

// Qt's own texts (the standard buttons of message boxes, the file and print
// dialogs, edit menus) follow the interface language: a language file whose
// FontCharset is 134 brings Qt's Simplified Chinese translation with it, 136
// the Traditional one, whatever the file is called; every other file leaves
// Qt in English.

// The locale of Qt's translation for a language file, given as LangFilePath
// names it (".\Languages\Chinese-Simp.lng"); empty when there is none.
QString QtLocaleOfLanguageFile(const QString& langFilePath);

// Puts Qt's translation for the language file in force in place of the one
// before, or takes it away. True when Qt's texts are translated afterwards;
// false for English, without an application object, or when the
// translation is not installed on this system.
bool UseQtTranslations(const QString& langFilePath);
