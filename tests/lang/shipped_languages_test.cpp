#include "core/program_messages.h"
#include "settings/ini_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

const QString DataDir = QStringLiteral(TRALVESCO_DATA_DIR);

struct TSection {
  QString Name;
  QStringList Keys;
};

QStringList Suffixed(const QStringList& names, const QStringList& suffixes) {
  QStringList keys;
  for (const QString& name : names)
    for (const QString& suffix : suffixes)
      keys.append(name + suffix);
  return keys;
}

const QStringList FontKeys{QStringLiteral("_FontName"), QStringLiteral("_FontSize"),
                           QStringLiteral("_FontCharset")};

// Every key the three windows look up.
QList<TSection> WindowKeys() {
  const QStringList both{QStringLiteral("_Caption"), QStringLiteral("_Hint")};
  QStringList mainKeys = Suffixed({QStringLiteral("frmMain")}, FontKeys);
  mainKeys << QStringLiteral("frmMain_Hint");
  mainKeys << Suffixed({"labFromLang", "labToLang",    "labFrom",     "labTo",      "btnPaste",
                        "btnCopy",     "btnSwap",      "btnClear",    "btnClear2",  "btnPrint",
                        "btnOpen",     "btnCopy2",     "btnPaste2",   "btnSave2",   "btnSave",
                        "btnHelp",     "btnTranslate", "rgDirection", "rbEngToChn", "rbChnToEng"},
                       both);
  mainKeys << Suffixed({"ImgLoad", "Bar", "E1", "e2"}, {QStringLiteral("_Hint")});
  mainKeys << Suffixed({"miOptions", "miWebSite", "miContactUs", "miAbout"},
                       {QStringLiteral("_Caption")});
  mainKeys << QStringList{"strInfomation", "strEnglish", "strChinese"};
  // The program's own messages, each with a text in every shipped file.
  mainKeys << MessageKeys();

  QStringList optionKeys = Suffixed({QStringLiteral("frmOptions")}, FontKeys);
  optionKeys << Suffixed({"tsGeneral",   "chkAutoPaste",    "chkAutoCopy",  "rgChineseLanguage",
                          "rbSimp",      "rbTrad",          "Panel1",       "Panel2",
                          "rgLang",      "labLang",         "tsConnection", "rgProxySettings",
                          "rbNoProxy",   "rbManuallyProxy", "labAddress",   "labPort",
                          "labUserName", "labPassword",     "btnDefault",   "btnOk"},
                         {QStringLiteral("_Caption")});
  optionKeys << QStringLiteral("strInfomation");

  QStringList aboutKeys = Suffixed({QStringLiteral("frmAbout")}, FontKeys);
  aboutKeys << QStringLiteral("frmAbout_Hint");
  aboutKeys << Suffixed({"btnOk", "GroupBox1"}, both);
  aboutKeys << QStringLiteral("strInfomation");

  return {{QStringLiteral("TfrmMain"), mainKeys},
          {QStringLiteral("TfrmOptions"), optionKeys},
          {QStringLiteral("TfrmAbout"), aboutKeys}};
}

// Keys whose control shows no text of this kind: an empty value is right.
bool MayBeEmpty(const QString& key) {
  static const QRegularExpression empty(QStringLiteral(
      "^(frm\\w+_(Hint|FontName)|(lab|rg|rb|btnHelp|btnTranslate|ImgLoad|Bar|E1|e2|GroupBox1|btnOk)"
      "\\w*_Hint|btn\\w+_Caption|Panel\\d_Caption|GroupBox1_Caption)$"));
  static const QStringList mustHaveText{
      QStringLiteral("btnHelp_Caption"), QStringLiteral("btnTranslate_Caption"),
      QStringLiteral("btnDefault_Caption"), QStringLiteral("btnOk_Caption")};
  return !mustHaveText.contains(key) && empty.match(key).hasMatch();
}

class TShippedLanguageTest : public ::testing::TestWithParam<const char*> {
protected:
  QString Path() const {
    return DataDir + QStringLiteral("/Languages/") + QLatin1String(GetParam()) +
           QStringLiteral(".lng");
  }
  QString Value(const QString& section, const QString& key) const {
    return IniFile::Read(Path(), section, key).value_or(QStringLiteral("\x01missing"));
  }
};

TEST_P(TShippedLanguageTest, HoldsEveryKeyTheWindowsRead) {
  ASSERT_TRUE(QFile::exists(Path()));
  for (const TSection& section : WindowKeys()) {
    for (const QString& key : section.Keys) {
      const QString value = Value(section.Name, key);
      EXPECT_NE(value, QStringLiteral("\x01missing"))
          << section.Name.toStdString() << ": " << key.toStdString();
      if (!MayBeEmpty(key)) {
        EXPECT_FALSE(value.isEmpty()) << section.Name.toStdString() << ": " << key.toStdString();
      }
    }
  }
}

TEST_P(TShippedLanguageTest, IsValidUtf8) {
  QFile file(Path());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder(file.readAll());
  EXPECT_FALSE(decoder.hasError());
  EXPECT_FALSE(text.startsWith(QChar(0xFEFF)));
}

