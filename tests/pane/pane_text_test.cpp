// Plain text, search and replace on the pane, in the characters it shows.
#include "pane_test_support.h"

#include <QSignalSpy>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

struct TTextCase {
  const char* Name;
  const char16_t* Text;
};

void PrintTo(const TTextCase& row, std::ostream* out) {
  *out << row.Name;
}

class TBodyTextLawTest : public ::testing::TestWithParam<TTextCase> {};

TEST_P(TBodyTextLawTest, WrittenTextReadsBackUnchanged) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(
      QStringLiteral("<p>old <b>content</b></p><table><tr><td>x</td></tr></table>"));
  const QString text = QString::fromUtf16(GetParam().Text);
  pane->SetBodyText(text);
  EXPECT_EQ(pane->BodyText(), text);
  // Through the document's own source the text shows the same; blanks that
  // HTML would collapse come back as no-break spaces.
  pane->SetDocumentHTML(pane->DocumentHTML());
  EXPECT_EQ(pane->BodyText().replace(QChar::Nbsp, u' '), text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TBodyTextLawTest,
    ::testing::Values(TTextCase{"Empty", u""}, TTextCase{"OneWord", u"a"},
                      TTextCase{"TwoLines", u"a\r\nb"}, TTextCase{"BlankLine", u"one\r\n\r\nthree"},
                      TTextCase{"LineBreakAtTheEnds", u"\r\nmiddle\r\n"},
                      TTextCase{"Blanks", u"  two  blanks  "},
                      TTextCase{"MarkupCharacters", u"<b>not bold</b> & &amp;"},
                      TTextCase{"Chinese", u"\u4E2D\u6587\r\n\u6D4B\u8BD5"}),
    [](const ::testing::TestParamInfo<TTextCase>& param) { return param.param.Name; });

TEST(BodyText, LineBreaksAreCrLfForBlocksAndBreaks) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<p>a</p><div>b<br>c</div><ul><li>d</li></ul>"));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("a\r\nb\r\nc\r\nd"));
  pane->SetBodyText(QStringLiteral("x\ny\rz"));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("x\r\ny\r\nz"));
}

TEST(BodyText, EveryLineBreakDoubledWithoutBrOrDivOnEnter) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<p>a</p><p>b<br>c</p>"));
  pane->SetUseBrOnCarriageReturn(false);
  pane->SetUseDivOnCarriageReturn(false);
  EXPECT_EQ(pane->BodyText(), QStringLiteral("a\r\n\r\nb\r\n\r\nc"));
  pane->SetUseDivOnCarriageReturn(true);
  EXPECT_EQ(pane->BodyText(), QStringLiteral("a\r\nb\r\nc"));
}

TEST(BodyText, WritingTheSameTextChangesNothing) {
  const auto pane = MakeReadyPane();
  pane->SetBodyText(QStringLiteral("same\r\ntext"));
  const QSignalSpy changes(pane.get(), &TProfDHTMLEdit2::OnChange);
  pane->SetBodyText(QStringLiteral("same\r\ntext"));
  EXPECT_EQ(changes.count(), 0);
  pane->SetBodyText(QStringLiteral("other"));
  EXPECT_GE(changes.count(), 1);
  pane->SetBodyText(QString());
  EXPECT_EQ(pane->BodyText(), QString());
  EXPECT_EQ(pane->DocumentHTML().contains(QStringLiteral("other")), false);
}

TEST(Search, PositionsCountWhatIsShown) {
  const auto pane = MakeReadyPane();
  // a b | c <br> d <img> e : every separator and the image count one.
  pane->SetDocumentHTML(QStringLiteral("<p>a<b>b</b></p><div>c<br>d<img src=\"x.png\">e</div>"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("e"), false, true));
  EXPECT_EQ(pane->SelStart(), 7);
  EXPECT_EQ(pane->SelText(), QStringLiteral("e"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("AB"), false, false));
  EXPECT_EQ(pane->SelStart(), 0);
  ASSERT_TRUE(pane->FindText(QStringLiteral("c\r\nd"), false, false));
  EXPECT_EQ(pane->SelStart(), 3);
  EXPECT_EQ(pane->SelText(), QStringLiteral("c\r\nd"));
}

TEST(Search, FailedSearchForgetsItself) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("one two one"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("one"), false, false));
  EXPECT_FALSE(pane->FindText(QStringLiteral("three"), false, false));
  EXPECT_FALSE(pane->FindNext());
  EXPECT_FALSE(pane->FindText(QString(), false, false));
}

TEST(Search, WholeWordAndMatchCase) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("Cat cat_x cats cat"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("cat"), true, true));
  EXPECT_EQ(pane->SelStart(), 15);
  ASSERT_TRUE(pane->FindText(QStringLiteral("cat"), true, false));
  EXPECT_EQ(pane->SelStart(), 0);
  ASSERT_TRUE(pane->FindNext());
  EXPECT_EQ(pane->SelStart(), 15);
  EXPECT_FALSE(pane->FindNext());
}

// The un-escaping pass of a translation, as the translate command runs it.
void Unescape(TProfDHTMLEdit2& pane) {
  const std::pair<const char16_t*, const char16_t*> sequences[] = {
      {u"\\u0026lt;", u"<"},  {u"\\u0026gt;", u">"}, {u"\\u0026quot;", u"\""},
      {u"\\u0026amp;", u"&"}, {u"\\u003d", u"="},    {u"\\u0026#39;", u"'"}};
  for (const auto& [sequence, replacement] : sequences) {
    if (!pane.FindText(QString::fromUtf16(sequence), false, false))
      continue;
    do
      pane.SetSelText(QString::fromUtf16(replacement));
    while (pane.FindNext());
  }
}

