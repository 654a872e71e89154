#include "lang/display_language.h"

#include "core/program_messages.h"
#include "lang/lang_file.h"
#include "lang/lang_res.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"

#include <QDir>
#include <QFileInfo>

QString LangFilePath;

namespace {

// The room the locale query has, terminating zero included.
constexpr qsizetype LocaleBufferSize = 19;

using SettingsKey::DisplayLanguage;
using SettingsSection::General;
const QString English = QStringLiteral("English");

QString PathForFile(const QString& fileName) {
  return QStringLiteral(".\\Languages\\") + fileName;
}

QFileInfoList LanguageEntries() {
  const QDir folder(ProgramRelativePath(QStringLiteral("Languages")));
  const QFileInfoList entries = folder.entryInfoList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
  QFileInfoList languages;
  for (const QFileInfo& entry : entries)
    if (IsLanguageFileName(entry.fileName()))
      languages.append(entry);
  return languages;
}

// The current language file's text for one of the program's messages.
QString ProgramMessageInFile(const QString& key) {
  if (LangFilePath.isEmpty())
    return {};
  const QString value =
      LangFile::ReadString(ProgramRelativePath(LangFilePath), QStringLiteral("TfrmMain"), key);
  return value.isEmpty() ? value : TsmlLangRes::StripBracket(value);
}

struct TRegionalName {
  QLocale::Language Language;
  QLocale::Territory Territory;
  const char* Abbreviation;
};

// Windows' own abbreviations for the regional variants it names specially;
// the primary variant of a language is listed under AnyTerritory.
const TRegionalName RegionalNames[] = {
    {QLocale::Chinese, QLocale::China, "CHS"},
    {QLocale::Chinese, QLocale::Singapore, "CHS"},
    {QLocale::Chinese, QLocale::Taiwan, "CHT"},
    {QLocale::Chinese, QLocale::HongKong, "ZHH"},
    {QLocale::Chinese, QLocale::Macau, "ZHM"},
    {QLocale::English, QLocale::UnitedStates, "ENU"},
    {QLocale::English, QLocale::UnitedKingdom, "ENG"},
    {QLocale::English, QLocale::Australia, "ENA"},
    {QLocale::English, QLocale::Canada, "ENC"},
    {QLocale::English, QLocale::NewZealand, "ENZ"},
    {QLocale::English, QLocale::Ireland, "ENI"},
    {QLocale::English, QLocale::SouthAfrica, "ENS"},
    {QLocale::English, QLocale::India, "ENN"},
    {QLocale::English, QLocale::Singapore, "ENE"},
    {QLocale::English, QLocale::Philippines, "ENP"},
    {QLocale::English, QLocale::AnyTerritory, "ENU"},
    {QLocale::German, QLocale::Switzerland, "DES"},
    {QLocale::German, QLocale::Austria, "DEA"},
    {QLocale::German, QLocale::AnyTerritory, "DEU"},
    {QLocale::French, QLocale::Belgium, "FRB"},
    {QLocale::French, QLocale::Canada, "FRC"},
    {QLocale::French, QLocale::Switzerland, "FRS"},
    {QLocale::French, QLocale::AnyTerritory, "FRA"},
    {QLocale::Spanish, QLocale::Mexico, "ESM"},
    {QLocale::Spanish, QLocale::AnyTerritory, "ESN"},
    {QLocale::Portuguese, QLocale::Brazil, "PTB"},
    {QLocale::Portuguese, QLocale::AnyTerritory, "PTG"},
    {QLocale::Italian, QLocale::Switzerland, "ITS"},
    {QLocale::Italian, QLocale::AnyTerritory, "ITA"},
    {QLocale::Dutch, QLocale::Belgium, "NLB"},
    {QLocale::Dutch, QLocale::AnyTerritory, "NLD"},
    {QLocale::Japanese, QLocale::AnyTerritory, "JPN"},
    {QLocale::Korean, QLocale::AnyTerritory, "KOR"},
    {QLocale::Russian, QLocale::AnyTerritory, "RUS"},
    {QLocale::Polish, QLocale::AnyTerritory, "PLK"},
    {QLocale::Czech, QLocale::AnyTerritory, "CSY"},
    {QLocale::Swedish, QLocale::AnyTerritory, "SVE"},
    {QLocale::Danish, QLocale::AnyTerritory, "DAN"},
    {QLocale::NorwegianBokmal, QLocale::AnyTerritory, "NOR"},
    {QLocale::Finnish, QLocale::AnyTerritory, "FIN"},
    {QLocale::Greek, QLocale::AnyTerritory, "ELL"},
    {QLocale::Turkish, QLocale::AnyTerritory, "TRK"},
    {QLocale::Hebrew, QLocale::AnyTerritory, "HEB"},
    {QLocale::Arabic, QLocale::AnyTerritory, "ARA"},
    {QLocale::Thai, QLocale::AnyTerritory, "THA"},
    {QLocale::Vietnamese, QLocale::AnyTerritory, "VIT"},
    {QLocale::Indonesian, QLocale::AnyTerritory, "IND"},
    {QLocale::Ukrainian, QLocale::AnyTerritory, "UKR"},
    {QLocale::Hungarian, QLocale::AnyTerritory, "HUN"},
};

} // namespace