TEST_P(TShippedLanguageTest, FontNumbersAreNumbers) {
  for (const TSection& section : WindowKeys()) {
    const QString form = section.Keys.first().section(QLatin1Char('_'), 0, 0);
    bool sizeOk = false;
    bool charsetOk = false;
    const int size = Value(section.Name, form + QStringLiteral("_FontSize")).toInt(&sizeOk);
    const int charset =
        Value(section.Name, form + QStringLiteral("_FontCharset")).toInt(&charsetOk);
    EXPECT_TRUE(sizeOk && size >= 8 && size <= 12) << form.toStdString();
    EXPECT_TRUE(charsetOk && charset >= 0 && charset <= 255) << form.toStdString();
  }
}

// Each English mnemonic survives translation, so Alt+T still translates.
TEST_P(TShippedLanguageTest, KeepsTheKeyboardMnemonics) {
  const QString english = DataDir + QStringLiteral("/Languages/English.lng");
  static const QRegularExpression mnemonic(QStringLiteral("&(\\w)"));
  for (const TSection& section : WindowKeys()) {
    for (const QString& key : section.Keys) {
      const QString source = IniFile::Read(english, section.Name, key).value_or(QString());
      const QRegularExpressionMatch m = mnemonic.match(source);
      if (!m.hasMatch())
        continue;
      const QString translated = Value(section.Name, key);
      EXPECT_TRUE(translated.contains(QLatin1Char('&') + m.captured(1), Qt::CaseInsensitive))
          << key.toStdString() << ": " << translated.toStdString();
    }
  }
}

// A text in the file's own script only: a Chinese file with an English word
// left in a value, or an English file with Chinese in one, fails. Placeholders,
// mnemonics and a few names that Chinese text writes in Latin letters pass.
TEST_P(TShippedLanguageTest, KeepsEachValueInTheFilesScript) {
  const bool chinese = QLatin1String(GetParam()).startsWith(QLatin1String("Chinese"));
  static const QRegularExpression latinWord(QStringLiteral("[A-Za-z]{2,}"));
  static const QRegularExpression han(QStringLiteral("[\\x{2E80}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
  static const QStringList latinInChinese{QStringLiteral("IP"), QStringLiteral("MB")};
  for (const TSection& section : WindowKeys()) {
    for (const QString& key : section.Keys) {
      if (key.endsWith(QLatin1String("_FontName")))
        continue;
      const QString value = Value(section.Name, key);
      if (!chinese) {
        EXPECT_FALSE(han.match(value).hasMatch())
            << key.toStdString() << ": " << value.toStdString();
        continue;
      }
      for (QRegularExpressionMatchIterator it = latinWord.globalMatch(value); it.hasNext();) {
        const QString word = it.next().captured();
        EXPECT_TRUE(latinInChinese.contains(word))
            << section.Name.toStdString() << ": " << key.toStdString() << ": "
            << value.toStdString();
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, TShippedLanguageTest,
                         ::testing::Values("English", "Chinese-Simp", "Chinese-Trad"),
                         [](const auto& row) {
                           std::string name = row.param;
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

QString FileText(const QString& name) {
  QFile file(DataDir + QStringLiteral("/Languages/") + name);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Characters that exist in one script only, among those the files use.
const QString SimplifiedOnly =
    QStringLiteral("译语设连择认贴复换开储帮关访页联络户码简体动将标规选");
const QString TraditionalOnly =
    QStringLiteral("譯語設連擇認貼複換開儲幫關訪頁聯絡戶碼簡體動將標規選");

TEST(ShippedChinese, EachFileKeepsToItsScript) {
  const QString simp = FileText(QStringLiteral("Chinese-Simp.lng"));
  const QString trad = FileText(QStringLiteral("Chinese-Trad.lng"));
  ASSERT_FALSE(simp.isEmpty());
  ASSERT_FALSE(trad.isEmpty());
  for (const QChar c : TraditionalOnly) {
    if (!SimplifiedOnly.contains(c)) {
      EXPECT_FALSE(simp.contains(c)) << "traditional " << QString(c).toStdString();
    }
  }
  for (const QChar c : SimplifiedOnly) {
    if (!TraditionalOnly.contains(c)) {
      EXPECT_FALSE(trad.contains(c)) << "simplified " << QString(c).toStdString();
    }
  }
}

TEST(ShippedEnglish, UsesTheBuiltInTextsWithTheTypoMended) {
  const QString english = DataDir + QStringLiteral("/Languages/English.lng");
  EXPECT_EQ(IniFile::Read(english, QStringLiteral("TfrmOptions"), QStringLiteral("rgLang_Caption")),
            QStringLiteral("Interface language setting"));
  EXPECT_EQ(IniFile::Read(english, QStringLiteral("TfrmMain"), QStringLiteral("btnCopy_Hint")),
            QStringLiteral("Copy To Clipboard"));
}

} // namespace
