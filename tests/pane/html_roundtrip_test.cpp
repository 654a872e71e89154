// Reading HTML into the pane and writing it back: the laws the engine keeps
// for documents that use the vocabulary it shows.
#include "pane_test_support.h"
#include "ui/pane/html_element_kinds.h"

#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct TRoundTripCase {
  const char* Name;
  const char* Html;
  const char* BodyText;     // what the pane shows, lines joined by "\r\n"
  const char* Written = ""; // a piece the rebuilt source must contain
};

void PrintTo(const TRoundTripCase& row, std::ostream* out) {
  *out << row.Name;
}

class TRoundTripTest : public TSharedPaneTest<TRoundTripCase> {};

TEST_P(TRoundTripTest, WriterOutputIsAFixpointAndKeepsTheText) {
  const TRoundTripCase& row = GetParam();
  Pane->SetDocumentHTML(QString::fromUtf8(row.Html));
  const QString shown = Pane->BodyText();
  EXPECT_EQ(shown, QString::fromUtf8(row.BodyText));
  const QString first = Pane->DocumentHTML();
  ASSERT_NE(first, TProfDHTMLEdit2::ErrorMarker);
  EXPECT_TRUE(Compact(first).contains(QString::fromUtf8(row.Written))) << first.toStdString();

  Pane->SetDocumentHTML(first);
  EXPECT_EQ(Pane->BodyText(), shown) << first.toStdString();
  const QString second = Pane->DocumentHTML();
  EXPECT_EQ(second, first);
}

