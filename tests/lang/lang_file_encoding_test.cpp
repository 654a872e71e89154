// Language files saved by translators on their own systems: the code page of
// the language's FontCharset, UTF-16 of either byte order, any line ends.
#include "lang/form_lang_res.h"
#include "lang/lang_file.h"
#include "lang_test_support.h"
#include "sample_form.h"
#include "settings/legacy_text.h"

#include <QPushButton>

namespace {

QByteArray Sample(const char* name) {
  QFile file(QStringLiteral(TEST_LANG_DATA_DIR "/") + QString::fromLatin1(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct TEncodingCase {
  const char* Name;
  const char* File; // made with iconv from UTF-8 text
  const char* Caption;
  const char* Hint;
};

void PrintTo(const TEncodingCase& c, std::ostream* os) {
  *os << c.Name;
}

class TLangFileEncodingTest : public TLangTest,
                              public ::testing::WithParamInterface<TEncodingCase> {
protected:
  TfrmSample FForm;
};

TEST_P(TLangFileEncodingTest, TextsReadAsTheTranslatorWroteThem) {
  const TEncodingCase& c = GetParam();
  const QByteArray bytes = Sample(c.File);
  ASSERT_FALSE(bytes.isEmpty());
  WriteLang(QStringLiteral("test.lng"), bytes);
  auto* sml = new TsmlFormLangRes(&FForm);
  sml->SetAutoCreateMode(false);
  sml->SetLangFileName(QStringLiteral(".\\Languages\\test.lng"));
  sml->SetActive(true);
  EXPECT_EQ(FForm.btnGo->text(), QString::fromUtf8(c.Caption));
  EXPECT_EQ(LangFile::ReadString(ProgramPath(QStringLiteral("Languages/test.lng")),
                                 QStringLiteral("TfrmSample"), QStringLiteral("btnGo_Hint")),
            QString::fromUtf8(c.Hint));
  EXPECT_EQ(ReadLang(QStringLiteral("test.lng")), bytes) << "reading changed the file";
}

INSTANTIATE_TEST_SUITE_P(
    Files, TLangFileEncodingTest,
    ::testing::Values(
        TEncodingCase{"GbkByFontCharset134", "gbk_crlf.lng", "开始翻译", "翻译来源窗格中的文字"},
        TEncodingCase{"Big5ByFontCharset136", "big5_lf.lng", "開始翻譯", "翻譯來源窗格中的文字"},
        TEncodingCase{"Utf16BigEndianCarriageReturns", "utf16be_cr.lng", "开始翻译",
                      "翻译来源窗格中的文字"},
        TEncodingCase{"Utf16LittleEndian", "utf16le_crlf.lng", "開始翻譯", "翻譯來源窗格中的文字"},
        TEncodingCase{"Utf8CarriageReturns", "utf8_cr.lng", "开始翻译", "翻译来源窗格中的文字"}),
    [](const auto& row) { return std::string(row.param.Name); });

// Write-back (the template mode) adds the missing keys in the encoding the
// file already has; a text that encoding cannot hold is left out.
class TLangFileWriteBackTest : public TLangTest {
protected:
  QByteArray WriteBack(const char* sample, const QString& caption) {
    WriteLang(QStringLiteral("test.lng"), Sample(sample));
    FForm.labName->setText(caption);
    auto* sml = new TsmlFormLangRes(&FForm);
    sml->SetLangFileName(QStringLiteral(".\\Languages\\test.lng"));
    sml->SetActive(true);
    return ReadLang(QStringLiteral("test.lng"));
  }
  TfrmSample FForm;
};

TEST_F(TLangFileWriteBackTest, KeepsTheFilesEncoding) {
  // The sample sets btnGo's texts; the label's caption is written back.
  const QString caption = QStringLiteral("检查");
  const QByteArray gbk = WriteBack("gbk_crlf.lng", caption);
  EXPECT_TRUE(gbk.startsWith(Sample("gbk_crlf.lng"))) << "lines were rewritten";
  EXPECT_FALSE(IsValidUtf8(gbk));
  const std::optional<QString> text = DecodeCharset(gbk, Gb18030Charset);
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->contains(QStringLiteral("labName_Caption=检查\r\n"))) << text->toStdString();
  EXPECT_STREQ(LangFile::CharsetOf(gbk), Gb18030Charset);

  const QByteArray utf16 = WriteBack("utf16be_cr.lng", caption);
  ASSERT_TRUE(utf16.startsWith("\xFE\xFF"));
  EXPECT_TRUE(utf16.startsWith(Sample("utf16be_cr.lng")));
  EXPECT_EQ(utf16.size() % 2, 0);
  QString units;
  for (qsizetype i = 2; i + 1 < utf16.size(); i += 2)
    units += QChar(char16_t((uchar(utf16[i]) << 8) | uchar(utf16[i + 1])));
  EXPECT_TRUE(units.contains(QStringLiteral("\rlabName_Caption=检查\r")));
  EXPECT_FALSE(units.contains(QLatin1Char('\n'))) << "a line feed in a carriage-return file";
  EXPECT_GT(units.count(QLatin1Char('\r')), 4);
}

TEST_F(TLangFileWriteBackTest, TextTheCodePageCannotHoldIsLeftOut) {
  const QByteArray before = Sample("big5_lf.lng");
  const QByteArray after = WriteBack("big5_lf.lng", QStringLiteral("\U0001F600"));
  EXPECT_TRUE(after.startsWith(before));
  const std::optional<QString> text = DecodeCharset(after, Big5Charset);
  ASSERT_TRUE(text);
  EXPECT_FALSE(text->contains(QStringLiteral("labName_Caption")));
  // The form's other texts still go back.
  EXPECT_TRUE(text->contains(QStringLiteral("\nchkOpt_Caption=Remember\n")));
}

// One value written must not change how the rest of the file reads: the
// file's code page is decided from the key reader's lines and stays.
struct TKeepCase {
  const char* Name;
  QByteArray File;
  const char* Key; // written in section S
  QString Value;
  const char* OtherKey;
  QString OtherText; // what OtherKey reads, before the write and after
};

void PrintTo(const TKeepCase& c, std::ostream* os) {
  *os << c.Name;
}

class TLangFileKeepsEncodingTest : public TLangTest,
                                   public ::testing::WithParamInterface<TKeepCase> {};

TEST_P(TLangFileKeepsEncodingTest, OtherKeysReadAsBefore) {
  const TKeepCase& c = GetParam();
  WriteLang(QStringLiteral("test.lng"), c.File);
  const QString path = ProgramPath(QStringLiteral("Languages/test.lng"));
  const QString section = QStringLiteral("S");
  const QString other = QString::fromLatin1(c.OtherKey);
  EXPECT_EQ(LangFile::ReadString(path, section, other), c.OtherText) << "before the write";
  LangFile::WriteString(path, section, QString::fromLatin1(c.Key), c.Value);
  EXPECT_EQ(LangFile::ReadString(path, section, other), c.OtherText) << "after the write";
  const QString written = LangFile::ReadString(path, section, QString::fromLatin1(c.Key));
  // Written as given, or left out with the file as it was.
  if (written != c.Value) {
    EXPECT_EQ(ReadLang(QStringLiteral("test.lng")), c.File);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, TLangFileKeepsEncodingTest,
    ::testing::Values(
        // 啊 in GBK, which Big5 reads too; the written 狜 has the trail byte
        // that would tip the guess to Big5.
        TKeepCase{"GbkValueWouldTipTheFileToBig5", "[S]\r\nk=\xB0\xA1\r\n", "v",
                  QStringLiteral("\u72DC"), "k", QStringLiteral("\u554A")},
        // Latin-1 only because of the one byte GB18030 rejects, which the
        // write replaces.
        TKeepCase{"Latin1NumberReplaced", "[S]\nt=\xE0\xE8\nfrmX_FontSize=\x80\n", "frmX_FontSize",
                  QStringLiteral("9"), "t", QStringLiteral("\u00E0\u00E8")},
        // The carriage return is inside k's value for the key reader, so no
        // FontCharset is declared and no Big5 is forced.
        TKeepCase{"LoneCarriageReturnInsideALine",
                  "[S]\nk=1\rfrmX_FontCharset=136\nv=\xA4\xA4\xB0\xA1\n", "w", QStringLiteral("x"),
                  "v", DecodeCharset("\xA4\xA4\xB0\xA1", Gb18030Charset).value_or(QString())}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
