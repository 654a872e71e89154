// Long documents: every line after a line break is a block of its own, and
// reading, writing, searching and editing go on as if the breaks were line
// separators inside one paragraph; long files are built off the GUI thread
// and laid out under a busy cursor.
#include "pane_test_support.h"
#include "ui/pane/file_loading.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>

namespace {

struct TLineCase {
  const char* Name;
  const char* Html;
  int Blocks;           // blocks of the text document
  const char* BodyText; // lines joined by "\r\n"
  const char* Written;  // a piece the rebuilt source must contain
};

void PrintTo(const TLineCase& row, std::ostream* out) {
  *out << row.Name;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

class TLineBlocksTest : public ::testing::TestWithParam<TLineCase> {};

TEST_P(TLineBlocksTest, EachLineIsABlockAndTheSourceStaysTheSame) {
  const TLineCase& row = GetParam();
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QString::fromUtf8(row.Html));
  EXPECT_EQ(pane->Editor()->document()->blockCount(), row.Blocks);
  EXPECT_EQ(pane->BodyText(), QString::fromUtf8(row.BodyText));
  const QString first = pane->DocumentHTML();
  EXPECT_TRUE(Compact(first).contains(QString::fromUtf8(row.Written))) << first.toStdString();
  pane->SetDocumentHTML(first);
  EXPECT_EQ(pane->DocumentHTML(), first);
  EXPECT_EQ(pane->BodyText(), QString::fromUtf8(row.BodyText));
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, TLineBlocksTest,
    ::testing::Values(
        TLineCase{"InlineElementsSpanTheBreak", "<p class=\"k\"><b>a<br>b</b> c<br>d</p>", 3,
                  "a\r\nb c\r\nd", "<p class=\"k\"><b>a<br />b</b> c<br />d</p>"},
        TLineCase{"BreakWithAttributes", "<div>a<br class=\"x\"><br>b</div>", 3, "a\r\n\r\nb",
                  "<div>a<br class=\"x\" /><br />b</div>"},
        TLineCase{"BreakInsideALink", "<a href=\"http://127.0.0.1/\">x<br>y</a>", 2, "x\r\ny",
                  "<a href=\"http://127.0.0.1/\">x<br />y</a>"},
        TLineCase{"PreformattedLineFeeds", "<pre>a\n b\n\nc</pre>", 4, "a\r\n b\r\n\r\nc", "b"},
        TLineCase{"BreakBeforeATable", "a<br><table><tr><td>x<br>y</td></tr></table>", 6,
                  "a\r\n\r\nx\r\ny", "<td>x<br />y</td>"},
        // A new block in a list item would be an item of its own.
        TLineCase{"ListItemsKeepTheirLines", "<ul><li>a<br>b</li></ul>", 1, "a\r\nb",
                  "<li>a<br />b</li>"}),
    [](const ::testing::TestParamInfo<TLineCase>& param) { return param.param.Name; });

TEST(LineBlocks, SearchAndReplaceCountBreaksAsBefore) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<p>x</p><div>a<br>b<br>c</div>"));
  // A line break is found as one; the end of a paragraph is not a break.
  EXPECT_FALSE(pane->FindText(QStringLiteral("x\r\na"), false, false));
  ASSERT_TRUE(pane->FindText(QStringLiteral("b\r\nc"), false, false));
  EXPECT_EQ(pane->SelStart(), 4);
  EXPECT_EQ(pane->SelText(), QStringLiteral("b\r\nc"));
  pane->SetSelText(QStringLiteral("B"));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("x\r\na\r\nB"));
  EXPECT_TRUE(Compact(pane->DocumentHTML()).contains(QStringLiteral("<div>a<br />B</div>")));
  ASSERT_TRUE(pane->FindText(QStringLiteral("a\r\nB"), false, false));
  EXPECT_EQ(pane->SelStart(), 2);
}

TEST(LineBlocks, EnterInALineStartsAParagraph) {
  const auto pane = MakeReadyPane();
  pane->SetUseBrOnCarriageReturn(false);
  pane->SetDocumentHTML(QStringLiteral("<p class=\"k\">a<br>bc<br>d</p>"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("c"), false, false));
  QTextCursor cursor = pane->Editor()->textCursor();
  cursor.setPosition(cursor.selectionStart());
  pane->Editor()->setTextCursor(cursor);
  QTest::keyClick(pane->Editor(), Qt::Key_Return);
  const QString html = Compact(pane->DocumentHTML());
  EXPECT_TRUE(
      html.contains(QStringLiteral("<p class=\"k\">a<br />b</p><p class=\"k\">c<br />d</p>")))
      << html.toStdString();

  // Plain text is in no element: both halves become paragraphs.
  pane->SetBodyText(QStringLiteral("one\r\ntwo\r\nthree"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("wo"), false, false));
  cursor = pane->Editor()->textCursor();
  cursor.setPosition(cursor.selectionStart());
  pane->Editor()->setTextCursor(cursor);
  QTest::keyClick(pane->Editor(), Qt::Key_Return);
  const QString plain = Compact(pane->DocumentHTML());
  EXPECT_TRUE(plain.contains(QStringLiteral("<div>one<br />t</div><div>wo<br />three</div>")))
      << plain.toStdString();
}

