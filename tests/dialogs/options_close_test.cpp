#include "options_test_support.h"

#include <QFile>

namespace {

const QString General = QStringLiteral("General");
const QString Connection = QStringLiteral("Connection");

class TOptionsCloseTest : public TOptionsTest, public ::testing::WithParamInterface<TCloseWay> {};

TEST_P(TOptionsCloseTest, SavesEverySettingAsTheControlsStand) {
  SetManualProxy(QStringLiteral("127.0.0.1"), QStringLiteral("8080"));
  Params.UserName = QStringLiteral("reader");
  Params.Password = QStringLiteral("a=b");
  TfrmOptions& form = Open();
  Click("chkAutoPaste");
  Click("rbTrad");
  EXPECT_TRUE(Find<QCheckBox>("chkAutoPaste")->isChecked());

  GetParam().Close(form);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Stored(General, QStringLiteral("Translator")), QStringLiteral("0"));
  EXPECT_EQ(Stored(General, QStringLiteral("AutoPaste")), QStringLiteral("1"));
  EXPECT_EQ(Stored(General, QStringLiteral("AutoCopy")), QStringLiteral("0"));
  EXPECT_EQ(Stored(General, QStringLiteral("ChineseLanguage")), QStringLiteral("1"));
  EXPECT_EQ(Stored(General, QStringLiteral("DisplayLanguage")), QStringLiteral("English"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("NoProxy")), QStringLiteral("0"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("Address")), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("Port")), QStringLiteral("8080"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("UserName")), QStringLiteral("reader"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("Password")), QStringLiteral("a=b"));
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

TEST_P(TOptionsCloseTest, AManualProxyNeedsAnAddressAndThenAPort) {
  SetManualProxy(QString(), QString());
  TfrmOptions& form = Open();
  ASSERT_TRUE(QFile::remove(SettingsFileName));
  auto* pages = Find<QTabWidget>("PageControl1");
  EXPECT_EQ(pages->currentWidget(), Find("tsGeneral"));

  GetParam().Close(form);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(pages->currentWidget(), Find("tsConnection"));
  EXPECT_EQ(QApplication::focusWidget(), Find("edtAddress"));
  EXPECT_FALSE(SettingsFileExists()) << "a refused close writes nothing";

  // The address typed and the first page shown again: now the port is missing.
  Type("edtAddress", QStringLiteral("127.0.0.1"));
  pages->setCurrentIndex(0);
  GetParam().Close(form);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(pages->currentWidget(), Find("tsConnection"));
  EXPECT_EQ(QApplication::focusWidget(), Find("edtPort"));
  EXPECT_FALSE(SettingsFileExists());

  // Blanks are a port as far as the dialog is concerned.
  Type("edtPort", QStringLiteral(" "));
  GetParam().Close(form);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Stored(Connection, QStringLiteral("Address")), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("Port")), QStringLiteral(" "));
  EXPECT_TRUE(ShownBoxes().isEmpty()) << "a refused close shows no message";
}

// A carriage return inside a value (a file edited elsewhere) is no line end
// here; a close that changes nothing writes the values back byte for byte.
TEST_P(TOptionsCloseTest, UnchangedValuesKeepTheirBytes) {
  const QByteArray connection = "[Connection]\r\nNoProxy=0\r\nAddress=h\rx\r\nPort=8080\r\n"
                                "UserName=a\rb\r\nPassword=p\rw\r\n";
  {
    QFile file(SettingsFileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\r\nTranslator=0\r\nAutoPaste=0\r\nAutoCopy=0\r\n"
               "ChineseLanguage=0\r\nDisplayLanguage=English\r\n" +
               connection);
  }
  LoadSettings();
  EXPECT_EQ(Params.UserName, QStringLiteral("a\rb"));
  TfrmOptions& form = Open();
  GetParam().Close(form);
  EXPECT_FALSE(form.isVisible());
  QFile file(SettingsFileName);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().endsWith(connection));
}

