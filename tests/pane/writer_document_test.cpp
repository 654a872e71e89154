#include "dom_builder.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

const QString DefaultDocType =
    QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">");

// The prologue the engine keeps for a document that names no type of its own.
const QString EnginePrologue = DefaultDocType + QStringLiteral("\r\n");

TEST(WriterDocument, MetaLineDocumentAsBothPanesReadIt) {
  TDomBuilder tree;
  tree.Element(tree.Head(), "meta",
               {{"content", "text/html; charset=UTF-8"}, {"http-equiv", "content-type"}});
  EXPECT_EQ(tree.Write(PaneOptions, EnginePrologue),
            "<html>\r\n"
            "  <head>\r\n"
            "    <meta content=\"text/html; charset=UTF-8\" http-equiv=\"content-type\" />\r\n"
            "  </head>\r\n"
            "  <body></body>\r\n"
            "</html>");
}

struct TDocTypeCase {
  const char* Name;
  QString Prologue; // as the document holds it
  QString DocType;
  std::string Written; // what comes before "<html"
};

void PrintTo(const TDocTypeCase& c, std::ostream* os) {
  *os << c.Name;
}

class TWriterDocTypeTest : public ::testing::TestWithParam<TDocTypeCase> {};

TEST_P(TWriterDocTypeTest, PrologueCarriesTheDocumentTypeAskedFor) {
  const TDocTypeCase& c = GetParam();
  TDomBuilder tree;
  TSourceWriterSettings settings;
  settings.SourceCodeOptions = TProfDHTMLEditSourceCodeOptions();
  settings.DOCTYPE = c.DocType;
  EXPECT_EQ(tree.Write(settings, c.Prologue), c.Written + InBody(""));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TWriterDocTypeTest,
    ::testing::Values(
        TDocTypeCase{"EmptyDropsTheDefaultLine", DefaultDocType + "\r\n", "", ""},
        TDocTypeCase{"DefaultKeepsIt", DefaultDocType + "\r\n", DefaultDocType,
                     DefaultDocType.toStdString() + "\r\n"},
        TDocTypeCase{"CustomReplacesIt", DefaultDocType + "\r\n", "<!DOCTYPE html>",
                     "<!DOCTYPE html>\r\n"},
        TDocTypeCase{"DefaultLineFoundWhateverItsCase",
                     "<!doctype html public \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n", "",
                     ""},
        TDocTypeCase{"OtherPrologueKept", "<!-- saved -->\r\n" + DefaultDocType + "\r\n", "",
                     "<!-- saved -->\r\n"},
        TDocTypeCase{"CustomTakesTheDefaultLinesPlace",
                     "<!-- a -->\r\n" + DefaultDocType + "\r\n<!-- b -->\r\n", "<!DOCTYPE html>",
                     "<!-- a -->\r\n<!DOCTYPE html>\r\n<!-- b -->\r\n"},
        TDocTypeCase{"CustomReplacesAnotherDeclaration", "<!DOCTYPE html>\r\n", "<!DOCTYPE x>",
                     "<!DOCTYPE x>\r\n"},
        TDocTypeCase{"CustomWithoutAnyDeclaration", "", "<!DOCTYPE html>", "<!DOCTYPE html>\r\n"},
        TDocTypeCase{"EmptyKeepsAnotherDeclaration", "<!DOCTYPE html>", "", "<!DOCTYPE html>\r\n"},
        TDocTypeCase{"PrologueGetsALineBreak", "<!-- x -->", "", "<!-- x -->\r\n"},
        TDocTypeCase{"HtmlTagInACommentIsNotTheStart", "<!-- <html> -->\r\n", "",
                     "<!-- <html> -->\r\n"},
        TDocTypeCase{"DefaultLineAloneLeavesNoBlankLine", DefaultDocType, "", ""},
        TDocTypeCase{"NoPrologue", "", "", ""}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(WriterDocument, ExactlyOneHtmlElementOrError) {
  TDomDocument none;
  none.NewElement("body", none.Root());
  EXPECT_EQ(RebuildSource(none, {}, {}), std::nullopt);

  TDomBuilder two;
  two.Element(two.Document().Root(), "html");
  EXPECT_EQ(two.Write(PaneOptions), TDomBuilder::NoSource);

  TDomBuilder nested;
  nested.Element(nested.Body(), "HTML");
  EXPECT_EQ(nested.Write(PaneOptions), TDomBuilder::NoSource);

  TDomBuilder sameTwice;
  sameTwice.Document().Root()->Children.append(sameTwice.Html());
  EXPECT_EQ(sameTwice.Write(TProfDHTMLEditSourceCodeOptions()), InBody(""));
}

TEST(WriterDocument, ElementReachableTwiceIsWrittenOnce) {
  TDomBuilder tree;
  TDomNode* shared = tree.Element(tree.Body(), "p");
  tree.Text(shared, "once");
  TDomNode* div = tree.Element(tree.Body(), "div");
  div->Children.append(shared);
  div->Children.append(tree.Body()); // a cycle back to an ancestor
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()), InBody("<p>once</p><div></div>"));
}