INSTANTIATE_TEST_SUITE_P(
    Vocabulary, TRoundTripTest,
    ::testing::Values(
        TRoundTripCase{"ParagraphsAndDivs", "<p>one</p><div class=\"c\" id=\"d\">two</div>",
                       "one\r\ntwo", "<div class=\"c\" id=\"d\">two</div>"},
        TRoundTripCase{"Headings", "<h1>Title</h1><h3 align=\"center\">Sub</h3><p>x</p>",
                       "Title\r\nSub\r\nx", "<h3 align=\"center\">Sub</h3>"},
        TRoundTripCase{"LineBreaksInsideABlock", "<div>a<br>b<br class=\"x\">c</div>",
                       "a\r\nb\r\nc", "<br class=\"x\" />"},
        TRoundTripCase{"InlineFormatting",
                       "<p><b>b</b> <i>i</i> <u>u</u> <s>s</s> <strike>k</strike> "
                       "<strong>S</strong> <em>E</em> <sub>1</sub><sup>2</sup></p>",
                       "b i u s k S E 12", "<strike>k</strike>"},
        TRoundTripCase{"Fonts", "<font face=\"Arial\" size=\"5\" color=\"red\">f</font> g", "f g",
                       "<font face=\"Arial\" size=\"5\" color=\"red\">f</font>"},
        TRoundTripCase{"StyledSpans",
                       "<span style=\"font-family: Courier; font-size: 14pt; font-weight: bold; "
                       "font-style: italic; text-decoration: underline; color: #00ff00; "
                       "background-color: yellow\">s</span><p style=\"text-align: right\">r</p>",
                       "s\r\nr", "<p style=\"text-align: right\">r</p>"},
        TRoundTripCase{"Links", "go <a href=\"http://127.0.0.1/x\" title=\"t\">there</a> now",
                       "go there now", "<a href=\"http://127.0.0.1/x\" title=\"t\">there</a>"},
        TRoundTripCase{"Lists", "<ul><li>a</li><li>b<ol type=\"i\"><li>c</li></ol></li></ul>",
                       "a\r\nb\r\nc", "<ol type=\"i\">"},
        TRoundTripCase{"Tables",
                       "<table border=\"1\"><caption>Cap</caption><tr><th>h</th><td "
                       "rowspan=\"2\">r</td></tr><tr><td>x</td></tr></table>after",
                       "Cap\r\nh\tr\r\nx\r\nafter", "<td rowspan=\"2\">r</td>"},
        TRoundTripCase{"ShortTableRowsAreFilled",
                       "<table><tr><td>a</td><td>b</td></tr><tr><td colspan=\"2\">c</td></tr>"
                       "<tr><td>d</td></tr></table>",
                       "a\tb\r\nc\r\nd", "<td colspan=\"2\">c</td>"},
        TRoundTripCase{"Preformatted", "<pre>  a\n\tb  c\n</pre>", "  a\r\n\tb  c\r\n", "\tb  c"},
        TRoundTripCase{"PreformattedLeadingLineFeed", "<pre>\n\nx</pre>", "\r\nx", ""},
        TRoundTripCase{"Blockquote", "<blockquote><p>q</p>r</blockquote>", "q\r\nr",
                       "<blockquote>"},
        TRoundTripCase{"Images",
                       "a<img "
                       "src=\"data:image/"
                       "png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+"
                       "M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==\" width=\"5\" alt=\"x\">b "
                       "<img src=\"pic.png\">",
                       "ab ", "<img src=\"pic.png\" />"},
        TRoundTripCase{
            "UnknownElements", "<custom-tag data-x=\"1\">kept <x-y>nested</x-y></custom-tag>",
            "kept nested", "<custom-tag data-x=\"1\">kept <x-y>nested</x-y></custom-tag>"},
        TRoundTripCase{"BlanksCollapse", "  a   b  <b> c </b> d  ", "a b c d", ""},
        TRoundTripCase{"NoBreakSpaces", "a&nbsp;&nbsp;b", "a\u00A0\u00A0b", "a&nbsp;&nbsp;b"},
        TRoundTripCase{"TextAfterTheDocument", "<html><body><p>in</p></body></html>after",
                       "in\r\nafter", ""},
        TRoundTripCase{"Entities", "&lt;b&gt; &amp; &quot;", "<b> & \"", "&lt;b&gt;"},
        TRoundTripCase{"Head",
                       "<!DOCTYPE html><html lang=\"en\"><head><title>T</title>"
                       "<style>p{}</style><script>var a=1<2;</script></head><body>x</body></html>",
                       "x", "<script>var a=1<2;</script>"},
        TRoundTripCase{"Chinese", "<p>\u4E2D\u6587\u6D4B\u8BD5</p>", "\u4E2D\u6587\u6D4B\u8BD5",
                       ""},
        TRoundTripCase{"BlockInsideInline", "<b>x<div>y</div>z</b>", "x\r\ny\r\nz", ""},
        TRoundTripCase{"EmptyBlocks", "a<p></p><div></div>b", "a\r\n\r\n\r\nb", ""},
        TRoundTripCase{"Rule", "a<hr noshade>b", "a\r\n\r\nb", "<hr"},
        TRoundTripCase{"MetaAfterTheDocument",
                       "<html><body>x</body></html><meta content=\"text/html; charset=UTF-8\" "
                       "http-equiv=\"content-type\" />",
                       "x", "<meta content=\"text/html; charset=UTF-8\""},
        // Read from a reference, written as the character itself, read back
        // as U+FFFD: replaced on the first reading already.
        TRoundTripCase{"ControlCharacterReference", "<p>a&#1;b&#x7f;c</p>", "a\uFFFDb\uFFFDc", ""},
        // A list the parser leaves inside a paragraph (quirks-mode table
        // content) is the paragraph's sibling once written; so it is read.
        TRoundTripCase{"ListInsideAParagraph", "<p>a<table><ul><li>i</ul></table>b</p>",
                       "a\r\ni\r\n\r\nb", "<p>a</p><ul>"}),
    [](const ::testing::TestParamInfo<TRoundTripCase>& param) { return param.param.Name; });

TEST(AddedFormatting, FontNameOnAnEmptyPaneFormatsWhatIsTyped) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QString());
  pane->SetFontName(QStringLiteral("Tahoma"));
  QTest::keyClicks(pane->Editor(), QStringLiteral("abc"));
  EXPECT_TRUE(
      Compact(pane->DocumentHTML()).contains(QStringLiteral("<font face=\"Tahoma\">abc</font>")))
      << pane->DocumentHTML().toStdString();
}

TEST(AddedFormatting, KeyboardBoldAddsAndRemovesElements) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<p>one two</p><p><b>abc</b></p>"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("two"), true, true));
  QTest::keyClick(pane->Editor(), Qt::Key_B, Qt::ControlModifier);
  ASSERT_TRUE(pane->FindText(QStringLiteral("b"), false, true)); // the b of abc
  QTest::keyClick(pane->Editor(), Qt::Key_B, Qt::ControlModifier);
  const QString html = Compact(pane->DocumentHTML());
  EXPECT_TRUE(html.contains(QStringLiteral("one <strong>two</strong>"))) << html.toStdString();
  EXPECT_TRUE(html.contains(QStringLiteral("<b>a</b>b<b>c</b>"))) << html.toStdString();
  const QString source = pane->DocumentHTML();
  pane->SetDocumentHTML(source);
  EXPECT_EQ(pane->DocumentHTML(), source);
}