TEST_P(TOptionsCloseTest, AFailedWriteKeepsTheDialogOpenAndShowsTheError) {
  TfrmOptions& form = Open();
  // A folder where the settings file should be: every write fails.
  const QString goodPath = SettingsFileName;
  SettingsFileName = ProgramPath(QStringLiteral("Blocked.ini"));
  ASSERT_TRUE(QDir().mkpath(SettingsFileName));

  GetParam().Close(form);
  EXPECT_TRUE(form.isVisible());
  ASSERT_EQ(ShownBoxes().size(), 1);
  EXPECT_EQ(ShownBoxes().front().Caption, QStringLiteral("Tralvesco"));
  EXPECT_EQ(ShownBoxes().front().Text,
            QStringLiteral("Unable to write to ") + SettingsFileName + QLatin1Char('.'));

  // Once the file can be written, the same way closes it.
  SettingsFileName = goodPath;
  GetParam().Close(form);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(ShownBoxes().size(), 1);
  EXPECT_EQ(Stored(Connection, QStringLiteral("NoProxy")), QStringLiteral("1"));
}

// A settings place the user cannot mend from here: told once, the dialog
// stays for a retry; the next close request closes it all the same.
TEST_P(TOptionsCloseTest, ASecondFailedSaveStillCloses) {
  TfrmOptions& form = Open();
  SettingsFileName = ProgramPath(QStringLiteral("Blocked.ini"));
  ASSERT_TRUE(QDir().mkpath(SettingsFileName));

  GetParam().Close(form);
  EXPECT_TRUE(form.isVisible());
  GetParam().Close(form);
  EXPECT_FALSE(form.isVisible());
  ASSERT_EQ(ShownBoxes().size(), 2);
  EXPECT_EQ(ShownBoxes().back().Text,
            QStringLiteral("Unable to write to ") + SettingsFileName + QLatin1Char('.'));
}

