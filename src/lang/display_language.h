#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The language file the windows use: ".\Languages\" + name + ".lng", relative
// to the program's folder (resolve it with ProgramRelativePath). Empty until
// SelectDisplayLanguage has run.
extern QString LangFilePath;

// Windows locale-information items this program can answer.
namespace LocaleItem {
constexpr quint32 NativeLanguageName = 0x00000004;  // LOCALE_SNATIVELANGNAME
constexpr quint32 AbbrevLanguageName = 0x00000003;  // LOCALE_SABBREVLANGNAME
constexpr quint32 Iso639LanguageName = 0x00000059;  // LOCALE_SISO639LANGNAME
constexpr quint32 Iso3166CountryName = 0x0000005A;  // LOCALE_SISO3166CTRYNAME
constexpr quint32 EnglishLanguageName = 0x00001001; // LOCALE_SENGLANGUAGE
constexpr quint32 EnglishCountryName = 0x00001002;  // LOCALE_SENGCOUNTRY
} // namespace LocaleItem

// Windows' three-letter abbreviated language name of a locale ("CHS" for
// Chinese as used in mainland China, "CHT" for Taiwan, "ENU" for US
// English); empty for the C locale, which names no language.
QString WindowsLanguageAbbreviation(const QLocale& locale);

// One item of the default locale (QLocale(), which is the system locale until
// QLocale::setDefault changes it). Empty when the item is unknown or its text
// would not fit a buffer of 19 characters with its terminating zero.
QString GetLocaleInformation(quint32 item);

// What counts as a language file, for the options' list and for the loader
// alike: an entry of Languages/ beside the program whose name ends in ".lng"
// in any letter case, with a name before it. Hidden entries count; so do
// folders, which the list offers and the loader then passes over.
bool IsLanguageFileName(const QString& fileName);
// The language a file is for: its name without the ".lng".
QString LanguageOfFile(const QString& fileName);
// The names of the entries in Languages/, in the order the file system lists
// them.
QStringList ListLanguageNames();
// The language file for a language name, as LangFilePath names it
// (".\Languages\Name.lng", in the file's own letter case); empty when no
// file is there. Names match without regard to case, as on the system the
// files were first made for.
QString LanguageFilePathFor(const QString& name);

// Sets LangFilePath from "DisplayLanguage" in the settings file, choosing by
// the locale when nothing is stored and falling back to English when the file
// is missing. May write "DisplayLanguage" (and throw ETralvescoError when
// that write fails).
void SelectDisplayLanguage();
