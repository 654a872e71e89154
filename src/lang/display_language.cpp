#include "lang/display_language.h"

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

QString PathForName(const QString& name) {
  return QStringLiteral(".\\Languages\\") + name + QStringLiteral(".lng");
}

// Windows compares file names without regard to case; a stored name that
// differs from the file's only in case finds the file there, so it should
// here as well.
QString FileNameCaseInsensitive(const QString& name) {
  const QDir dir(ProgramRelativePath(QStringLiteral("Languages")));
  const QString wanted = name + QStringLiteral(".lng");
  const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& entry : entries)
    if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
      return entry.chopped(4);
  return {};
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

void SelectDisplayLanguage() {
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
  LangFilePath = PathForName(name);
  if (QFileInfo(ProgramRelativePath(LangFilePath)).isFile())
    return;
  if (const QString actual = FileNameCaseInsensitive(name); !actual.isEmpty()) {
    LangFilePath = PathForName(actual);
    return;
  }
  LangFilePath = PathForName(English);
  IniWriteString(SettingsFileName, General, DisplayLanguage, English);
}