struct TFailureCase {
  const char* Name;
  void (*Spoil)(TDomBuilder&);
};

void PrintTo(const TFailureCase& c, std::ostream* os) {
  *os << c.Name;
}

class TWriterFailureTest : public ::testing::TestWithParam<TFailureCase> {};

TEST_P(TWriterFailureTest, GivesError) {
  TDomBuilder tree;
  tree.Text(tree.Element(tree.Body(), "p"), "text");
  GetParam().Spoil(tree);
  EXPECT_EQ(tree.Write(PaneOptions), TDomBuilder::NoSource);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TWriterFailureTest,
    ::testing::Values(
        TFailureCase{"OtherNode",
                     [](TDomBuilder& b) {
                       b.Body()->Children.append(b.Document().NewNode(TDomNode::TKind::Other));
                     }},
        TFailureCase{"DocumentNodeInside",
                     [](TDomBuilder& b) {
                       b.Body()->Children.append(b.Document().NewNode(TDomNode::TKind::Document));
                     }},
        TFailureCase{"MissingNode", [](TDomBuilder& b) { b.Body()->Children.append(nullptr); }},
        TFailureCase{"ElementWithoutIndex",
                     [](TDomBuilder& b) {
                       TDomNode* node = b.Document().NewNode(TDomNode::TKind::Text);
                       node->Kind = TDomNode::TKind::Element;
                       node->TagName = QStringLiteral("p");
                       b.Body()->Children.append(node);
                     }},
        TFailureCase{"NamelessElement", [](TDomBuilder& b) { b.Element(b.Body(), ""); }},
        TFailureCase{"UnwritableName", [](TDomBuilder& b) { b.Element(b.Body(), "a b"); }},
        TFailureCase{"NameThatIsNoTag", [](TDomBuilder& b) { b.Element(b.Body(), "1p"); }}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(WriterDocument, EngineInternalElementsAreNeverWritten) {
  TDomBuilder tree;
  tree.Text(tree.Element(tree.Body(), "!"), "kept as element");
  tree.Element(tree.Body(), "/p");
  tree.Element(tree.Body(), "?xml");
  TDomNode* br = tree.Element(tree.Body(), "br");
  tree.Text(br, "not content");
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()), InBody("<br>"));
}

TEST(WriterDocument, NodesOutsideTheHtmlElementAreNotWritten) {
  TDomBuilder tree;
  tree.Document().Root()->Children.prepend(tree.Document().NewNode(TDomNode::TKind::Other));
  tree.Comment(tree.Document().Root(), "<!-- after -->");
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()), InBody(""));
}

// The head's scripts are part of the tree, written as they came, once.
TEST(WriterDocument, HeadScriptsAreWrittenAsTheyCame) {
  TDomBuilder tree;
  tree.Text(tree.Element(tree.Head(), "title"), "t");
  tree.Element(tree.Head(), "script", {{"src", "a.js"}});
  tree.RawElement(tree.Head(), "SCRIPT", "if (a < b) x();");
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()),
            "<html><head><title>t</title><script src=a.js></script>"
            "<SCRIPT>if (a < b) x();</SCRIPT></head><body></body></html>");
  EXPECT_EQ(tree.Write(PaneOptions),
            "<html>\r\n  <head>\r\n    <title>t</title>\r\n    <script src=\"a.js\"></script>\r\n"
            "    <script>if (a < b) x();</script>\r\n  </head>\r\n  <body></body>\r\n</html>");
}

TEST(WriterDocument, HeadScriptsAreNotDoubled) {
  TDomBuilder tree;
  tree.RawElement(tree.Head(), "script", "mine()");
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()),
            "<html><head><script>mine()</script></head><body></body></html>");

  TDomBuilder renamed;
  renamed.RawElement(renamed.Head(), "script", "mine()");
  TSourceWriterSettings settings;
  settings.SourceCodeOptions = TProfDHTMLEditSourceCodeOptions();
  settings.TagsSubstitution = {{QStringLiteral("script"), QStringLiteral("x-script")}};
  EXPECT_EQ(renamed.Write(settings),
            "<html><head><x-script>mine()</x-script></head><body></body></html>");
}

TEST(WriterDocument, WithoutAHeadNoScriptsAreAdded) {
  TDomDocument document;
  TDomNode* html = document.NewElement("html", document.Root());
  document.NewElement("body", html);
  TSourceWriterSettings settings;
  settings.SourceCodeOptions = TProfDHTMLEditSourceCodeOptions();
  EXPECT_EQ(RebuildSource(document, {}, settings), "<html><body></body></html>");
}

