// Loading files in their encodings and saving the document's source.
#include "pane_test_support.h"
#include "ui/pane/save_encoding.h"

#include <QDir>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray Utf16(const QString& text, QStringConverter::Encoding encoding) {
  QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
  return encoder(text);
}

// Text files written on Chinese systems, made with iconv from UTF-8 text.
QByteArray LegacySample(const char* name) {
  return ReadBytes(QStringLiteral(TRALVESCO_PANE_DATA_DIR "/") + QString::fromLatin1(name));
}

const QString Sample = QStringLiteral("caf\u00E9 \u4E2D\u6587\r\nsecond line");

struct TLoadCase {
  const char* Name;
  const char* FileName;
  QByteArray Bytes;
  QString Shown;
};

void PrintTo(const TLoadCase& row, std::ostream* out) {
  *out << row.Name;
}

class TLoadFileTest : public ::testing::TestWithParam<TLoadCase> {};

TEST_P(TLoadFileTest, ShowsTheTextOfTheFile) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QString::fromUtf8(GetParam().FileName));
  WriteBytes(path, GetParam().Bytes);
  const auto pane = MakeReadyPane();
  ASSERT_TRUE(pane->LoadFromFile(path));
  EXPECT_EQ(pane->BodyText(), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, TLoadFileTest,
    ::testing::Values(
        TLoadCase{"Utf8", "a.txt", Sample.toUtf8(), Sample},
        TLoadCase{"Utf8WithBom", "a.txt", "\xEF\xBB\xBF" + Sample.toUtf8(), Sample},
        TLoadCase{"Utf16LittleEndian", "a.txt", Utf16(Sample, QStringConverter::Utf16LE), Sample},
        TLoadCase{"Utf16BigEndian", "a.txt", Utf16(Sample, QStringConverter::Utf16BE), Sample},
        TLoadCase{"InvalidUtf8ReadsAsLatin1", "a.txt", QByteArray("caf\xE9\nna\xEFve"),
                  QStringLiteral("caf\u00E9\r\nna\u00EFve")},
        TLoadCase{"UnixLineEnds", "a.txt", QByteArray("one\ntwo\n\nfour"),
                  QStringLiteral("one\r\ntwo\r\n\r\nfour")},
        TLoadCase{"MarkupInTextStaysText", "a.txt", QByteArray("<b>x</b>"),
                  QStringLiteral("<b>x</b>")},
        TLoadCase{"HtmlUtf8", "a.html",
                  QString(QStringLiteral("<p>caf\u00E9</p><p>\u4E2D</p>")).toUtf8(),
                  QStringLiteral("caf\u00E9\r\n\u4E2D")},
        TLoadCase{
            "HtmlUtf16", "a.htm",
            Utf16(QStringLiteral("<html><body><b>x</b>y</body></html>"), QStringConverter::Utf16LE),
            QStringLiteral("xy")},
        TLoadCase{"HtmlDeclaredLatin1", "a.html",
                  QByteArray("<meta charset=\"iso-8859-1\"><p>caf\xE9</p>"),
                  QStringLiteral("caf\u00E9")},
        TLoadCase{"HtmlWithoutHtmlName", "page.dat", QByteArray("<!DOCTYPE html><p>x</p>"),
                  QStringLiteral("x")},
        TLoadCase{"Empty", "a.txt", QByteArray(), QString()},
        TLoadCase{"GbkShort", "a.txt", LegacySample("gbk_short.txt"), QStringLiteral("Hello 你好")},
        TLoadCase{"Big5Short", "a.txt", LegacySample("big5_short.txt"),
                  QStringLiteral("Hello 你好")},
        TLoadCase{"Gbk", "a.txt", LegacySample("gbk.txt"),
                  QStringLiteral("Hello 你好\r\n这是一个用简体中文写的文本文件。\r\n")},
        TLoadCase{"Big5", "a.txt", LegacySample("big5.txt"),
                  QStringLiteral("Hello 你好\r\n這是一個用繁體中文寫的文字檔。\r\n")},
        TLoadCase{"HtmlGbkUndeclared", "a.html", "<p>" + LegacySample("gbk_short.txt") + "</p>",
                  QStringLiteral("Hello 你好")}),
    [](const ::testing::TestParamInfo<TLoadCase>& param) { return param.param.Name; });

// SaveAs with the file name a test supplies in place of the dialog.
class TSaveAsName {
public:
  explicit TSaveAsName(const QString& name) {
    PaneDialogs::SetSaveFileNameHandlerForTesting([name](const QString&) { return name; });
  }
  ~TSaveAsName() { PaneDialogs::SetSaveFileNameHandlerForTesting(nullptr); }
  TSaveAsName(const TSaveAsName&) = delete;
  TSaveAsName& operator=(const TSaveAsName&) = delete;
};

TEST(SaveAs, AsciiTextIsWrittenAsEightBitSource) {
  QTemporaryDir folder;
  const auto pane = MakeReadyPane();
  pane->SetBodyText(QStringLiteral("plain text"));
  const QString path = folder.filePath(QStringLiteral("out.html"));
  const TSaveAsName name(path);
  EXPECT_EQ(pane->SaveAs(), path);
  const QByteArray bytes = ReadBytes(path);
  EXPECT_TRUE(bytes.startsWith("<html>")) << bytes.toStdString();
  EXPECT_FALSE(bytes.contains("DOCTYPE"));
  EXPECT_TRUE(bytes.contains("plain text"));
  EXPECT_EQ(QString::fromLatin1(bytes), pane->DocumentHTML());
  EXPECT_EQ(pane->DocumentLocation(), path);
}

