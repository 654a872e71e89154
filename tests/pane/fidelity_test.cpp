// What is opened and saved comes back as it was: documents from outside the
// pane's own vocabulary, each with the body the pane writes for it, and
// searched in what they show.
#include "pane_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>
#include <gtest/gtest.h>

namespace {

// A search in the document, as read and as read back: where FindText and
// then FindNext select, in shown positions (-1: no match).
struct TSearchCheck {
  const char* Text = nullptr;
  bool WholeWord = false;
  bool MatchCase = true;
  int SelStart = -1;
  const char* SelText = "";
  int NextStart = -1;
};

struct TFidelityCase {
  const char* Name;
  const char* Html;
  const char* Shown; // lines joined by "\r\n"
  const char* Body;  // the written body, without the writer's line breaks
  TSearchCheck Search = {};
};

void PrintTo(const TFidelityCase& row, std::ostream* out) {
  *out << row.Name;
}

QString BodyOf(const QString& html) {
  const QString compact = Compact(html);
  const qsizetype open = compact.indexOf(QStringLiteral("<body>"));
  const qsizetype close = compact.lastIndexOf(QStringLiteral("</body>"));
  if (open < 0 || close < open)
    return compact;
  return compact.mid(open + 6, close - open - 6);
}

void ExpectSearch(TProfDHTMLEdit2& pane, const TSearchCheck& search) {
  if (!search.Text)
    return;
  const bool found =
      pane.FindText(QString::fromUtf8(search.Text), search.WholeWord, search.MatchCase);
  EXPECT_EQ(found ? pane.SelStart() : -1, search.SelStart);
  if (!found)
    return;
  EXPECT_EQ(pane.SelText().toStdString(), search.SelText);
  EXPECT_EQ(pane.FindNext() ? pane.SelStart() : -1, search.NextStart);
}

class TFidelityTest : public TSharedPaneTest<TFidelityCase> {};

TEST_P(TFidelityTest, KeepsTheDocumentThroughReadAndWrite) {
  const TFidelityCase& row = GetParam();
  Pane->SetDocumentHTML(QString::fromUtf8(row.Html));
  const QString shown = Pane->BodyText();
  EXPECT_EQ(shown.toStdString(), row.Shown);
  ExpectSearch(*Pane, row.Search);
  const QString first = Pane->DocumentHTML();
  EXPECT_EQ(BodyOf(first).toStdString(), row.Body);
  Pane->SetDocumentHTML(first);
  EXPECT_EQ(Pane->BodyText().toStdString(), shown.toStdString()) << first.toStdString();
  EXPECT_EQ(Pane->DocumentHTML().toStdString(), first.toStdString());
  ExpectSearch(*Pane, row.Search);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TFidelityTest,
    ::testing::Values(
        // A vertical tab belongs to the tag's name: not a table row.
        TFidelityCase{"VerticalTabInATagName", "a<tr\x0b>b", "ab", "a<tr\x0b>b</tr\x0b>"},
        // The rule and the text move in front of the table, inside the paragraph
        // the rule's start tag would end.
        TFidelityCase{"RuleInATableInAParagraph", "<p>a<table><hr>b", "a\r\n\r\nb\r\n",
                      "<p>a</p><hr /><p>b<table></table></p>"},
        TFidelityCase{"TableBetweenListItems", "<li><table><li>", "\r\n",
                      "<li></li><li><table></table></li>"},
        // Kept nodes are not seen: a search matches across them, and
        // positions and selections leave them out.
        TFidelityCase{"CommentInAParagraph",
                      "<p>a<!-- keep me -->b</p>",
                      "ab",
                      "<p>a<!-- keep me -->b</p>",
                      {"ab", false, true, 0, "ab"}},
        TFidelityCase{"WholeWordsAcrossComments",
                      "<p>ca<!--c-->t Cat<!--d-->s cat</p>",
                      "cat Cats cat",
                      "<p>ca<!--c-->t Cat<!--d-->s cat</p>",
                      {"CAT", true, false, 0, "cat", 9}},
        TFidelityCase{"SelectionAfterAComment",
                      "<p>a<!--c--><!--d-->bc</p>",
                      "abc",
                      "<p>a<!--c--><!--d-->bc</p>",
                      {"c", false, true, 2, "c"}},
        // An image is shown: no match across it.
        TFidelityCase{"NoMatchAcrossAnImage",
                      "<p>a<img src=\"x.png\">b</p>",
                      "ab",
                      "<p>a<img src=\"x.png\" />b</p>",
                      {"ab", false, true, -1}},
        TFidelityCase{
            "CommentsBetweenBlocks",
            "<p>0</p><!-- top --><div><!-- in --><p>a</p></div><!-- mid --><p>b</p><!-- end -->",
            "0\r\na\r\nb",
            "<p>0</p><!-- top --><div><!-- in --><p>a</p></div><!-- mid --><p>b</p><!-- end -->"},
        TFidelityCase{"CommentsAroundLineBreaks", "<div>a<br><!-- c -->b<br></div><!-- end -->",
                      "a\r\nb\r\n", "<div>a<br /><!-- c -->b<br /></div><!-- end -->"},
        TFidelityCase{"CommentKeepsTheBlanks", "<p>a <!-- c --> b</p>", "a b",
                      "<p>a<!-- c --> b</p>"},
        TFidelityCase{"CommentsAroundTableRows",
                      "<p>0</p><!-- t --><table><tr><td>x<!-- c --></td></tr><!-- r "
                      "--><tr><td>y</td></tr></table>",
                      "0\r\nx\r\ny",
                      "<p>0</p><!-- t --><table><tbody><tr><td>x<!-- c --></td></tr><!-- r "
                      "--><tr><td>y</td></tr></tbody></table>"},
        TFidelityCase{"FormControls",
                      "<form action=\"/find\">Name: <input type=\"text\" name=\"q\" value=\"x y\" "
                      "disabled><input type=\"hidden\" name=\"k\" value=\"1\"></form>",
                      "Name: ",
                      "<form action=\"/find\">Name: <input type=\"text\" name=\"q\" value=\"x y\" "
                      "disabled=\"disabled\" /><input type=\"hidden\" name=\"k\" value=\"1\" "
                      "/></form>"},
        // The parser would put the text behind the written form.
        TFidelityCase{"TextAtTheEndOfAForm", "<form action=\"/f\">x</form>y", "x\r\ny",
                      "<form action=\"/f\">x</form>y"},
        // A bogus comment with a quote in it, in front of the form's end.
        TFidelityCase{"BogusEndTagInAForm", "<form></<r =\">r", "r", "<form></<r =\">r</form>"},
        // The parser leaves the second form inside the first, which no
        // written markup can repeat.
        TFidelityCase{"FormLeftInsideAForm", "<form><a></form>><form>", ">",
                      "<form><a>&gt;</a></form>"},
        // A bogus comment the input ends before its '>' is written with one,
        // so it cannot swallow the markup written behind it.
        TFidelityCase{"UnclosedBogusCommentInAPre", "<pre><!", "", "<pre><!></pre>"},
        TFidelityCase{"UnclosedDeclaration", "<p>a<!x", "a", "<p>a<!x></p>"},
        TFidelityCase{"UnclosedProcessingInstruction", "<p>a<?x", "a", "<p>a<?x></p>"},
        TFidelityCase{"UnclosedBogusEndTag", "<p>a</1", "a", "<p>a</1></p>"},
        TFidelityCase{"UnclosedBogusEndTagInAPre", "<pre></;", "", "<pre></;></pre>"},
        TFidelityCase{"CommentEndedByBangArrow", "<p>a<!--x--!>b", "ab", "<p>a<!--x--!>b</p>"},
        // "</script1>" does not end the script, so neither does the "</form"
        // after it: the source settles.
        TFidelityCase{"ScriptEndLookalikeBeforeAFormEnd",
                      "<p>a</p><script></script1></form></script>", "a",
                      "<p>a</p><script></script1></form></script>"},
        // The parser nests the second link in the first, which no written
        // markup repeats: only its content is read.
        TFidelityCase{"LinkInsideALink", "<a><table><table>x<a>y", "\r\nxy\r\n",
                      "<a><table></table>xy<table></table></a>"},
        // Before a row with no cell of its own, the comment moves on a row.
        TFidelityCase{
            "CommentBeforeARowWithoutCells",
            "<table><tr><td rowspan=2>a</td></tr><!--c--><tr></tr><tr><td>b</td></tr>"
            "<!--d--></table>",
            "a\r\nb",
            "<table><tbody><tr><td rowspan=\"2\">a</td></tr><tr></tr><!--c--><tr><td>b</td>"
            "</tr></tbody></table><!--d-->"},
        // The row's end closes the videos the parser moved out of the table,
        // which have no end tag of their own: read as their content.
        TFidelityCase{"VideosInATableRow", "<table><tr><video>a<video></tr>", "a\r\n",
                      "a<table><tbody><tr></tr></tbody></table>"},
        // A comment the input ends in, before the document, is closed.
        TFidelityCase{"UnclosedCommentBeforeTheDocument", "<!--", "", ""},
        // Inside "<!--<script>" a "</script>" ends nothing, so the "</form"
        // after it is text of the script as well.
        TFidelityCase{"ScriptEndInsideAScriptComment", "<script><!--<script></script></form\n", "",
                      ""},
        TFidelityCase{"ScriptInTheBody", "<p>a</p><script>if (a < b) go();</script>", "a",
                      "<p>a</p><script>if (a < b) go();</script>"},
        TFidelityCase{"FileImage", "<img src=\"file:///tmp/x/pic.png\">", "",
                      "<img src=\"/tmp/x/pic.png\" />"},
        TFidelityCase{"RootPathLink", "<a href=\"/tmp/x/doc.html\">d</a>", "d",
                      "<a href=\"/tmp/x/doc.html\">d</a>"}),
    [](const ::testing::TestParamInfo<TFidelityCase>& param) { return param.param.Name; });

// The head's scripts come back from the document itself, each once and as it
// came, quotes and markup-like text included; a commented-out one stays a
// comment.
TEST(HeadScripts, ComeBackFromTheDocumentsHead) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(
      QStringLiteral("<HEAD><script type=x>a(\"</head>\")</script ><!-- <script>no()</script> -->"
                     "<script>b()</SCRIPT></head><p>text</p>"));
  const QString written = Compact(pane->DocumentHTML());
  EXPECT_TRUE(written.contains(
      QStringLiteral("<head><script type=\"x\">a(\"</head>\")</script><!-- <script>no()</script> "
                     "--><script>b()</script></head>")))
      << written.toStdString();
  pane->SetDocumentHTML(pane->DocumentHTML());
  EXPECT_EQ(Compact(pane->DocumentHTML()), written);
}