std::string IndentedBody(TDomBuilder& tree) {
  const std::string out = tree.Write(PaneOptions);
  const std::string start = "  <body>";
  const std::size_t from = out.find(start);
  const std::size_t to = out.rfind("</body>");
  return out.substr(from + start.size(), to - from - start.size());
}

TEST(WriterIndent, InlineContentStaysOnItsLine) {
  TDomBuilder tree;
  TDomNode* p = tree.Element(tree.Body(), "p");
  tree.Text(p, "Hello");
  tree.Text(tree.Element(p, "b"), "world");
  tree.Element(p, "br");
  tree.Text(tree.Element(p, "x-note"), "!");
  EXPECT_EQ(IndentedBody(tree), "\r\n    <p>Hello<b>world</b><br /><x-note>!</x-note></p>\r\n  ");
}

TEST(WriterIndent, BlocksNextToTextOrInlineElementsAreNotMoved) {
  TDomBuilder tree;
  TDomNode* div = tree.Element(tree.Body(), "div");
  tree.Text(div, "a");
  tree.Text(tree.Element(div, "div"), "b");
  TDomNode* span = tree.Element(tree.Body(), "span");
  tree.Text(tree.Element(span, "div"), "c");
  EXPECT_EQ(IndentedBody(tree), "<div>a<div>b</div></div><span><div>c</div></span>");
}

TEST(WriterIndent, BlankTextBetweenBlocksGivesWayToTheIndentation) {
  TDomBuilder tree;
  tree.Text(tree.Body(), "\n  ");
  tree.Text(tree.Element(tree.Body(), "p"), "a");
  tree.Text(tree.Body(), " ");
  tree.Text(tree.Element(tree.Body(), "p"), "b");
  tree.Text(tree.Head(), "\n");
  EXPECT_EQ(IndentedBody(tree), "\r\n    <p>a</p>\r\n    <p>b</p>\r\n  ");
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()),
            "<html><head>\n</head><body>\n  <p>a</p> <p>b</p></body></html>");
}

TEST(WriterIndent, WhitespaceSensitiveContentIsLeftAlone) {
  TDomBuilder tree;
  TDomNode* pre = tree.Element(tree.Body(), "pre");
  tree.Text(pre, "  a\n");
  tree.Text(tree.Element(pre, "div"), "b");
  TDomNode* wrap = tree.Element(tree.Body(), "div", {{"style", "WHITE-SPACE: pre-wrap"}});
  tree.Text(tree.Element(wrap, "div"), "c");
  TDomNode* textarea = tree.Element(tree.Element(tree.Body(), "div"), "textarea");
  tree.Text(textarea, "\nd");
  EXPECT_EQ(IndentedBody(tree), "\r\n    <pre>  a\n<div>b</div></pre>"
                                "\r\n    <div style=\"white-space: pre-wrap\"><div>c</div></div>"
                                "\r\n    <div><textarea>\r\n\nd</textarea></div>\r\n  ");
}

TEST(WriterIndent, LeadingLineBreakOfPreSurvivesWithoutIndentationToo) {
  TDomBuilder tree;
  tree.Text(tree.Element(tree.Body(), "pre"), "\nx");
  tree.RawElement(tree.Body(), "listing", "\ry");
  tree.Text(tree.Element(tree.Body(), "pre"), "z\n");
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()),
            InBody("<pre>\r\n\nx</pre><listing>\r\n\ry</listing><pre>z\n</pre>"));
}

TEST(WriterIndent, StructureOfListsTablesAndTheHead) {
  TDomBuilder tree;
  tree.Text(tree.Element(tree.Head(), "title"), "T");
  tree.Comment(tree.Head(), "<!-- c -->");
  tree.RawElement(tree.Head(), "style", "p { }");
  TDomNode* ul = tree.Element(tree.Body(), "ul");
  tree.Text(tree.Element(ul, "li"), "one");
  tree.Element(ul, "li");
  TDomNode* tr = tree.Element(tree.Element(tree.Element(tree.Body(), "table"), "tbody"), "tr");
  tree.Text(tree.Element(tr, "td"), "cell");
  tree.RawElement(tree.Body(), "script", "x()");
  EXPECT_EQ(tree.Write(PaneOptions), "<html>\r\n"
                                     "  <head>\r\n"
                                     "    <title>T</title>\r\n"
                                     "    <!-- c -->\r\n"
                                     "    <style>p { }</style>\r\n"
                                     "  </head>\r\n"
                                     "  <body>\r\n"
                                     "    <ul>\r\n"
                                     "      <li>one</li>\r\n"
                                     "      <li></li>\r\n"
                                     "    </ul>\r\n"
                                     "    <table>\r\n"
                                     "      <tbody>\r\n"
                                     "        <tr>\r\n"
                                     "          <td>cell</td>\r\n"
                                     "        </tr>\r\n"
                                     "      </tbody>\r\n"
                                     "    </table>\r\n"
                                     "    <script>x()</script>\r\n"
                                     "  </body>\r\n"
                                     "</html>");
}

