#include "core/app_error.h"
#include "lang/display_language.h"
#include "lang_test_support.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

#include <QLocale>

namespace {

// The default locale stands in for the system's while a test runs.
class TLocaleScope {
public:
  explicit TLocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
  ~TLocaleScope() { QLocale::setDefault(QLocale::system()); }
  TLocaleScope(const TLocaleScope&) = delete;
  TLocaleScope& operator=(const TLocaleScope&) = delete;
};

class TDisplayLanguageTest : public TLangTest {
protected:
  void SetUp() override {
    TLangTest::SetUp();
    SettingsFileName = ProgramPath(QStringLiteral("Tralvesco.ini"));
    LangFilePath.clear();
  }
  void TearDown() override {
    SettingsFileName.clear();
    LangFilePath.clear();
    TLangTest::TearDown();
  }

  void Ship(const QStringList& names) {
    for (const QString& name : names)
      WriteLang(name + QStringLiteral(".lng"), "[TfrmMain]\n");
  }
  void Store(const QString& name) {
    ASSERT_TRUE(IniFile::Write(SettingsFileName, QStringLiteral("General"),
                               QStringLiteral("DisplayLanguage"), name));
  }
  std::optional<QString> Stored() const {
    return IniFile::Read(SettingsFileName, QStringLiteral("General"),
                         QStringLiteral("DisplayLanguage"));
  }
};

const QStringList AllThree{QStringLiteral("English"), QStringLiteral("Chinese-Simp"),
                           QStringLiteral("Chinese-Trad")};

TEST_F(TDisplayLanguageTest, AStoredNameIsUsedAsItIs) {
  Ship(AllThree + QStringList{QStringLiteral("Deutsch")});
  TLocaleScope locale(QLocale(QLocale::Chinese, QLocale::China));
  Store(QStringLiteral("Deutsch"));
  SelectDisplayLanguage();
  EXPECT_EQ(LangFilePath, QStringLiteral(".\\Languages\\Deutsch.lng"));
  EXPECT_EQ(Stored(), QStringLiteral("Deutsch"));
}

TEST_F(TDisplayLanguageTest, AStoredNameWhoseFileIsGoneBecomesEnglish) {
  Ship(AllThree);
  Store(QStringLiteral("Chinese-Simp"));
  QFile::remove(ProgramPath(QStringLiteral("Languages/Chinese-Simp.lng")));
  SelectDisplayLanguage();
  EXPECT_EQ(LangFilePath, QStringLiteral(".\\Languages\\English.lng"));
  EXPECT_EQ(Stored(), QStringLiteral("English"));
}

TEST_F(TDisplayLanguageTest, TheEnglishFileItselfIsNotChecked) {
  Store(QStringLiteral("English"));
  SelectDisplayLanguage();
  EXPECT_EQ(LangFilePath, QStringLiteral(".\\Languages\\English.lng"));
  EXPECT_EQ(Stored(), QStringLiteral("English"));
}

TEST_F(TDisplayLanguageTest, ANameDifferingInCaseFindsItsFile) {
  Ship(AllThree);
  Store(QStringLiteral("chinese-SIMP"));
  SelectDisplayLanguage();
  EXPECT_EQ(LangFilePath, QStringLiteral(".\\Languages\\Chinese-Simp.lng"));
  EXPECT_EQ(Stored(), QStringLiteral("chinese-SIMP"));
}

struct TFirstStartCase {
  const char* Name;
  QLocale::Language Language;
  QLocale::Territory Territory;
  bool ChineseFilesShipped;
  const char* Expected;
};
void PrintTo(const TFirstStartCase& c, std::ostream* os) {
  *os << c.Name;
}

class TFirstStartTest : public TDisplayLanguageTest,
                        public ::testing::WithParamInterface<TFirstStartCase> {};

TEST_P(TFirstStartTest, TheLocaleChoosesAndTheChoiceIsStored) {
  const TFirstStartCase& c = GetParam();
  Ship(c.ChineseFilesShipped ? AllThree : QStringList{QStringLiteral("English")});
  TLocaleScope locale(QLocale(c.Language, c.Territory));
  SelectDisplayLanguage();
  EXPECT_EQ(LangFilePath, QStringLiteral(".\\Languages\\%1.lng").arg(QLatin1String(c.Expected)));
  EXPECT_EQ(Stored(), QLatin1String(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, TFirstStartTest,
    ::testing::Values(
        TFirstStartCase{"ChinaIsSimplified", QLocale::Chinese, QLocale::China, true,
                        "Chinese-Simp"},
        TFirstStartCase{"SingaporeIsSimplified", QLocale::Chinese, QLocale::Singapore, true,
                        "Chinese-Simp"},
        TFirstStartCase{"TaiwanIsTraditional", QLocale::Chinese, QLocale::Taiwan, true,
                        "Chinese-Trad"},
        TFirstStartCase{"HongKongIsEnglish", QLocale::Chinese, QLocale::HongKong, true, "English"},
        TFirstStartCase{"UnitedStatesIsEnglish", QLocale::English, QLocale::UnitedStates, true,
                        "English"},
        TFirstStartCase{"GermanyIsEnglish", QLocale::German, QLocale::Germany, true, "English"},
        TFirstStartCase{"CLocaleIsEnglish", QLocale::C, QLocale::AnyTerritory, true, "English"},
        TFirstStartCase{"ChinaWithoutItsFileIsEnglish", QLocale::Chinese, QLocale::China, false,
                        "English"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TDisplayLanguageTest, TheWorkingDirectoryDoesNotMatter) {
  Ship({QStringLiteral("English")});
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QDir(elsewhere.path()).mkpath(QStringLiteral("Languages")));
  QFile decoy(elsewhere.path() + QStringLiteral("/Languages/Chinese-Simp.lng"));
  ASSERT_TRUE(decoy.open(QIODevice::WriteOnly));
  decoy.close();
  const QString oldCurrent = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  Store(QStringLiteral("Chinese-Simp"));
  SelectDisplayLanguage();
  QDir::setCurrent(oldCurrent);
  EXPECT_EQ(LangFilePath, QStringLiteral(".\\Languages\\English.lng"));
  EXPECT_EQ(Stored(), QStringLiteral("English"));
}

TEST_F(TDisplayLanguageTest, AnUnwritableSettingsFileReportsTheError) {
  Ship(AllThree);
  SettingsFileName = ProgramPath(QStringLiteral("NoSuchFolder/Tralvesco.ini"));
  try {
    SelectDisplayLanguage();
    FAIL() << "no error";
  } catch (const ETralvescoError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to ") + SettingsFileName);
  }
}

struct TAbbreviationCase {
  const char* Locale;
  const char* Expected;
};
void PrintTo(const TAbbreviationCase& c, std::ostream* os) {
  *os << c.Locale;
}

class TAbbreviationTest : public ::testing::TestWithParam<TAbbreviationCase> {};

TEST_P(TAbbreviationTest, FollowsWindowsNames) {
  TLocaleScope locale{QLocale(QLatin1String(GetParam().Locale))};
  EXPECT_EQ(GetLocaleInformation(LocaleItem::AbbrevLanguageName),
            QLatin1String(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, TAbbreviationTest,
    ::testing::Values(TAbbreviationCase{"zh_CN", "CHS"}, TAbbreviationCase{"zh_SG", "CHS"},
                      TAbbreviationCase{"zh_TW", "CHT"}, TAbbreviationCase{"zh_HK", "ZHH"},
                      TAbbreviationCase{"zh_MO", "ZHM"}, TAbbreviationCase{"en_US", "ENU"},
                      TAbbreviationCase{"en_GB", "ENG"}, TAbbreviationCase{"de_DE", "DEU"},
                      TAbbreviationCase{"de_AT", "DEA"}, TAbbreviationCase{"fr_CA", "FRC"},
                      TAbbreviationCase{"ja_JP", "JPN"}, TAbbreviationCase{"pt_BR", "PTB"},
                      TAbbreviationCase{"sw_KE", "SWK"}, TAbbreviationCase{"C", ""}),
    [](const auto& row) { return std::string(row.param.Locale); });

TEST(LocaleInformation, ATextMustFitNineteenCharactersWithItsZero) {
  {
    TLocaleScope locale(QLocale(QLocale::Spanish, QLocale::DominicanRepublic));
    EXPECT_EQ(GetLocaleInformation(LocaleItem::EnglishCountryName),
              QStringLiteral("Dominican Republic"));
  }
  {
    TLocaleScope locale(QLocale(QLocale::Arabic, QLocale::UnitedArabEmirates));
    EXPECT_EQ(QLocale().territoryToString(QLocale().territory()).size(), 20);
    EXPECT_EQ(GetLocaleInformation(LocaleItem::EnglishCountryName), QString());
    EXPECT_EQ(GetLocaleInformation(LocaleItem::Iso639LanguageName), QStringLiteral("ar"));
  }
  EXPECT_EQ(GetLocaleInformation(0x7FFF), QString()) << "unknown items fail";
}

} // namespace