// Broken markup of every kind gives a preserved source, never "ERROR", a
// hang or a crash, and the source read back shows the text as before.
TEST(PreservedSource, SurvivesAnyMarkup) {
  const QString pieces[] = {"<",   "<a", ">",      "\"",       "'",         "=",     "<!--",
                            "-->", "</", "<!",     "<script>", "</script",  " ",     "x",
                            "<?",  "/",  "<title", "\r\n",     "<b c='d'>", "<e f=g"};
  const auto pane = MakeReadyPane();
  pane->SetSourceCodePreservation(true);
  QRandomGenerator random(7);
  for (int round = 0; round < 300; ++round) {
    QString source;
    const int count = random.bounded(1, 30);
    for (int i = 0; i < count; ++i)
      source += pieces[random.bounded(int(std::size(pieces)))];
    pane->SetDocumentHTML(source);
    const QString shown = pane->BodyText();
    const QString preserved = pane->DocumentHTML();
    ASSERT_TRUE(preserved.contains(QStringLiteral("<html>"))) << source.toStdString();
    pane->SetDocumentHTML(preserved);
    EXPECT_EQ(pane->BodyText(), shown) << source.toStdString() << "\n" << preserved.toStdString();
  }
}

// The names of the pictures the pane shows, each with whether it loads.
std::vector<std::pair<std::string, bool>> Pictures(const TProfDHTMLEdit2& pane) {
  std::vector<std::pair<std::string, bool>> pictures;
  QTextDocument* document = pane.Editor()->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat()) {
        const QString name = it.fragment().charFormat().toImageFormat().name();
        pictures.emplace_back(
            name.toStdString(),
            document->resource(QTextDocument::ImageResource, QUrl(name)).isValid());
      }
  return pictures;
}