INSTANTIATE_TEST_SUITE_P(Ways, TOptionsCloseTest, ::testing::ValuesIn(CloseWays),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TOptionsTest, OkClosesWithTheResultOk) {
  TfrmOptions& form = Open();
  Click("btnOk");
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(TOptionsTest, SaveWritesItsKeysInItsOwnOrderIntoANewFile) {
  TfrmOptions& form = Open();
  ASSERT_TRUE(QFile::remove(SettingsFileName));
  Click("btnOk");
  EXPECT_FALSE(form.isVisible());
  QFile file(SettingsFileName);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QStringList names;
  for (const QByteArray& line : file.readAll().split('\n'))
    if (!line.trimmed().isEmpty())
      names.append(QString::fromUtf8(line.trimmed()).section(QLatin1Char('='), 0, 0));
  EXPECT_EQ(names, QStringList({"[General]", "Translator", "AutoPaste", "AutoCopy",
                                "ChineseLanguage", "DisplayLanguage", "[Connection]", "NoProxy",
                                "Address", "Port", "UserName", "Password"}));
}

TEST_F(TOptionsTest, ADirectConnectionShowsEmptyFieldsAndClosingWritesThemEmpty) {
  // The file holds proxy details, but the direct connection is chosen.
  Params.NoProxy = true;
  Params.Address = QStringLiteral("127.0.0.1");
  Params.Port = QStringLiteral("8080");
  Params.UserName = QStringLiteral("reader");
  Params.Password = QStringLiteral("secret");
  TfrmOptions& form = Open();
  EXPECT_TRUE(Find<QRadioButton>("rbNoProxy")->isChecked());
  for (const char* name : {"edtAddress", "edtPort", "edtUserName", "edtPassword"}) {
    EXPECT_TRUE(Find<QLineEdit>(name)->text().isEmpty()) << name;
    EXPECT_TRUE(Find<QLineEdit>(name)->isReadOnly()) << name;
  }
  form.close();
  EXPECT_FALSE(form.isVisible());
  for (const char* key : {"Address", "Port", "UserName", "Password"})
    EXPECT_EQ(Stored(Connection, QLatin1String(key)), QString()) << key;
}

TEST_F(TOptionsTest, SwitchingToNoProxyKeepsTheTypedTextAndWritesIt) {
  SetManualProxy(QString(), QString());
  TfrmOptions& form = Open();
  EXPECT_FALSE(Find<QLineEdit>("edtAddress")->isReadOnly());
  Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
  Type("edtAddress", QStringLiteral("127.0.0.1"));
  Click("rbNoProxy");
  EXPECT_TRUE(Find<QLineEdit>("edtAddress")->isReadOnly());
  EXPECT_EQ(Find<QLineEdit>("edtAddress")->text(), QStringLiteral("127.0.0.1"));
  // Greyed now: typing changes nothing.
  QTest::keyClicks(Find<QLineEdit>("edtAddress"), QStringLiteral("9"));
  EXPECT_EQ(Find<QLineEdit>("edtAddress")->text(), QStringLiteral("127.0.0.1"));

  Click("btnOk");
  EXPECT_FALSE(form.isVisible()) << "no check for a direct connection";
  EXPECT_EQ(Stored(Connection, QStringLiteral("NoProxy")), QStringLiteral("1"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("Address")), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(Stored(Connection, QStringLiteral("Port")), QString());
}

// A settings file from a Chinese Windows system holds GBK bytes: the dialog
// shows them as text and OK writes back the very bytes, not their text.
TEST_F(TOptionsTest, LegacyCredentialsSurviveOkByteForByte) {
  {
    QFile file(SettingsFileName);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("[Connection]\r\nNoProxy=0\r\nAddress=127.0.0.1\r\nPort=8080\r\n"
               "UserName=\xD5\xC5\xC8\xFD\r\nPassword=\xC3\xDC\xC2\xEB\r\n");
  }
  LoadSettings();
  Open();
  EXPECT_EQ(Find<QLineEdit>("edtUserName")->text(), QStringLiteral("张三"));
  EXPECT_EQ(Find<QLineEdit>("edtPassword")->text(), QStringLiteral("密码"));
  Click("btnOk");
  QFile file(SettingsFileName);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.contains("\r\nUserName=\xD5\xC5\xC8\xFD\r\n"))
      << bytes.toHex(' ').toStdString();
  EXPECT_TRUE(bytes.contains("\r\nPassword=\xC3\xDC\xC2\xEB\r\n"))
      << bytes.toHex(' ').toStdString();
  EXPECT_FALSE(bytes.contains("\xEF\xBF\xBD"));
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

TEST_F(TOptionsTest, ChineseLanguageTwoShowsTraditionalAndIsWrittenBackAsOne) {
  Params.ChineseLanguage = 2;
  TfrmOptions& form = Open();
  EXPECT_TRUE(Find<QRadioButton>("rbTrad")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>("rbSimp")->isChecked());
  form.close();
  EXPECT_EQ(Stored(General, QStringLiteral("ChineseLanguage")), QStringLiteral("1"));
}

TEST_F(TOptionsTest, TheDisplayLanguageIsFoundWhateverItsLetterCase) {
  Params.DisplayLanguage = QStringLiteral("cHINESE-trad");
  Open();
  EXPECT_EQ(Find<QComboBox>("cmbLang")->currentText(), QStringLiteral("Chinese-Trad"));
  Click("btnOk");
  EXPECT_EQ(Stored(General, QStringLiteral("DisplayLanguage")), QStringLiteral("Chinese-Trad"));
}

TEST_F(TOptionsTest, AnUnlistedDisplayLanguageLeavesTheListWithoutSelection) {
  Params.DisplayLanguage = QStringLiteral("Deutsch");
  Open();
  EXPECT_EQ(Find<QComboBox>("cmbLang")->currentIndex(), -1);
  Click("btnOk");
  EXPECT_EQ(Stored(General, QStringLiteral("DisplayLanguage")), QString());
}

} // namespace
