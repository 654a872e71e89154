#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

struct TReadCase {
  const char* Name;
  const char* File;
  const char* Section;
  const char* Key;
  std::optional<const char*> Expected;
};

void PrintTo(const TReadCase& c, std::ostream* os) {
  *os << c.Name;
}

class TIniReadTest : public ::testing::TestWithParam<TReadCase> {};

TEST_P(TIniReadTest, ReadsAsWindowsDoes) {
  const TReadCase& c = GetParam();
  const std::optional<QString> value =
      TIniText(c.File).Read(QString::fromUtf8(c.Section), QString::fromUtf8(c.Key));
  if (c.Expected) {
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->toStdString(), *c.Expected);
  } else {
    EXPECT_FALSE(value.has_value()) << value->toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TIniReadTest,
    ::testing::Values(
        TReadCase{"Crlf", "[General]\r\nDirection=1\r\n", "General", "Direction", "1"},
        TReadCase{"Lf", "[General]\nDirection=1\n", "General", "Direction", "1"},
        TReadCase{"NoFinalLineEnd", "[General]\nDirection=1", "General", "Direction", "1"},
        TReadCase{"BlanksAroundEquals", "[General]\r\n  Direction \t=  7  \r\n", "General",
                  "Direction", "7"},
        TReadCase{"SectionCase", "[gEnErAl]\r\nDirection=1\r\n", "GENERAL", "Direction", "1"},
        TReadCase{"KeyCase", "[General]\r\nDIRECTION=1\r\n", "General", "direction", "1"},
        TReadCase{"DoubleQuotes", "[C]\r\nPassword=\" a b \"\r\n", "C", "Password", " a b "},
        TReadCase{"SingleQuotes", "[C]\r\nPassword=' a '\r\n", "C", "Password", " a "},
        TReadCase{"UnmatchedQuote", "[C]\r\nPassword=\"abc\r\n", "C", "Password", "\"abc"},
        TReadCase{"EqualsInValue", "[C]\r\nPassword=a=b==c\r\n", "C", "Password", "a=b==c"},
        TReadCase{"EmptyValue", "[C]\r\nNoProxy=\r\n", "C", "NoProxy", ""},
        TReadCase{"CommentNotAKey", "[C]\r\n;Address=x\r\n", "C", ";Address", std::nullopt},
        TReadCase{"CommentedOut", "[C]\r\n; Address=x\r\nAddress=y\r\n", "C", "Address", "y"},
        TReadCase{"FirstOfDuplicates", "[C]\r\nA=1\r\nA=2\r\n", "C", "A", "1"},
        TReadCase{"KeyOfOtherSection", "[A]\r\nk=1\r\n[B]\r\nx=2\r\n", "B", "k", std::nullopt},
        TReadCase{"KeyBeforeAnySection", "k=1\r\n[A]\r\n", "A", "k", std::nullopt},
        TReadCase{"MissingSection", "[A]\r\nk=1\r\n", "B", "k", std::nullopt},
        TReadCase{"OddOrderAndBlankLines", "\r\n[General]\r\n\r\nB=2\r\n\r\nA=1\r\n", "General",
                  "A", "1"},
        TReadCase{"Utf8Value", "[G]\r\nName=中文\r\n", "G", "Name", "中文"},
        TReadCase{"Utf8Bom", "\xEF\xBB\xBF[G]\r\nA=1\r\n", "G", "A", "1"},
        TReadCase{"Empty", "", "G", "A", std::nullopt}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(IniText, ReplacesAnExistingKeyInPlaceAndKeepsEverythingElse) {
  const QByteArray file = "; settings\r\n[General]\r\nDirection = 0\r\nZ=9\r\n\r\n[Other]\r\n"
                          "x=1\r\n";
  TIniText text(file);
  text.Write(QStringLiteral("GENERAL"), QStringLiteral("direction"), QStringLiteral("1"));
  EXPECT_EQ(text.ToBytes(),
            "; settings\r\n[General]\r\nDirection=1\r\nZ=9\r\n\r\n[Other]\r\nx=1\r\n");
}

TEST(IniText, AppendsANewKeyAtTheEndOfItsSection) {
  TIniText text("[General]\r\nA=1\r\n\r\n[Connection]\r\nB=2\r\n");
  text.Write(QStringLiteral("General"), QStringLiteral("C"), QStringLiteral("3"));
  EXPECT_EQ(text.ToBytes(), "[General]\r\nA=1\r\nC=3\r\n\r\n[Connection]\r\nB=2\r\n");
}

TEST(IniText, AppendsANewSectionAtTheEnd) {
  TIniText text("[General]\nA=1"); // LF file without a final line end
  text.Write(QStringLiteral("Connection"), QStringLiteral("NoProxy"), QStringLiteral("1"));
  EXPECT_EQ(text.ToBytes(), "[General]\nA=1\n[Connection]\nNoProxy=1\n");
}

TEST(IniText, NewFileUsesCrlf) {
  TIniText text;
  text.Write(QStringLiteral("General"), QStringLiteral("DisplayLanguage"),
             QStringLiteral("English"));
  text.Write(QStringLiteral("General"), QStringLiteral("Direction"), QStringLiteral("0"));
  EXPECT_EQ(text.ToBytes(), "[General]\r\nDisplayLanguage=English\r\nDirection=0\r\n");
}

TEST(IniText, KeepsBytesThatAreNotUtf8AndTheByteOrderMark) {
  const QByteArray file = "\xEF\xBB\xBF; caf\xE9\r\n[G]\r\nA=1\r\n";
  TIniText text(file);
  text.Write(QStringLiteral("G"), QStringLiteral("A"), QStringLiteral("2"));
  EXPECT_EQ(text.ToBytes(), "\xEF\xBB\xBF; caf\xE9\r\n[G]\r\nA=2\r\n");
}

TEST(IniText, Utf16FileStaysUtf16) {
  const QString content = QStringLiteral("[G]\r\nName=中文\r\n");
  QByteArray file = "\xFF\xFE";
  file.append(reinterpret_cast<const char*>(content.utf16()), content.size() * 2);
  TIniText text(file);
  EXPECT_EQ(text.Read(QStringLiteral("g"), QStringLiteral("name")), QStringLiteral("中文"));
  text.Write(QStringLiteral("G"), QStringLiteral("Name"), QStringLiteral("漢字"));
  const QByteArray out = text.ToBytes();
  ASSERT_TRUE(out.startsWith("\xFF\xFE"));
  const QString back = QString::fromUtf16(reinterpret_cast<const char16_t*>(out.constData() + 2),
                                          (out.size() - 2) / 2);
  EXPECT_EQ(back, QStringLiteral("[G]\r\nName=漢字\r\n"));
}

TEST(IniText, ValuesReadBackExactlyAsWritten) {
  const QStringList values = {QStringLiteral("  padded  "), QStringLiteral("\"quoted\""),
                              QStringLiteral("'single'"),   QStringLiteral("a=b"),
                              QStringLiteral("\""),         QStringLiteral("; not a comment"),
                              QStringLiteral("[x]"),        QString()};
  for (const QString& value : values) {
    TIniText text;
    text.Write(QStringLiteral("C"), QStringLiteral("Password"), value);
    EXPECT_EQ(TIniText(text.ToBytes()).Read(QStringLiteral("C"), QStringLiteral("Password")), value)
        << value.toStdString();
  }
}

TEST(IniText, LineBreaksInAValueCannotAddKeys) {
  TIniText text("[Connection]\r\nNoProxy=1\r\n");
  text.Write(QStringLiteral("Connection"), QStringLiteral("Password"),
             QStringLiteral("x\r\nNoProxy=0"));
  const TIniText back(text.ToBytes());
  EXPECT_EQ(back.Read(QStringLiteral("Connection"), QStringLiteral("NoProxy")),
            QStringLiteral("1"));
  EXPECT_EQ(back.Read(QStringLiteral("Connection"), QStringLiteral("Password")),
            QStringLiteral("x  NoProxy=0"));
}

// Files written elsewhere survive a rewrite: a write changes its own line and
// nothing else, whatever the file's encoding holds.
QByteArray Utf16(const QString& text) {
  QByteArray bytes;
  for (const QChar c : text) {
    bytes += static_cast<char>(c.unicode() & 0xFF);
    bytes += static_cast<char>(c.unicode() >> 8);
  }
  return bytes;
}

QByteArray BigEndian(QByteArray bytes) {
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
    std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

struct TRewriteCase {
  const char* Name;
  QByteArray File;
  QString Key;
  QString Value;
  QByteArray Expected;
  QString ReadBack; // what the key reads as, before and after the write
};

void PrintTo(const TRewriteCase& c, std::ostream* os) {
  *os << c.Name;
}

class TIniRewriteTest : public ::testing::TestWithParam<TRewriteCase> {};

TEST_P(TIniRewriteTest, WritesOnlyWhatChanged) {
  const TRewriteCase& c = GetParam();
  const QString section = QStringLiteral("Connection");
  TIniText text(c.File);
  text.Write(section, c.Key, c.Value);
  EXPECT_EQ(text.ToBytes().toHex(' ').toStdString(), c.Expected.toHex(' ').toStdString());
  EXPECT_EQ(TIniText(text.ToBytes()).Read(section, c.Key), c.ReadBack);
  // Writing the same again changes nothing.
  TIniText again(text.ToBytes());
  again.Write(section, c.Key, c.Value);
  EXPECT_EQ(again.ToBytes(), text.ToBytes());
}

const QByteArray GbkPassword = "[Connection]\r\nPassword=\xC3\xDC\xC2\xEB\r\n";
const QByteArray Utf16Head = "\xFF\xFE";

INSTANTIATE_TEST_SUITE_P(
    Rows, TIniRewriteTest,
    ::testing::Values(
        TRewriteCase{"LegacyValueLeftAsItWasKeepsItsBytes", GbkPassword, QStringLiteral("Password"),
                     QStringLiteral("密码"), GbkPassword, QStringLiteral("密码")},
        TRewriteCase{"QuotedLegacyValueKeepsItsBytes",
                     "[Connection]\nUserName = \" \xD5\xC5\xC8\xFD\"\n", QStringLiteral("UserName"),
                     QStringLiteral(" 张三"), "[Connection]\nUserName = \" \xD5\xC5\xC8\xFD\"\n",
                     QStringLiteral(" 张三")},
        TRewriteCase{"ChangedLegacyValueIsWrittenAnew", GbkPassword, QStringLiteral("Password"),
                     QStringLiteral("新"), "[Connection]\r\nPassword=\xE6\x96\xB0\r\n",
                     QStringLiteral("新")},
        TRewriteCase{"NotGb18030ReadsAsLatin1", "[Connection]\r\nPassword=caf\xE9\r\n",
                     QStringLiteral("Password"), QStringLiteral("café"),
                     "[Connection]\r\nPassword=caf\xE9\r\n", QStringLiteral("café")},
        TRewriteCase{
            "Utf16KeepsLeadingZeroWidthSpaces",
            Utf16Head + Utf16(QStringLiteral(u"\uFEFF\uFEFF; a\r\n[Connection]\r\nPort=1\r\n")),
            QStringLiteral("Port"), QStringLiteral("2"),
            Utf16Head + Utf16(QStringLiteral(u"\uFEFF\uFEFF; a\r\n[Connection]\r\nPort=2\r\n")),
            QStringLiteral("2")},
        TRewriteCase{"Utf16KeepsAnOddLastByte",
                     Utf16Head + Utf16(QStringLiteral("[Connection]\r\nPort=1\r\n")) + "Z",
                     QStringLiteral("Port"), QStringLiteral("2"),
                     Utf16Head + Utf16(QStringLiteral("[Connection]\r\nPort=2\r\n")) + "Z",
                     QStringLiteral("2")},
        TRewriteCase{"BareCrInAnUnchangedValueStays", "[Connection]\nUserName=a\rb\n",
                     QStringLiteral("UserName"), QStringLiteral("a\rb"),
                     "[Connection]\nUserName=a\rb\n", QStringLiteral("a\rb")},
        TRewriteCase{"BareCrInAnUnchangedPasswordStays", "[Connection]\r\nPassword=p\r\rw\r\n",
                     QStringLiteral("Password"), QStringLiteral("p\r\rw"),
                     "[Connection]\r\nPassword=p\r\rw\r\n", QStringLiteral("p\r\rw")},
        TRewriteCase{"Utf16WithoutAMarkStaysSo",
                     Utf16(QStringLiteral("[Connection]\r\nPort=1\r\n")), QStringLiteral("Port"),
                     QStringLiteral("2"), Utf16(QStringLiteral("[Connection]\r\nPort=2\r\n")),
                     QStringLiteral("2")},
        TRewriteCase{
            "Utf16WithoutAMarkGetsItsNewKey", Utf16(QStringLiteral("[Connection]\r\nPort=1\r\n")),
            QStringLiteral("Address"), QStringLiteral("h"),
            Utf16(QStringLiteral("[Connection]\r\nPort=1\r\nAddress=h\r\n")), QStringLiteral("h")},
        TRewriteCase{"Utf16BigEndianWithoutAMark",
                     BigEndian(Utf16(QStringLiteral("[Connection]\nPort=1\n"))),
                     QStringLiteral("Port"), QStringLiteral("2"),
                     BigEndian(Utf16(QStringLiteral("[Connection]\nPort=2\n"))),
                     QStringLiteral("2")},
        TRewriteCase{"Utf16KeepsALoneSurrogate",
                     Utf16Head + Utf16(QStringLiteral(u"; \xD800!\r\n[Connection]\r\nPort=1\r\n")),
                     QStringLiteral("Port"), QStringLiteral("2"),
                     Utf16Head + Utf16(QStringLiteral(u"; \xD800!\r\n[Connection]\r\nPort=2\r\n")),
                     QStringLiteral("2")}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