// Open reads the file, then writes the pane's source back into it; Save
// writes the same source to a file. Local pictures load all the way.
TEST(LocalFiles, PicturesStayLoadableThroughOpenAndSave) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QImage picture(4, 4, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(folder.filePath(QStringLiteral("pic.png"))));
  const QString path = folder.filePath(QStringLiteral("pic.png"));
  const QString url = QUrl::fromLocalFile(path).toString();
  {
    QFile file(folder.filePath(QStringLiteral("doc.html")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<p><img src=\"%1\"><img src=\"%2\"><img src=\"pic.png\"></p>")
                   .arg(url, path)
                   .toUtf8());
  }
  const auto pane = MakeReadyPane();
  ASSERT_TRUE(pane->LoadFromFile(folder.filePath(QStringLiteral("doc.html"))));
  pane->SetDocumentHTML(pane->DocumentHTML());
  const std::vector<std::pair<std::string, bool>> opened{
      {path.toStdString(), true}, {path.toStdString(), true}, {"pic.png", true}};
  EXPECT_EQ(Pictures(*pane), opened);

  PaneDialogs::SetSaveFileNameHandlerForTesting(
      [&folder](const QString&) { return folder.filePath(QStringLiteral("saved.html")); });
  pane->SaveAs(QString());
  PaneDialogs::SetSaveFileNameHandlerForTesting(nullptr);
  QFile saved(folder.filePath(QStringLiteral("saved.html")));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QString source = QString::fromUtf8(saved.readAll());
  EXPECT_TRUE(source.contains(QStringLiteral("src=\"%1\"").arg(path))) << source.toStdString();
  EXPECT_FALSE(source.contains(u'\\')) << source.toStdString();
  // Written into a pane that has no file of its own.
  const auto other = MakeReadyPane();
  other->SetDocumentHTML(source);
  EXPECT_EQ(Pictures(*other)[0], opened[0]);
}

