// What the Open command makes of a file's bytes: the text, and whether it is
// taken as HTML (which also sets how large it may be).
#include "settings/legacy_text.h"
#include "ui/pane/file_loading.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TDecodeCase {
  const char* Name;
  const char* FileName;
  QByteArray Bytes;
  QString Text;
  bool IsHtml;
};

void PrintTo(const TDecodeCase& row, std::ostream* out) {
  *out << row.Name;
}

class TFileDecodingTest : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(TFileDecodingTest, ReadsTheTextTheBytesHold) {
  const TDecodeCase& row = GetParam();
  QTemporaryDir folder;
  const QString path = folder.filePath(QString::fromUtf8(row.FileName));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(row.Bytes);
  file.close();

  const TLoadedFile loaded = ReadPaneFile(path, [] { return false; });
  ASSERT_TRUE(loaded.Ok);
  EXPECT_EQ(loaded.Text, row.Text);
  EXPECT_EQ(loaded.IsHtml, row.IsHtml);
  EXPECT_EQ(PaneFileByteLimit(path), row.IsHtml ? MaxPaneHtmlFileBytes : MaxPaneFileBytes);
}

const QByteArray Blanks(300, ' ');
const QByteArray Page = "<html><body><p>x</p></body></html>";
// 開 in Big5 (its trail byte is one GBK rarely uses), then F9 FD: read as
// Big5 that pair would be saved back as A2 A3.
const QByteArray Big5WithF9Fd = "\xB6\x7D\xF9\xFD";

INSTANTIATE_TEST_SUITE_P(
    Bytes, TFileDecodingTest,
    ::testing::Values(
        TDecodeCase{"ValidUtf8IsKept", "a.dat", QByteArray("\xC3\xA9\xE4\xB8\xAD\r\n"),
                    QStringLiteral("\u00E9\u4E2D\r\n"), false},
        TDecodeCase{"DeclaredUtf16InEightBitMarkup", "a.html",
                    "<html><head><meta charset=\"utf-16\"></head><body>caf\xE9</body></html>",
                    QStringLiteral("<html><head><meta charset=\"utf-16\"></head><body>caf\u00E9"
                                   "</body></html>"),
                    true},
        TDecodeCase{"Big5PairThatSavesAsAnotherIsNotBig5", "a.txt", Big5WithF9Fd,
                    DecodeCharset(Big5WithF9Fd, Gb18030Charset).value_or(QString()), false},
        TDecodeCase{"LoneByte80IsNotBig5", "a.txt", QByteArray("\xA4\x40\x80"),
                    QStringLiteral("\u00A4@\u20AC"), false},
        TDecodeCase{"BlanksBeforeHtml", "page.dat", Blanks + Page,
                    QString::fromLatin1(Blanks + Page), true},
        TDecodeCase{"BlanksBeforeText", "page.dat", Blanks + "<b>x</b>",
                    QString::fromLatin1(Blanks + "<b>x</b>"), false}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