TEST(AddedFormatting, FontNameOnASelection) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<div>red <font color=\"red\">fox</font></div>"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("red fox"), false, false));
  pane->SetFontName(QStringLiteral("Tahoma"));
  const QString html = Compact(pane->DocumentHTML());
  EXPECT_TRUE(html.contains(QStringLiteral("<font face=\"Tahoma\">red </font><font color=\"red\">"
                                           "<font face=\"Tahoma\">fox</font></font>")))
      << html.toStdString();
  EXPECT_EQ(pane->BodyText(), QStringLiteral("red fox"));
}

TEST(AddedFormatting, EnterSplitsAParagraphIntoTwoElements) {
  const auto pane = MakeReadyPane();
  pane->SetUseBrOnCarriageReturn(false);
  pane->SetDocumentHTML(QStringLiteral("<p class=\"k\">onetwo</p>plain"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("two"), false, false));
  QTextCursor cursor = pane->Editor()->textCursor();
  cursor.setPosition(cursor.selectionStart());
  pane->Editor()->setTextCursor(cursor);
  QTest::keyClick(pane->Editor(), Qt::Key_Return);
  ASSERT_TRUE(pane->FindText(QStringLiteral("plain"), false, false));
  cursor = pane->Editor()->textCursor();
  cursor.setPosition(cursor.selectionStart() + 2);
  pane->Editor()->setTextCursor(cursor);
  QTest::keyClick(pane->Editor(), Qt::Key_Return);
  const QString html = Compact(pane->DocumentHTML());
  EXPECT_TRUE(html.contains(QStringLiteral("<p class=\"k\">one</p>")) &&
              html.contains(QStringLiteral("<p class=\"k\">two</p>")))
      << html.toStdString();
  EXPECT_TRUE(html.contains(QStringLiteral("<div>pl</div>")) &&
              html.contains(QStringLiteral("<div>ain</div>")))
      << html.toStdString();
  EXPECT_EQ(pane->BodyText(), QStringLiteral("one\r\ntwo\r\npl\r\nain"));
}

// An empty block at the end of a cell holds nothing: the plain text leaves
// it out and the writer writes no element for it, in the last cell as in
// every other.
TEST(Tables, EmptyBlocksEndingCellsAreNeitherShownNorWritten) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<table><tr><td>a</td><td>b</td></tr></table>"));
  for (const char16_t* cell : {u"a", u"b"}) {
    ASSERT_TRUE(pane->FindText(QString::fromUtf16(cell), false, true));
    QTextCursor cursor = pane->Editor()->textCursor();
    cursor.clearSelection();
    cursor.insertBlock(QTextBlockFormat());
  }
  EXPECT_EQ(pane->BodyText(), QStringLiteral("a\tb"));
  const QString html = Compact(pane->DocumentHTML());
  EXPECT_TRUE(html.contains(QStringLiteral("<tr><td>a</td><td>b</td></tr>"))) << html.toStdString();
}

} // namespace

namespace {

std::vector<std::string> KnownElementNames() {
  std::vector<std::string> names;
  for (const TElementKind& kind : KnownElements())
    names.push_back(kind.Name.toString().toStdString());
  return names;
}

class TElementTableTest : public TSharedPaneTest<std::string> {};

// Whatever the element table says of an element (void, raw text, keeps
// blanks, drops a leading line break, block), the writer's source for it
// reads back as the same document: the source settles after one cycle and
// the shown text stays.
TEST_P(TElementTableTest, ReaderAndWriterAgree) {
  const QString tag = QString::fromStdString(GetParam());
  Pane->SetDocumentHTML(
      QStringLiteral("<div>a<%1 title=\"t\">\n\nb &amp;amp; &lt;i> <i>c</i>  d</%1>e</div><p>f</p>")
          .arg(tag));
  const QString shown = Pane->BodyText();
  const QString first = Pane->DocumentHTML();
  ASSERT_NE(first, TProfDHTMLEdit2::ErrorMarker);
  Pane->SetDocumentHTML(first);
  EXPECT_EQ(Pane->BodyText().toStdString(), shown.toStdString()) << first.toStdString();
  EXPECT_EQ(Pane->DocumentHTML().toStdString(), first.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Table, TElementTableTest, ::testing::ValuesIn(KnownElementNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                           return param.param;
                         });

} // namespace
