#include "core/app_error.h"
#include "settings/program_dir.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TSettingsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FDir.isValid());
    SetProgramDirForTesting(FDir.path());
    FormSettingsFileName();
    Params = TParams{};
  }
  void TearDown() override { SetProgramDirForTesting({}); }

  void WriteFile(const QByteArray& bytes) {
    QFile f(SettingsFileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray ReadFile() {
    QFile f(SettingsFileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir FDir;
};

TEST_F(TSettingsTest, FileLivesBesideTheProgram) {
  EXPECT_EQ(SettingsFileName, FDir.path() + QStringLiteral("/Tralvesco.ini"));
}

TEST_F(TSettingsTest, UnwritableProgramFolderMovesTheFileToTheUserConfiguration) {
  QStandardPaths::setTestModeEnabled(true);
  SetProgramDirForTesting(FDir.path() + QStringLiteral("/does-not-exist"));
  const QString path = FormSettingsFileName();
  // The folder is named after the program, whatever the process is called.
  EXPECT_TRUE(path.startsWith(
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Tralvesco/"));
  EXPECT_TRUE(path.endsWith(QStringLiteral("/Tralvesco.ini")));
  QStandardPaths::setTestModeEnabled(false);
}

TEST_F(TSettingsTest, MissingFileGivesTheDefaults) {
  Params.Direction = 5;
  Params.NoProxy = false;
  Params.Address = QStringLiteral("stale");
  LoadSettings();
  EXPECT_EQ(Params.Direction, 0);
  EXPECT_EQ(Params.ChineseLanguage, 0);
  EXPECT_FALSE(Params.AutoPaste);
  EXPECT_FALSE(Params.AutoCopy);
  EXPECT_TRUE(Params.DisplayLanguage.isEmpty());
  EXPECT_TRUE(Params.NoProxy);
  EXPECT_TRUE(Params.Address.isEmpty());
  EXPECT_TRUE(Params.Server.isEmpty());
  EXPECT_FALSE(QFile::exists(SettingsFileName)) << "reading must not create the file";
}

TEST_F(TSettingsTest, ReadsAFileWrittenTheWindowsWay) {
  WriteFile("; Tralvesco settings\r\n"
            "[connection]\r\n"
            "password = \"p=ss word\"\r\n"
            "PORT=8080\r\n"
            "Address = proxy.local\r\n"
            "noproxy=0\r\n"
            "UserName=me\r\n"
            "server=https://127.0.0.1:9\r\n"
            "\r\n"
            "[GENERAL]\r\n"
            "ChineseLanguage=2\r\n"
            "autocopy=0x1\r\n"
            "AutoPaste=true\r\n"
            "Direction=2\r\n"
            "DisplayLanguage=Chinese-Simp\r\n");
  LoadSettings();
  EXPECT_EQ(Params.Direction, 2);
  EXPECT_EQ(Params.ChineseLanguage, 2);
  EXPECT_TRUE(Params.AutoCopy);
  EXPECT_FALSE(Params.AutoPaste) << "a word reads as false";
  EXPECT_EQ(Params.DisplayLanguage, QStringLiteral("Chinese-Simp"));
  EXPECT_FALSE(Params.NoProxy);
  EXPECT_EQ(Params.Address, QStringLiteral("proxy.local"));
  EXPECT_EQ(Params.Port, QStringLiteral("8080"));
  EXPECT_EQ(Params.UserName, QStringLiteral("me"));
  EXPECT_EQ(Params.Password, QStringLiteral("p=ss word"));
  EXPECT_EQ(Params.Server, QStringLiteral("https://127.0.0.1:9"));
}

TEST_F(TSettingsTest, EmptyNoProxyMeansDirect) {
  WriteFile("[Connection]\r\nNoProxy=\r\n");
  LoadSettings();
  EXPECT_TRUE(Params.NoProxy);
  WriteFile("[Connection]\r\nNoProxy=abc\r\n");
  LoadSettings();
  EXPECT_FALSE(Params.NoProxy) << "a non-empty value follows the boolean rule";
}

TEST_F(TSettingsTest, IntegerEncodings) {
  struct TRow {
    const char* Text;
    qint32 Expected;
  };
  const TRow rows[] = {{"42", 42},         {"-7", -7},
                       {"+3", 3},          {"0x1F", 31},
                       {"0X1f", 31},       {"$10", 16},
                       {"$FFFFFFFF", -1},  {"-$10", -16},
                       {"0x", 99},         {"$", 99},
                       {"12abc", 99},      {"yes", 99},
                       {"", 99},           {"2147483647", INT32_MAX},
                       {"2147483648", 99}, {"-2147483648", INT32_MIN},
                       {"$100000000", 99}, {"1 2", 99}};
  for (const TRow& row : rows) {
    IniWriteString(SettingsFileName, QStringLiteral("G"), QStringLiteral("N"),
                   QString::fromUtf8(row.Text));
    EXPECT_EQ(IniReadInteger(SettingsFileName, QStringLiteral("G"), QStringLiteral("N"), 99),
              row.Expected)
        << row.Text;
  }
}

TEST_F(TSettingsTest, WritesValuesInTheirEncodings) {
  IniWriteBool(SettingsFileName, QStringLiteral("General"), QStringLiteral("AutoCopy"), true);
  IniWriteBool(SettingsFileName, QStringLiteral("General"), QStringLiteral("AutoPaste"), false);
  IniWriteInteger(SettingsFileName, QStringLiteral("General"), QStringLiteral("Direction"), -12);
  IniWriteString(SettingsFileName, QStringLiteral("Connection"), QStringLiteral("Address"),
                 QStringLiteral("代理"));
  EXPECT_EQ(ReadFile(), "[General]\r\nAutoCopy=1\r\nAutoPaste=0\r\nDirection=-12\r\n"
                        "[Connection]\r\nAddress=代理\r\n");
}

TEST_F(TSettingsTest, LongValueIsCutAt2047Characters) {
  const QString value(3000, QLatin1Char('x'));
  IniWriteString(SettingsFileName, QStringLiteral("C"), QStringLiteral("Password"), value);
  EXPECT_EQ(IniReadString(SettingsFileName, QStringLiteral("C"), QStringLiteral("Password")),
            value.left(2047));
  // A cut never leaves half a surrogate pair behind.
  const QString wide = QString(2046, QLatin1Char('x')) + QStringLiteral("😀😀");
  IniWriteString(SettingsFileName, QStringLiteral("C"), QStringLiteral("Password"), wide);
  EXPECT_EQ(IniReadString(SettingsFileName, QStringLiteral("C"), QStringLiteral("Password")),
            QString(2046, QLatin1Char('x')));
}

TEST_F(TSettingsTest, WriteKeepsTheRestOfTheFile) {
  WriteFile("; keep me\r\n[General]\r\nunknown=1\r\nDirection=0\r\n\r\n[Mine]\r\nz=1\r\n");
  IniWriteInteger(SettingsFileName, QStringLiteral("general"), QStringLiteral("DIRECTION"), 1);
  IniWriteBool(SettingsFileName, QStringLiteral("General"), QStringLiteral("AutoCopy"), true);
  EXPECT_EQ(ReadFile(), "; keep me\r\n[General]\r\nunknown=1\r\nDirection=1\r\nAutoCopy=1\r\n"
                        "\r\n[Mine]\r\nz=1\r\n");
}

TEST_F(TSettingsTest, NewFileIsPrivateAndExistingPermissionsStay) {
  IniWriteString(SettingsFileName, QStringLiteral("Connection"), QStringLiteral("Password"),
                 QStringLiteral("secret"));
  const auto owner = QFile::ReadOwner | QFile::WriteOwner;
  EXPECT_EQ(QFile::permissions(SettingsFileName) & ~(QFile::ReadUser | QFile::WriteUser), owner);

  QFile::setPermissions(SettingsFileName, owner | QFile::ReadGroup | QFile::ReadOther);
  IniWriteInteger(SettingsFileName, QStringLiteral("General"), QStringLiteral("Direction"), 1);
  EXPECT_TRUE(QFile::permissions(SettingsFileName) & QFile::ReadOther);
  // Nothing but the settings file is left in the folder.
  EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("Tralvesco.ini")});
}

// The rewrite puts a new file in the old one's place; to whoever looks at
// the folder it is still the same file. The tests run as root, which may
// give a file to anyone.
struct TKeptFileRow {
  const char* Name;
  mode_t Mode;
  uid_t Owner;
  gid_t Group;
};

void PrintTo(const TKeptFileRow& row, std::ostream* os) {
  *os << row.Name;
}

class TKeptFileTest : public TSettingsTest, public ::testing::WithParamInterface<TKeptFileRow> {};

TEST_P(TKeptFileTest, RewriteKeepsModeOwnerAndGroup) {
  const TKeptFileRow& row = GetParam();
  WriteFile("[General]\r\nDirection=0\r\n");
  const QByteArray path = QFile::encodeName(SettingsFileName);
  ASSERT_EQ(chown(path.constData(), row.Owner, row.Group), 0);
  ASSERT_EQ(chmod(path.constData(), row.Mode), 0);
  IniWriteInteger(SettingsFileName, QStringLiteral("General"), QStringLiteral("Direction"), 1);
  EXPECT_EQ(ReadFile(), "[General]\r\nDirection=1\r\n");
  struct stat after {};
  ASSERT_EQ(stat(path.constData(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, row.Mode);
  if (geteuid() == 0) {
    EXPECT_EQ(after.st_uid, row.Owner);
    EXPECT_EQ(after.st_gid, row.Group);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, TKeptFileTest,
                         ::testing::Values(TKeptFileRow{"ReadOnly", 0444, 0, 0},
                                           TKeptFileRow{"AnotherUsers", 0640, 12345, 12346},
                                           TKeptFileRow{"GroupOnly", 0060, 0, 12346}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TSettingsTest, AFileThatIsNoTextIsNeverWrittenTo) {
  // NULs where neither 8-bit text nor UTF-16 has them.
  const QByteArray garbage("\x00\x01\x02[General]\x00\x00\x00\x7F\xFF\x00", 13);
  WriteFile(garbage);
  EXPECT_THROW(
      IniWriteInteger(SettingsFileName, QStringLiteral("General"), QStringLiteral("Direction"), 1),
      ETralvescoError);
  EXPECT_EQ(ReadFile(), garbage);
}

TEST_F(TSettingsTest, FailedWriteRaisesAndLeavesTheOldFile) {
  // Root ignores permissions, so make the write fail by the path itself.
  const QString folderPath = FDir.path() + QStringLiteral("/folder.ini");
  QDir().mkdir(folderPath);
  const QString missingPath = FDir.path() + QStringLiteral("/no/such/dir/Tralvesco.ini");
  for (const QString& path : {folderPath, missingPath}) {
    try {
      IniWriteInteger(path, QStringLiteral("General"), QStringLiteral("Direction"), 1);
      FAIL() << "no error for " << path.toStdString();
    } catch (const ETralvescoError& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to ") + path);
    }
  }
  EXPECT_TRUE(QFileInfo(folderPath).isDir());
}

} // namespace