TEST(WriterNbsp, OnlyEmptyTextBlocksGetANoBreakSpace) {
  TDomBuilder tree;
  tree.Element(tree.Body(), "td");
  tree.Element(tree.Body(), "span");
  tree.Comment(tree.Element(tree.Body(), "div"), "<!--x-->");
  tree.Text(tree.Element(tree.Body(), "h1"), "");
  EXPECT_EQ(tree.Write(TOpt::AddNbsp),
            "<html><head></head><body><td>&nbsp;</td><span></span><div><!--x--></div>"
            "<h1>&nbsp;</h1></body></html>");
}

// The engine's own serialisation, tidied: links rewritten as the options
// say, never inside comments or scripts; the title's blanks collapsed.
TEST(WriterPreservation, HandsOutTheSavedSourceTidied) {
  TDomBuilder tree;
  tree.Text(tree.Element(tree.Head(), "title"), QStringLiteral("\r\n  My   Title "));
  tree.Element(tree.Head(), "base", {{"href", "http://h/d/"}});
  tree.RawElement(tree.Head(), "script", QStringLiteral("s = '<a href=\"file:///C:/x\">';"));
  tree.Text(tree.Element(tree.Body(), "a", {{"href", "file:///C:/d/a.html"}}), "a");
  tree.Comment(tree.Body(), QStringLiteral("<!-- <a href=\"file:///C:/c\"> -->"));
  tree.Element(tree.Body(), "img", {{"src", "http://h/d/i.png"}});
  tree.Text(tree.Element(tree.Body(), "a", {{"href", "http://elsewhere/"}}), "b");
  TSourceWriterSettings settings;
  settings.SourceCodePreservation = true;
  const std::string head = "<!DOCTYPE html>\r\n<html><head><title>My Title</title>"
                           "<base href=\"http://h/d/\"><script>s = '<a href=\"file:///C:/x\">';"
                           "</script></head>";
  EXPECT_EQ(tree.Write(settings, QStringLiteral("<!DOCTYPE html>\r\n")),
            head + "<body><a href=\"C:\\d\\a.html\">a</a><!-- <a href=\"file:///C:/c\"> -->"
                   "<img src=\"i.png\"><a href=\"http://elsewhere/\">b</a></body></html>\r\n");

  settings.SourceCodeOptions = TProfDHTMLEditSourceCodeOptions();
  EXPECT_EQ(tree.Write(settings, QStringLiteral("<!DOCTYPE html>\r\n")),
            head + "<body><a href=\"file:///C:/d/a.html\">a</a><!-- <a href=\"file:///C:/c\"> -->"
                   "<img src=\"http://h/d/i.png\"><a href=\"http://elsewhere/\">b</a></body></html>"
                   "\r\n");
}

TEST(WriterSize, TenThousandParagraphsInOnePass) {
  TDomBuilder tree;
  for (int i = 0; i < 10000; ++i) {
    TDomNode* p = tree.Element(tree.Body(), "p", {{"class", "para"}});
    tree.Text(p, QStringLiteral("Paragraph %1 with ").arg(i));
    tree.Text(tree.Element(p, "b"), QStringLiteral("bold & \u00E9 text"));
    tree.Text(tree.Element(p, "font", {{"face", "Tahoma"}}), QStringLiteral("中文 and more text"));
  }
  QElapsedTimer timer;
  timer.start();
  const QString out = RebuildSource(tree.Document(), EnginePrologue, {}).value();
  const qint64 elapsed = timer.elapsed();
  EXPECT_EQ(out.count(QStringLiteral("<p class=\"para\">")), 10000);
  EXPECT_EQ(out.count(QStringLiteral("&amp;")), 10000);
  EXPECT_TRUE(out.endsWith(QStringLiteral("</p>\r\n  </body>\r\n</html>")));
  RecordProperty("milliseconds", static_cast<int>(elapsed));
}

TEST(WriterSize, DeepNestingNeitherCrashesNorRecursesPerLevel) {
  TDomBuilder tree;
  TDomNode* node = tree.Body();
  const int depth = 200000;
  for (int i = 0; i < depth; ++i)
    node = tree.Element(node, i % 2 ? "span" : "div");
  tree.Text(node, "deep");
  const QString out = RebuildSource(tree.Document(), {}, {}).value();
  EXPECT_TRUE(out.contains(QStringLiteral("<span>deep</span></div></span>")));
  EXPECT_EQ(out.count(QStringLiteral("<div>")), depth / 2);
}

} // namespace