// What another pane, or any Qt program, puts on the clipboard is read as
// elements: a saved file holds no style of the toolkit's own.
TEST(Paste, CopyFromOnePaneAndPasteIntoTheOtherKeepsElementsOnly) {
  const auto source = MakeReadyPane();
  const auto target = MakeReadyPane();
  source->SetDocumentHTML(
      QStringLiteral("<p class=\"k\">one <b>two</b></p><p>th&nbsp; ree</p><ul><li>four</li></ul>"));
  QTest::keyClick(source->Editor(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(source->Editor(), Qt::Key_C, Qt::ControlModifier);
  target->SetDocumentHTML(QString());
  QTest::keyClick(target->Editor(), Qt::Key_V, Qt::ControlModifier);
  const std::string saved = BodyOf(target->DocumentHTML()).toStdString();
  EXPECT_EQ(saved, "<p class=\"k\">one <b>two</b></p><p>th&nbsp; ree</p><ul><li>four</li></ul>");
  EXPECT_EQ(target->BodyText(), source->BodyText());
}

TEST(Paste, QtRichTextLosesTheToolkitsStyles) {
  QTextDocument written;
  written.setHtml(QStringLiteral("<p>one <b>two</b></p><p style=\"margin-left: 20px\">x</p>"));
  QTextCursor(written.firstBlock()).insertBlock(); // an empty paragraph first
  auto* data = new QMimeData;
  data->setHtml(written.toHtml());
  QApplication::clipboard()->setMimeData(data);
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QString());
  QTest::keyClick(pane->Editor(), Qt::Key_V, Qt::ControlModifier);
  const QString saved = BodyOf(pane->DocumentHTML());
  EXPECT_FALSE(saved.contains(QStringLiteral("-qt-"))) << saved.toStdString();
  EXPECT_FALSE(saved.contains(QStringLiteral(":0px"))) << saved.toStdString();
  EXPECT_TRUE(saved.contains(QStringLiteral("style=\"margin-left: 20px\">x</p>")))
      << saved.toStdString();
  EXPECT_EQ(pane->BodyText().toStdString(), "\r\none two\r\nx");
}

} // namespace