TEST(SaveAs, ChineseTextIsWrittenInUtf8AndSaysSo) {
  QTemporaryDir folder;
  const auto pane = MakeReadyPane();
  pane->SetBodyText(QStringLiteral("\u4E2D\u6587"));
  const QString path = folder.filePath(QStringLiteral("chinese.html"));
  const TSaveAsName name(path);
  EXPECT_EQ(pane->SaveAs(), path);
  const QByteArray bytes = ReadBytes(path);
  // No charset declared: the byte-order mark declares UTF-8.
  EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF<html>"));
  EXPECT_TRUE(bytes.contains("\xE4\xB8\xAD\xE6\x96\x87"));
  EXPECT_EQ(QString::fromUtf8(bytes.mid(3)), pane->DocumentHTML());

  // A document that declares its charset is written as it is.
  const QString declared = QStringLiteral("<html><head><meta http-equiv=\"content-type\" "
                                          "content=\"text/html; charset=UTF-8\"></head>"
                                          "<body><p>\u4E2D</p></body></html>");
  pane->SetDocumentHTML(declared);
  EXPECT_EQ(pane->SaveAs(), path);
  const QByteArray again = ReadBytes(path);
  EXPECT_TRUE(again.startsWith("<html>")) << again.toStdString();
  EXPECT_TRUE(again.contains("charset=UTF-8"));
}

TEST(SaveAs, CharactersTheLocalEncodingCannotHoldBecomeReferences) {
  QTemporaryDir folder;
  const auto pane = MakeReadyPane();
  pane->SetBodyText(QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b"));
  const QString path = folder.filePath(QStringLiteral("surrogate"));
  const TSaveAsName name(path);
  EXPECT_EQ(pane->SaveAs(), path + QStringLiteral(".html"));
  const QByteArray bytes = ReadBytes(path + QStringLiteral(".html"));
  EXPECT_TRUE(bytes.contains("a&#55296;b")) << bytes.toStdString();
}

TEST(SaveEncoding, EightBitWhenLosslessElseUtf16WithByteOrderMark) {
  EXPECT_EQ(EncodeSavedDocument(QStringLiteral("<p>\u4E2D</p>")),
            QByteArray("\xEF\xBB\xBF<p>\xE4\xB8\xAD</p>"));
  EXPECT_EQ(EncodeSavedDocument(QStringLiteral("<p>plain</p>")), QByteArray("<p>plain</p>"));
  EXPECT_EQ(EncodeSavedDocument(QStringLiteral("<head><META Charset=gbk></head><p>\u4E2D</p>")),
            QByteArray("<head><META Charset=gbk></head><p>\xE4\xB8\xAD</p>"));
  // A charset named in the body is no declaration.
  EXPECT_EQ(EncodeSavedDocument(QStringLiteral("<body><p>charset=x \u4E2D</p>")),
            QByteArray("\xEF\xBB\xBF<body><p>charset=x \xE4\xB8\xAD</p>"));
  const QString unpaired = QStringLiteral("x") + QChar(0xDC00);
  EXPECT_EQ(EncodeSavedDocument(unpaired), QByteArray("\xFF\xFEx\0\x00\xDC", 6));
}

TEST(SaveAs, CancelWritesNothing) {
  const auto pane = MakeReadyPane();
  const TSaveAsName name{QString()};
  EXPECT_EQ(pane->SaveAs(QStringLiteral("/tmp")), QString());
}

TEST(SaveAs, FailedWriteShowsTheErrorAndKeepsTheOldFile) {
  QTemporaryDir folder;
  const auto pane = MakeReadyPane();
  pane->SetBodyText(QStringLiteral("new"));
  TMessageRecorder messages;
  {
    // The folder is a file: nothing can be written there.
    const QString blocker = folder.filePath(QStringLiteral("blocker"));
    WriteBytes(blocker, "x");
    const TSaveAsName name(blocker + QStringLiteral("/out.html"));
    EXPECT_EQ(pane->SaveAs(), QString());
    ASSERT_EQ(messages.Texts.size(), 1);
    EXPECT_TRUE(messages.Texts.first().contains(QStringLiteral("out.html")));
  }
  if (geteuid() == 0)
    GTEST_SKIP() << "a read-only folder does not stop root";
  const QString old = folder.filePath(QStringLiteral("locked/old.html"));
  ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("locked"))));
  WriteBytes(old, "old content");
  QFile::setPermissions(folder.filePath(QStringLiteral("locked")),
                        QFile::ReadOwner | QFile::ExeOwner);
  const TSaveAsName name(old);
  EXPECT_EQ(pane->SaveAs(), QString());
  EXPECT_EQ(messages.Texts.size(), 2);
  EXPECT_EQ(ReadBytes(old), QByteArray("old content"));
  QFile::setPermissions(folder.filePath(QStringLiteral("locked")),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(PrintPreview, PrintsTheDocument) {
  QTemporaryDir folder;
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<h1>Printed</h1><p>text</p>"));
  const QString pdf = folder.filePath(QStringLiteral("preview.pdf"));
  PaneDialogs::SetPrintPreviewHandlerForTesting([&pdf](QPrintPreviewDialog& dialog) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    emit dialog.paintRequested(&printer);
    return 0;
  });
  EXPECT_TRUE(pane->PrintPreview());
  PaneDialogs::SetPrintPreviewHandlerForTesting(nullptr);
  EXPECT_TRUE(ReadBytes(pdf).startsWith("%PDF"));
}

} // namespace