const QString MetaLine =
    QStringLiteral("<meta content=\"text/html; charset=UTF-8\" http-equiv=\"content-type\" />");

// Steps 6.4 to 6.7 of a successful translation on the target pane.
void ShowTranslation(TProfDHTMLEdit2& pane, const QString& translation) {
  pane.BeginUpdate();
  pane.SetFontName(QStringLiteral("Tahoma"));
  pane.SetDocumentHTML(MetaLine);
  const QString source = pane.DocumentHTML();
  pane.SetDocumentHTML(source + QStringLiteral("<div>") + translation + QStringLiteral("</div>"));
  Unescape(pane);
  pane.EndUpdate();
}

struct TUnescapeCase {
  const char* Name;
  const char16_t* Before;
  const char16_t* After;
};

void PrintTo(const TUnescapeCase& row, std::ostream* out) {
  *out << row.Name;
}

class TTranslateSequenceTest : public ::testing::TestWithParam<TUnescapeCase> {};

TEST_P(TTranslateSequenceTest, ShowsTheUnescapedText) {
  const auto pane = MakeReadyPane();
  ShowTranslation(*pane, QString::fromUtf16(GetParam().Before));
  EXPECT_EQ(pane->BodyText(), QString::fromUtf16(GetParam().After));
  EXPECT_EQ(pane->UpdateCount(), 0);
  const QString html = pane->DocumentHTML();
  EXPECT_TRUE(html.contains(MetaLine)) << html.toStdString();
  // Replacements are text: written back, the document shows the same.
  pane->SetDocumentHTML(html);
  EXPECT_EQ(pane->BodyText(), QString::fromUtf16(GetParam().After));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, TTranslateSequenceTest,
    ::testing::Values(
        TUnescapeCase{"LessAndGreater", u"a \\u0026lt;b\\u0026gt; c", u"a <b> c"},
        TUnescapeCase{"AmpersandOnce", u"\\u0026amp;lt;", u"&lt;"},
        TUnescapeCase{"LetterCaseIgnored", u"\\U0026LT;", u"<"},
        TUnescapeCase{"Equals", u"x \\u003d y", u"x = y"},
        TUnescapeCase{"QuoteAndApostrophe", u"\\u0026quot;q\\u0026quot; \\u0026#39;s", u"\"q\" 's"},
        TUnescapeCase{"Neighbours", u"\\u0026lt;\\u0026lt;\\u0026lt;", u"<<<"},
        TUnescapeCase{"LineBreakTag", u"text with <br> and \\u0026lt; sequences",
                      u"text with\r\nand < sequences"},
        TUnescapeCase{"Chinese", u"\u4E2D\\u003d\u6587", u"\u4E2D=\u6587"},
        // A sequence with a comment inside is still one sequence.
        TUnescapeCase{"CommentsAmongSequences",
                      u"a\\u0026lt;<!--c-->b\\u0026l<!--d-->t;c\\u003d<!--e-->d", u"a<b<c=d"}),
    [](const ::testing::TestParamInfo<TUnescapeCase>& param) { return param.param.Name; });

TEST(TranslateSequence, ManyOccurrencesInOneBlock) {
  const auto pane = MakeReadyPane();
  QString translation;
  QString expected;
  for (int i = 0; i < 2000; ++i) {
    translation += QStringLiteral("w\\u0026lt;%1\\u003d ").arg(i);
    expected += QStringLiteral("w<%1= ").arg(i);
  }
  ShowTranslation(*pane, translation);
  EXPECT_EQ(pane->BodyText(), expected.trimmed());
}

TEST(SelText, ReplacementKeepsTheFormatOfTheReplacedText) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<p>plain <b>bold</b></p>"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("bold"), false, false));
  pane->SetSelText(QStringLiteral("strong"));
  EXPECT_TRUE(Compact(pane->DocumentHTML()).contains(QStringLiteral("<b>strong</b>")));
  // The same text replaces nothing.
  ASSERT_TRUE(pane->FindText(QStringLiteral("plain"), false, false));
  const QSignalSpy changes(pane.get(), &TProfDHTMLEdit2::OnChange);
  pane->SetSelText(QStringLiteral("plain"));
  EXPECT_EQ(changes.count(), 0);
}

TEST(SelText, AnImageSelectedAloneIsNotReplaced) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("a<img src=\"x.png\">b"));
  QTextCursor cursor = pane->Editor()->textCursor();
  cursor.setPosition(1);
  cursor.setPosition(2, QTextCursor::KeepAnchor);
  pane->Editor()->setTextCursor(cursor);
  EXPECT_EQ(pane->SelStart(), -1);
  pane->SetSelText(QStringLiteral("text"));
  EXPECT_TRUE(pane->DocumentHTML().contains(QStringLiteral("<img src=\"x.png\"")));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("ab"));
}

// A language file sets the window's font; the text in the pane keeps the
// document's size, before and after the document is replaced.
TEST(DocumentFont, AWindowFontLeavesTheDocumentFontAlone) {
  const auto pane = MakeReadyPane();
  const QFont documentFont = pane->Editor()->document()->defaultFont();
  QFont windowFont(QStringLiteral("Tahoma"));
  windowFont.setPointSize(9);
  windowFont.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Sans Serif")});
  pane->setFont(windowFont);
  EXPECT_EQ(pane->Editor()->font(), windowFont);
  EXPECT_EQ(pane->Editor()->document()->defaultFont(), documentFont);
  pane->SetBodyText(QStringLiteral("typed"));
  pane->SetDocumentHTML(QStringLiteral("<p>opened</p>"));
  EXPECT_EQ(pane->Editor()->document()->defaultFont(), documentFont);
}

} // namespace