TEST(LargeFile, IsBuiltOffTheGuiThreadAndLaidOutUnderABusyCursor) {
  constexpr int Lines = 20000;
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("lines.txt"));
  QByteArray bytes;
  for (int i = 0; i < Lines; ++i)
    bytes += "line " + QByteArray::number(i) + "\n";
  ASSERT_NO_FATAL_FAILURE(WriteFile(path, bytes));
  const auto pane = MakeReadyPane();
  pane->resize(400, 200);
  pane->show();
  QWidget* viewport = pane->Editor()->viewport();
  const Qt::CursorShape idle = viewport->cursor().shape();
  // The file is read on a worker; meanwhile the window's event loop runs.
  bool busyWhileLoading = false;
  int ticks = 0;
  std::atomic<bool> release{false};
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (pane->Busy() && viewport->cursor().shape() == Qt::BusyCursor)
      busyWhileLoading = true;
    if (++ticks > 3)
      release = true;
  });
  watch.start(0);
  SetPaneFileReadHookForTesting([&release] {
    while (!release)
      QThread::msleep(1);
  });
  ASSERT_TRUE(pane->LoadFromFile(path));
  SetPaneFileReadHookForTesting(nullptr);
  EXPECT_TRUE(busyWhileLoading);
  QTextDocument* document = pane->Editor()->document();
  EXPECT_EQ(document->thread(), QThread::currentThread());
  EXPECT_EQ(document->blockCount(), Lines + 1);
  // Laid out in slices under a busy cursor, then the cursor is back.
  EXPECT_EQ(viewport->cursor().shape(), Qt::BusyCursor);
  EXPECT_TRUE(WaitUntil([&] { return viewport->cursor().shape() == idle; }));
  const QString text = pane->BodyText();
  EXPECT_TRUE(text.startsWith(QStringLiteral("line 0\r\nline 1\r\n")));
  EXPECT_TRUE(text.endsWith(QStringLiteral("line 19999\r\n")));
  EXPECT_TRUE(pane->FindText(QStringLiteral("9998\r\nline 19999"), false, false));
}

TEST(LargeFile, ALongLineIsLaidOutInASliceOfItsOwn) {
  // Short lines, one line of English and Chinese without a break, short
  // lines again. The long line is laid out in one go, so the window must
  // get its turn between the lines before it and the line itself.
  constexpr int LinesBefore = 4000;
  QByteArray bytes;
  for (int i = 0; i < LinesBefore; ++i)
    bytes += "line " + QByteArray::number(i) + "\n";
  const QByteArray words = QStringLiteral("mixed \u4E2D\u6587 text ").toUtf8();
  for (int i = 0; i < 200000 / 14; ++i)
    bytes += words;
  bytes += "\n";
  for (int i = 0; i < 4000; ++i)
    bytes += "tail " + QByteArray::number(i) + "\n";
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("long-line.txt"));
  ASSERT_NO_FATAL_FAILURE(WriteFile(path, bytes));
  const auto pane = MakeReadyPane();
  pane->resize(400, 200);
  pane->show();
  QWidget* viewport = pane->Editor()->viewport();
  const Qt::CursorShape idle = viewport->cursor().shape();
  ASSERT_TRUE(pane->LoadFromFile(path));
  const QTextBlock longLine = pane->Editor()->document()->findBlockByNumber(LinesBefore);
  ASSERT_GT(longLine.length(), 190000);
  const auto laidOut = [](const QTextBlock& block) { return block.layout()->lineCount() > 0; };
  // Lines well before the long one are laid out, the long one not yet.
  const QTextBlock shortLine = longLine.document()->findBlockByNumber(LinesBefore - 500);
  bool turnBefore = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (laidOut(shortLine) && !laidOut(longLine))
      turnBefore = true;
  });
  watch.start(0);
  EXPECT_TRUE(WaitUntil([&] { return viewport->cursor().shape() == idle; }, 60000));
  EXPECT_TRUE(laidOut(longLine));
  EXPECT_TRUE(laidOut(pane->Editor()->document()->lastBlock()));
  EXPECT_TRUE(turnBefore);
}

TEST(LargeSource, IsReadAndWrittenOnAWorkerWhileTheEventLoopGoesOn) {
  QString html = QStringLiteral("<div>");
  for (int i = 0; i < 40000; ++i)
    html += QStringLiteral("line %1<br>").arg(i);
  html += QStringLiteral("end</div>");
  const auto pane = MakeReadyPane();
  bool busyMeanwhile = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout,
                   [&] { busyMeanwhile = busyMeanwhile || pane->Busy(); });
  watch.start(0);
  pane->SetDocumentHTML(html);
  EXPECT_TRUE(busyMeanwhile);
  EXPECT_FALSE(pane->Busy());
  EXPECT_EQ(pane->Editor()->document()->thread(), QThread::currentThread());
  EXPECT_EQ(pane->Editor()->document()->blockCount(), 40001);
  busyMeanwhile = false;
  const QString source = pane->DocumentHTML();
  EXPECT_TRUE(busyMeanwhile);
  EXPECT_TRUE(Compact(source).contains(QStringLiteral("line 39999<br />end</div>")));
  pane->SetDocumentHTML(source);
  EXPECT_EQ(pane->DocumentHTML(), source);
}

TEST(LargeFile, OverTheCapIsRefusedAndTheDocumentStays) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("huge.txt"));
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(MaxPaneFileBytes + 1));
  }
  const TMessageRecorder messages;
  const auto pane = MakeReadyPane();
  pane->SetBodyText(QStringLiteral("kept"));
  EXPECT_FALSE(pane->LoadFromFile(path));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("kept"));
}

} // namespace