QString WindowsLanguageAbbreviation(const QLocale& locale) {
  const QLocale::Language language = locale.language();
  if (language == QLocale::C || language == QLocale::AnyLanguage)
    return {};
  const QLocale::Territory territory = locale.territory();
  for (const TRegionalName& entry : RegionalNames)
    if (entry.Language == language && entry.Territory == territory)
      return QString::fromLatin1(entry.Abbreviation);
  if (language == QLocale::Chinese)
    return locale.script() == QLocale::TraditionalHanScript ? QStringLiteral("CHT")
                                                            : QStringLiteral("CHS");
  for (const TRegionalName& entry : RegionalNames)
    if (entry.Language == language && entry.Territory == QLocale::AnyTerritory)
      return QString::fromLatin1(entry.Abbreviation);
  // Other languages: the ISO code and the first letter of the territory,
  // which is how most of Windows' own abbreviations are built.
  const QString code = QLocale::languageToCode(language, QLocale::ISO639Part1).toUpper();
  const QString region = QLocale::territoryToCode(territory);
  if (code.size() != 2)
    return {};
  return code + (region.isEmpty() ? QStringLiteral("X") : region.left(1).toUpper());
}

QString GetLocaleInformation(quint32 item) {
  const QLocale locale;
  QString text;
  switch (item) {
  case LocaleItem::AbbrevLanguageName:
    text = WindowsLanguageAbbreviation(locale);
    break;
  case LocaleItem::NativeLanguageName:
    text = locale.nativeLanguageName();
    break;
  case LocaleItem::Iso639LanguageName:
    text = QLocale::languageToCode(locale.language(), QLocale::ISO639Part1);
    break;
  case LocaleItem::Iso3166CountryName:
    text = QLocale::territoryToCode(locale.territory());
    break;
  case LocaleItem::EnglishLanguageName:
    text = QLocale::languageToString(locale.language());
    break;
  case LocaleItem::EnglishCountryName:
    text = QLocale::territoryToString(locale.territory());
    break;
  default:
    break;
  }
  // The query fails when the text and its terminating zero overflow the
  // buffer, and an empty answer counts as a failure too.
  if (text.isEmpty() || text.size() + 1 > LocaleBufferSize)
    return {};
  return text;
}

bool IsLanguageFileName(const QString& fileName) {
  return fileName.size() > 4 && fileName.endsWith(QLatin1String(".lng"), Qt::CaseInsensitive);
}

QString LanguageOfFile(const QString& fileName) {
  return fileName.chopped(4);
}

QStringList ListLanguageNames() {
  QStringList names;
  for (const QFileInfo& entry : LanguageEntries())
    names.append(LanguageOfFile(entry.fileName()));
  return names;
}

QString LanguageFilePathFor(const QString& name) {
  if (name.isEmpty())
    return {};
  const QString exact = PathForFile(name + QStringLiteral(".lng"));
  if (QFileInfo(ProgramRelativePath(exact)).isFile())
    return exact;
  for (const QFileInfo& entry : LanguageEntries())
    if (entry.isFile() && LanguageOfFile(entry.fileName()).compare(name, Qt::CaseInsensitive) == 0)
      return PathForFile(entry.fileName());
  return {};
}

void SelectDisplayLanguage() {
  // Messages follow whichever file this picks.
  SetMessageSource(&ProgramMessageInFile);
  QString name = IniReadString(SettingsFileName, General, DisplayLanguage);
  if (name.isEmpty()) {
    const QString code = GetLocaleInformation(LocaleItem::AbbrevLanguageName);
    if (code == QLatin1String("CHS"))
      name = QStringLiteral("Chinese-Simp");
    else if (code == QLatin1String("CHT"))
      name = QStringLiteral("Chinese-Trad");
    else
      name = English;
    IniWriteString(SettingsFileName, General, DisplayLanguage, name);
  }
  LangFilePath = LanguageFilePathFor(name);
  if (!LangFilePath.isEmpty())
    return;
  // The English file itself is not checked: without it every window keeps
  // its built-in texts.
  LangFilePath = PathForFile(English + QStringLiteral(".lng"));
  IniWriteString(SettingsFileName, General, DisplayLanguage, English);
}
